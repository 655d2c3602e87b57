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
//
// The staged file is named destination + ".PID.START.saving": the id of the
// process that writes it and when that process started (its creation time,
// 16 upper-case hex digits of FILETIME). Before it writes, a save removes
// the staged files that earlier saves of the same destination left when
// they were cut off (their process ended before they were done): the names
// of that form whose process no longer runs (no process has that id, or
// the one that has it started at another time), and the earlier form
// destination + ".PID.saving" when no other process has that id. A save
// still running in another process is never touched, nor is any other
// name; a staged file someone holds open stays (the system refuses to
// delete it). One save of a destination at a time in a process.
bool WriteReplacing(const kesh::String& destination, const std::function<bool(const kesh::String& path)>& write);
