#include "common/editor_command_line.h"

kesh::String EditorParameters(const kesh::String& path, int x, int y)
{
    return "\"" + path + kesh::String::format("\" -x%d -y%d", x, y);
}

EditorCommandLine ReadEditorCommandLine(kesh::app::IArguments& arguments)
{
    EditorCommandLine line;
    const kesh::StringArray words = arguments.getArguments();
    if (words.size() > 1)
        line.imagePath = words.at(1);
    line.y = arguments.getValue('y', "-1").toLong(10);
    line.x = arguments.getValue('x', "-1").toLong(10);
    return line;
}
