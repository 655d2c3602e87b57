#pragma once

#include "kesh/string.h"

// A shortcut file written through the shell's own objects: an Internet
// shortcut (".url") to a web address, or a shell link (".lnk") that starts
// a program. The record names the file only; it holds no COM object between
// calls. Every operation needs COM initialised on the calling thread.
struct ShortcutFile {
    kesh::String name;    // the file name without extension
    kesh::String folder;  // the folder that holds it; empty means no file
    bool internet;        // ".url" when true, ".lnk" otherwise

    ShortcutFile(const kesh::String& name, const kesh::String& folder, bool internet = true)
        : name(name), folder(folder), internet(internet)
    {
    }

    // folder\name.url or folder\name.lnk; empty when folder is empty.
    kesh::String GetPath() const;

    // False when folder is empty; otherwise whether the file exists.
    bool Exists() const;

    // Writes the file, replacing one of the same path; true when the shell
    // saved it. Internet shortcut: target is the address, arguments unused.
    // Link: target is the program ("_this" in any letter case: this program's
    // own file), arguments its command line, the working folder the
    // program's folder. An empty description or icon sets nothing (an icon
    // is taken at index 1). Where the Internet-shortcut object offers no
    // shell-link interface, the file is written through its URL interface
    // alone, and a description or icon asked for makes it fail. A failed
    // call of the shell's objects is logged with its code.
    bool Create(const kesh::String& target, const kesh::String& arguments, const kesh::String& description,
                const kesh::String& icon) const;

    // Deletes the file; false when folder is empty or nothing was deleted
    // (kesh::fs::remove logs why).
    bool Remove() const;
};
