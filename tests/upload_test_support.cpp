#include "tests/upload_test_support.h"

#include "kesh/handles.h"
#include "tests/test_server_proxy.h"
#include "tests/ui_test_support.h"
#include "tests/wait.h"

#include <cstdlib>
#include <sstream>

namespace uploadtest {

using servertest::FromHex;

FakeUploadServer::FakeUploadServer() : proxy_(servertest::UseTestServerProxy()) {}

FakeUploadServer::~FakeUploadServer() {}

std::string FakeUploadServer::Get(const char* path)
{
    return servertest::GetThroughProxy(proxy_, L"http://upload.norpasoft.com" + std::wstring(path, path + strlen(path)));
}

bool FakeUploadServer::SetScenario(const char* name)
{
    return Get(("/_test/scenario/" + std::string(name)).c_str()) == "ok";
}

bool FakeUploadServer::Release()
{
    return Get("/_test/release") == "ok";
}

PostRecord FakeUploadServer::LastPost()
{
    PostRecord record;
    std::istringstream lines(Get("/_test/last"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "agent" || kind == "language") {
            std::string hex;
            words >> hex;
            (kind == "agent" ? record.agent : record.language) = FromHex(hex);
            record.present = true;
        } else if (kind == "body") {
            record.present = true;
            words >> record.received >> record.declared;
        } else if (kind == "hellos") {
            words >> record.hellos;
        } else if (kind == "malformed") {
            record.present = true;
            record.malformed = true;
        } else if (kind == "part") {
            PostPart part;
            std::string name, fileName, crc, value;
            words >> name >> fileName >> part.contentType >> part.length >> crc >> value;
            part.name = FromHex(name);
            part.isFile = fileName != "-";
            part.fileName = part.isFile ? FromHex(fileName) : std::string();
            part.crc32 = static_cast<uint32_t>(std::strtoul(crc.c_str(), nullptr, 16));
            part.value = part.isFile ? std::string() : FromHex(value == "-" ? "" : value);
            record.parts.push_back(part);
        }
    }
    return record;
}

bool PumpUntil(const std::function<bool()>& done, DWORD limit)
{
    return testsupport::WaitFor(done, limit, uitest::pump);
}

std::set<std::wstring> FilesIn(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    const kesh::win::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search.isValid())
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(found.cFileName);
    } while (FindNextFileW(search, &found));
    return names;
}

uint32_t Crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string PngLikeBytes(size_t size)
{
    std::string bytes("\x89PNG\r\n\x1a\n", 8);
    uint32_t state = 12345;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(state >> 16));
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace uploadtest
