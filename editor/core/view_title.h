#pragma once

#include "kesh/string.h"

// The frame's title while an image is open: the program's name, " - *"
// when modified or " - " when not, and the image file's name.
kesh::String ViewTitle(const kesh::String& programName, int modifiedCounter, const kesh::String& path);
