#pragma once

#include "common/image_writer.h"
#include "editor/resource.h"
#include "kesh/string.h"

// String-table id of the failure's message (IDS_SAVE_...); 0 for Saved.
int SaveFailureMessageId(SaveImageResult result);

// True when both texts name the same file by their normalised paths,
// ignoring the case of ASCII letters ("..", "/" and case do not matter).
bool IsSameImagePath(const kesh::String& a, const kesh::String& b);
