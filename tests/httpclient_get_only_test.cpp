// A program that sends only GET requests carries none of the POST's calls:
// read from the import table of tests/httpclient_get_only_probe.cpp's build.

#include "kesh/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring besideThisProgram(const wchar_t* name)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

std::string readFile(const std::wstring& path)
{
    kesh::win::KernelHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file.isValid() || !GetFileSizeEx(file, &size))
        return "";
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    return bytes;
}

// The names a 64-bit program imports by name, as "dll!function", the DLL
// name in lower case.
std::vector<std::string> importedNames(const std::string& image)
{
    std::vector<std::string> names;
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    const auto at = [&](DWORD rva) -> const char* {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return image.data() + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return nullptr;
    };
    const DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(importRva)); d && d->Name; ++d) {
        std::string dll = at(d->Name);
        std::transform(dll.begin(), dll.end(), dll.begin(), [](char c) { return static_cast<char>(tolower(c)); });
        const DWORD thunks = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        for (auto* t = reinterpret_cast<const IMAGE_THUNK_DATA64*>(at(thunks)); t && t->u1.AddressOfData; ++t) {
            if (IMAGE_SNAP_BY_ORDINAL64(t->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(at(static_cast<DWORD>(t->u1.AddressOfData)));
            names.push_back(dll + "!" + reinterpret_cast<const char*>(byName->Name));
        }
    }
    return names;
}

bool imports(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

TEST(HttpGetOnlyBuildTest, CarriesNoPostCalls)
{
    const auto names = importedNames(readFile(besideThisProgram(L"httpclient_get_only_probe.exe")));
    // What a GET needs is there, so the table was read...
    for (const char* needed : {"wininet.dll!HttpSendRequestW", "wininet.dll!InternetReadFile",
                               "wininet.dll!HttpQueryInfoW", "wininet.dll!HttpOpenRequestA"})
        EXPECT_TRUE(imports(names, needed)) << needed;
    // ...and what only a POST needs is not.
    const char* postOnly[] = {"wininet.dll!HttpSendRequestExW", "wininet.dll!InternetWriteFile",
                              "wininet.dll!HttpEndRequestW", "urlmon.dll!FindMimeFromData"};
    for (const char* name : postOnly)
        EXPECT_FALSE(imports(names, name)) << name;
    // This program posts: it carries them all.
    const auto own = importedNames(readFile(besideThisProgram(L"httpclient_tests.exe")));
    for (const char* name : postOnly)
        EXPECT_TRUE(imports(own, name)) << name;
}
