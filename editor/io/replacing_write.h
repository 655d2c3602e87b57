#pragma once

#include "kesh/string.h"

#include <functional>

// Writes destination through write(path), path being a staged file beside
// it, so that the destination is named only once the new content stands
// complete: a write that fails half-way (a full disk, a crashed encoder)
// leaves an old file as it was and makes no new one, and no staged file is
// left behind. The new file takes the replaced one's attributes (hidden,
// archive...). A read-only destination is not replaced (nothing is
// written). False when the write or the replacement failed.
bool WriteReplacing(const kesh::String& destination, const std::function<bool(const kesh::String& path)>& write);
