#pragma once

#include "kesh/string.h"

// Save As without encoding: destination gets source's bytes. An existing
// destination (the save dialog has had the user confirm it) is replaced
// only once the whole copy stands beside it, so a failure leaves it as it
// was; naming the source itself changes nothing and succeeds. False when
// the copy could not be made.
bool CopyImageFile(const kesh::String& source, const kesh::String& destination);
