#pragma once

#include "kesh/string.h"

#include <functional>

// Writes destination through write(path) so that a file already there is
// replaced only once the new content stands complete beside it: a write
// that fails half-way (a full disk, a crashed encoder) leaves the old file
// as it was, and no staged file is left behind. The new file takes the
// replaced one's attributes (hidden, archive...). A read-only destination
// is not replaced (nothing is written). A destination that did not exist is
// written directly and removed again when the write fails. False when the
// write or the replacement failed.
bool WriteReplacing(const kesh::String& destination, const std::function<bool(const kesh::String& path)>& write);
