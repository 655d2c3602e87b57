#include "common/replacing_write.h"

#include "kesh/file.h"
#include "kesh/handles.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace {

constexpr wchar_t kStagedSuffix[] = L".saving";

// When process started, as 64 bits of FILETIME; 0 when it cannot be told.
unsigned long long StartOf(HANDLE process)
{
    FILETIME created = {}, unused[3];
    if (!GetProcessTimes(process, &created, &unused[0], &unused[1], &unused[2])) return 0;
    return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Whether the process id names, and when start is not 0 whether it is the
// one that started then. A process that exists but may not be asked counts
// as running: only a save known to be over is cleared away.
bool IsRunning(DWORD id, unsigned long long start)
{
    const kesh::win::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process.isValid()) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code) || code != STILL_ACTIVE) return false;
    return start == 0 || StartOf(process) == start;
}

// Reads digits of base (10 or 16) from text into value; false when there is
// none, or more than fit.
bool ReadNumber(const wchar_t*& text, int base, unsigned long long limit, unsigned long long& value)
{
    value = 0;
    const wchar_t* begin = text;
    for (; *text; ++text) {
        const int digit = std::iswdigit(*text) ? *text - L'0'
                          : base == 16 && *text >= L'A' && *text <= L'F' ? *text - L'A' + 10
                                                                          : -1;
        if (digit < 0) break;
        if (value > (limit - static_cast<unsigned long long>(digit)) / static_cast<unsigned long long>(base))
            return false;
        value = value * static_cast<unsigned long long>(base) + static_cast<unsigned long long>(digit);
    }
    return text != begin;
}

// True when name (after the picture's own name and a dot) is the staged name
// of a save that is over: "PID.START.saving" of a process no longer running
// (none of that id, or one that started at another time), or the earlier
// form "PID.saving" of a process id nothing else runs under. Anything else
// is no staged name and is never touched.
bool IsAbandonedStagedName(const wchar_t* rest)
{
    unsigned long long id = 0, start = 0;
    if (!ReadNumber(rest, 10, 0xFFFFFFFFu, id) || *rest++ != L'.') return false;
    // This process never writes the earlier form: one of its id is another's.
    if (std::wcscmp(rest, kStagedSuffix + 1) == 0)
        return id == GetCurrentProcessId() || !IsRunning(static_cast<DWORD>(id), 0);
    const wchar_t* startText = rest;
    if (!ReadNumber(rest, 16, ~0ull, start) || rest - startText != 16 || start == 0) return false;
    return std::wcscmp(rest, kStagedSuffix) == 0 && !IsRunning(static_cast<DWORD>(id), start);
}

// Removes what earlier saves of destination left when they were cut off.
// DeleteFileW also leaves a file someone holds open.
void RemoveAbandonedStagedFiles(const std::wstring& destination)
{
    const size_t slash = destination.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return;
    const std::wstring folder = destination.substr(0, slash + 1);
    const std::wstring picture = destination.substr(slash + 1) + L".";
    WIN32_FIND_DATAW found;
    const kesh::win::FindHandle search(FindFirstFileW((destination + L".*" + kStagedSuffix).c_str(), &found));
    if (!search.isValid()) return;
    do {
        // The long name, the picture's own name first in any letter case.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            _wcsnicmp(found.cFileName, picture.c_str(), picture.size()) != 0 ||
            std::wcslen(found.cFileName) <= picture.size())
            continue;
        if (IsAbandonedStagedName(found.cFileName + picture.size()))
            DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
}

}  // namespace

bool WriteReplacing(const kesh::String& destination, const std::function<bool(const kesh::String& path)>& write)
{
    const std::wstring target = kesh::Wide(destination);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    // Windows refuses to move over a read-only file (Wine replaces it): refused
    // here alike, before anything is written.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;

    RemoveAbandonedStagedFiles(target);
    // Beside the destination, so that the final step stays on its volume. A
    // new file is staged too: under its own name it would stand half-written
    // (and could be opened by another program) while it is written and
    // checked. The name tells which process writes it, and since when that
    // process runs, so that a later save can tell a save cut off from one
    // still running (RemoveAbandonedStagedFiles).
    const unsigned long long start = StartOf(GetCurrentProcess());
    const kesh::String staged = destination + kesh::String::format(".%lu.%08lX%08lX.saving", GetCurrentProcessId(),
                                                                   static_cast<unsigned long>(start >> 32),
                                                                   static_cast<unsigned long>(start & 0xFFFFFFFFu));
    kesh::fs::remove(staged);
    if (!write(staged)) {
        kesh::fs::remove(staged);
        return false;
    }
    const std::wstring source = kesh::Wide(staged);
    // The attributes go onto the staged file without the read-only mark,
    // which would keep it from being removed should the move be refused.
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(source.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    // A plain move rather than ReplaceFileW, which under Wine leaves a
    // temporary file of its own behind when the replacement is refused.
    const bool moved = MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    kesh::fs::remove(staged);  // whatever the move did
    return moved;
}
