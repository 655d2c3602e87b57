#include "editor/upload/byte_size.h"

kesh::String FormatByteSize(unsigned count)
{
    if (count > 1048576)
        return kesh::String::format("%.1fM", count / 1024.0 / 1024.0);
    if (count > 1024)
        return kesh::String::format("%.1fK", count / 1024.0);
    return kesh::String::format("%uB", count);
}
