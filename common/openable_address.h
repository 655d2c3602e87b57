#pragma once

#include "kesh/string.h"

// Whether an address a server gave may be handed to the shell to open (the
// upload's pages, the version check's download): http:// or https:// in any
// letter case and no control character anywhere. Any other address is at
// most shown: a server must not make a program run a file or a script.
bool IsOpenableAddress(const kesh::String& address);
