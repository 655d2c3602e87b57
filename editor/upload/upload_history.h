#pragma once

#include "kesh/string.h"
#include "kesh/time.h"

// The upload history: one Internet shortcut per successful upload, to the
// first address the server gave back, in "My Norpa/History/Upload" under
// the user's documents folder, named "norpa" + yyMMdd + "-001" and on (the
// first free number of the day) + ".url".

// Writes the shortcut to address into the upload history under home
// (created with its parents when missing), named for day. Nothing is
// written for an address the shell must not be given
// (IsOpenableAddress). True when the file was saved.
bool WriteUploadHistoryShortcut(const kesh::String& home, const kesh::String& address, const kesh::Time& day);
