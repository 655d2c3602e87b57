#pragma once

#include "kesh/string.h"

// A byte count as the upload dialogs show it: above 1048576 in megabytes
// with one decimal ("3.0M"), above 1024 in kilobytes ("1.5K"), else in
// bytes ("1024B").
kesh::String FormatByteSize(unsigned count);
