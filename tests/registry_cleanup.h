#pragma once

// Tests leave the registry as they found it: a key of the test's own goes,
// and so does each parent it made that nothing else holds, up to the tests'
// shared root "Software\NorpaTest". That root stays: test programs run side
// by side, and deleting it while another program creates its key below it
// makes that creation fail (ERROR_KEY_DELETED). scripts/test.sh removes it
// once every test has ended.

#include "kesh/handles.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

namespace testsupport {

constexpr const wchar_t* kTestsRoot = L"Software\\NorpaTest";

// Deletes subKey of HKEY_CURRENT_USER with everything below it, then each
// parent that it leaves without values and subkeys, up to "Software" but
// never the tests' shared root.
// Another program's key below a parent keeps it (a key with subkeys cannot
// be deleted, so two tests ending at once cannot take each other's key).
inline void DeleteKeyAndEmptyParents(const std::wstring& subKey)
{
    SHDeleteKeyW(HKEY_CURRENT_USER, subKey.c_str());
    for (std::wstring parent = subKey.substr(0, subKey.rfind(L'\\'));
         parent.find(L'\\') != std::wstring::npos; parent = parent.substr(0, parent.rfind(L'\\'))) {
        if (_wcsicmp(parent.c_str(), kTestsRoot) == 0)
            return;
        DWORD subKeys = 1, values = 1;
        {
            kesh::win::RegistryKeyHandle key;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, parent.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
                return;
            RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr);
        }
        if (subKeys != 0 || values != 0 || RegDeleteKeyW(HKEY_CURRENT_USER, parent.c_str()) != ERROR_SUCCESS)
            return;
    }
}

}  // namespace testsupport
