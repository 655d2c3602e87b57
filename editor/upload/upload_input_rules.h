#pragma once

#include <string>

// What the description dialog shows under its edits: the size of the file
// that will be sent (its low 32 bits, as the dialogs count bytes), three
// blanks, and the image's pixel size ("1.5K   800 X 600像素").
std::wstring ImageSizeLine(unsigned long long fileSize, int width, int height);
