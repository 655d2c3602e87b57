// Provisional: stands in for the path and time types until they exist.
#include "kesh/impl/property_store.h"

namespace kesh {
namespace sys {
namespace __ {

String pathText(const String& text)
{
    String path = text;
    while (path.length() > 3 && (path.c_str()[path.length() - 1] == '\\' || path.c_str()[path.length() - 1] == '/'))
        path = path.left(path.length() - 1);
    return path;
}

String startTimeText()
{
    return String();
}

}  // namespace __
}  // namespace sys
}  // namespace kesh
