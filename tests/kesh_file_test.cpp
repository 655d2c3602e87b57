#include "kesh/error.h"
#include "kesh/file.h"
#include "kesh/handles.h"
#include "tests/wait.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using kesh::ErrorCatcher;
using kesh::String;
using kesh::fs::IFile;

namespace {

std::wstring wide(const std::string& utf8)
{
    boost::shared_array<wchar_t> w = String(utf8.c_str()).toWide();
    return w.get();
}

// Removes a folder tree of the test's own, read-only files included.
void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    const kesh::win::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (search.isValid()) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(search, &found));
    }
    RemoveDirectoryW(folder.c_str());
}

std::string patterned(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

// Every test works in a fresh folder of its own under the system's temp folder.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
        static int serial = 0;
        folder_ = String(temp).c_str();
        folder_ += "kesh_file_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
        removeTree(wide(folder_));
        ASSERT_TRUE(CreateDirectoryW(wide(folder_).c_str(), nullptr));
    }
    void TearDown() override { removeTree(wide(folder_)); }

    std::string at(const std::string& name) const { return folder_ + "\\" + name; }

    void writeFile(const std::string& name, const std::string& content) const
    {
        const kesh::win::KernelHandle h(
            CreateFileW(wide(at(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(h.isValid());
        DWORD written = 0;
        if (!content.empty()) WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        ASSERT_EQ(content.size(), written);
    }

    std::string readFile(const std::string& name) const
    {
        const kesh::win::KernelHandle h(
            CreateFileW(wide(at(name)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!h.isValid()) return "<missing>";
        std::string content;
        char block[4096];
        DWORD got = 0;
        while (ReadFile(h, block, sizeof(block), &got, nullptr) && got) content.append(block, got);
        return content;
    }

    std::string folder_;
};

struct Failure {
    int code;
    std::string message;
};

// What one call on file reported to a catcher watching it.
template <class Call>
Failure reported(IFile& file, Call call)
{
    ErrorCatcher catcher(&file);
    call();
    return Failure{catcher.getError().code, catcher.getError().message.c_str()};
}

std::string systemText(DWORD code)
{
    return kesh::systemError(code).message.c_str();
}

}  // namespace

TEST_F(FileTest, OpenFailuresReportTheirCodes)
{
    writeFile("there", "x");
    ASSERT_TRUE(CreateDirectoryW(wide(at("folder")).c_str(), nullptr));
    struct Case {
        const char* name;
        bool readOnly;
        int mode;
        int code;
        DWORD win32;
    } cases[] = {
        {"missing", true, 0, kesh::ErrorNotFound, ERROR_FILE_NOT_FOUND},
        {"missing", false, kesh::fs::OpenExisting, kesh::ErrorNotFound, ERROR_FILE_NOT_FOUND},
        {"there", false, kesh::fs::CreateNew, kesh::ErrorOther, ERROR_FILE_EXISTS},
        {"folder", true, 0, kesh::ErrorAccessDenied, ERROR_ACCESS_DENIED},  // not a file
        {"folder", false, kesh::fs::OpenAlways, kesh::ErrorAccessDenied, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boost::shared_ptr<IFile> file = kesh::fs::open(at(c.name).c_str());
        bool opened = true;
        const Failure f = reported(*file, [&] { opened = file->open(c.readOnly, c.mode); });
        EXPECT_FALSE(opened);
        EXPECT_FALSE(file->isOpen());
        EXPECT_EQ(c.code, f.code);
        EXPECT_EQ(systemText(c.win32), f.message);
    }
}

TEST_F(FileTest, ClosedFileReportsInvalidHandleForEveryOperation)
{
    boost::shared_ptr<IFile> file = kesh::fs::open(at("never").c_str());
    char buffer[4];
    const std::string invalid = systemText(ERROR_INVALID_HANDLE);
    std::vector<std::function<bool()>> calls = {
        [&] { return file->read(buffer, 4) == 0; },
        [&] { return file->write(buffer, 4) == 0; },
        [&] { return file->size() == 0; },
        [&] { return !file->seek(1); },
        [&] { return file->position() == 0; },
        [&] { return !file->truncate(0); },
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        bool failed = false;
        const Failure f = reported(*file, [&] { failed = calls[i](); });
        EXPECT_TRUE(failed);
        EXPECT_EQ(kesh::ErrorInvalidHandle, f.code);
        EXPECT_EQ(invalid, f.message);
    }
    // close on a closed file: false, nothing reported.
    bool closed = true;
    EXPECT_EQ(0, reported(*file, [&] { closed = file->close(); }).code);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(file->isOpen());
}

TEST_F(FileTest, ReportsReachOnlyACatcherOnThatFile)
{
    boost::shared_ptr<IFile> file = kesh::fs::open(at("never").c_str());
    boost::shared_ptr<IFile> other = kesh::fs::open(at("never").c_str());
    char buffer[4];
    EXPECT_EQ(0u, file->read(buffer, 4));  // no catcher: nothing is kept
    ErrorCatcher catcher(other.get());
    EXPECT_EQ(0u, file->read(buffer, 4));
    EXPECT_EQ(0, catcher.getError().code);
}

TEST_F(FileTest, WriteReadSeekAndEndOfFile)
{
    boost::shared_ptr<IFile> file = kesh::fs::open(at("data.bin").c_str());
    EXPECT_EQ(at("data.bin"), file->getPath().toString().c_str());
    ASSERT_TRUE(file->open(false, kesh::fs::OpenAlways));  // creates it
    EXPECT_TRUE(file->isEof());
    EXPECT_EQ(10u, file->write("0123456789", 10));
    EXPECT_EQ(10u, file->size());
    EXPECT_EQ(10u, file->position());
    EXPECT_TRUE(file->isEof());
    ASSERT_TRUE(file->seek(3));
    EXPECT_FALSE(file->isEof());
    char buffer[16] = {};
    EXPECT_EQ(4u, file->read(buffer, 4));
    EXPECT_STREQ("3456", buffer);
    EXPECT_EQ(3u, file->read(buffer, 16));
    EXPECT_EQ(0u, file->read(buffer, 16));  // at the end, without a failure
    EXPECT_TRUE(file->close());

    // Reading-only refuses writes and says why.
    ASSERT_TRUE(file->open(true, 0));
    EXPECT_FALSE(file->isEof());
    const Failure f = reported(*file, [&] { file->write("x", 1); });
    EXPECT_NE(0, f.code);
    EXPECT_EQ(10u, file->size());
}

TEST_F(FileTest, TruncateKeepsThePosition)
{
    writeFile("t.bin", "0123456789abcdef");
    boost::shared_ptr<IFile> file = kesh::fs::open(at("t.bin").c_str());
    ASSERT_TRUE(file->open(false, kesh::fs::OpenExisting));
    ASSERT_TRUE(file->seek(10));
    EXPECT_TRUE(file->truncate(0));
    EXPECT_EQ(0u, file->size());
    EXPECT_EQ(10u, file->position());
    EXPECT_TRUE(file->truncate(20));
    EXPECT_EQ(20u, file->size());
    EXPECT_EQ(10u, file->position());
}

TEST_F(FileTest, ReopeningClosesFirstAndAFailedOpenLeavesItClosed)
{
    writeFile("r.bin", "abc");
    boost::shared_ptr<IFile> file = kesh::fs::open(at("r.bin").c_str());
    ASSERT_TRUE(file->open(true, 0));
    ASSERT_TRUE(file->open(false, kesh::fs::OpenExisting));  // our own read handle is gone
    EXPECT_TRUE(file->isOpen());
    EXPECT_FALSE(file->open(false, kesh::fs::CreateNew));
    EXPECT_FALSE(file->isOpen());
}

TEST_F(FileTest, ExistsSizeRemove)
{
    writeFile("f.txt", "hello");
    EXPECT_TRUE(kesh::fs::exists(at("f.txt").c_str()));
    EXPECT_TRUE(kesh::fs::exists(folder_.c_str()));
    EXPECT_FALSE(kesh::fs::exists(at("none").c_str()));
    EXPECT_EQ(5u, kesh::fs::size(at("f.txt").c_str()));
    EXPECT_EQ(0u, kesh::fs::size(at("none").c_str()));
    EXPECT_FALSE(kesh::fs::remove(folder_.c_str()));  // files only
    EXPECT_TRUE(kesh::fs::remove(at("f.txt").c_str()));
    EXPECT_FALSE(kesh::fs::remove(at("f.txt").c_str()));
    EXPECT_FALSE(kesh::fs::exists(at("f.txt").c_str()));
    boost::shared_ptr<IFile> unopened = kesh::fs::open(at("none").c_str());
    ASSERT_TRUE(unopened);
    EXPECT_FALSE(unopened->isOpen());
}

TEST_F(FileTest, CopyMovesEveryByteAcrossBlocks)
{
    const std::string content = patterned(3 * 65536 + 123);
    writeFile("big.src", content);
    EXPECT_TRUE(kesh::fs::copy(at("big.src").c_str(), at("big.dst").c_str()));
    EXPECT_TRUE(readFile("big.dst") == content);

    writeFile("empty.src", "");
    EXPECT_TRUE(kesh::fs::copy(at("empty.src").c_str(), at("empty.dst").c_str()));
    EXPECT_EQ("", readFile("empty.dst"));
}

TEST_F(FileTest, CopyNeverOverwritesAndMissingSourceMakesNothing)
{
    writeFile("a.src", "new");
    writeFile("a.dst", "old content");
    EXPECT_FALSE(kesh::fs::copy(at("a.src").c_str(), at("a.dst").c_str()));
    EXPECT_EQ("old content", readFile("a.dst"));
    EXPECT_FALSE(kesh::fs::copy(at("missing").c_str(), at("b.dst").c_str()));
    EXPECT_FALSE(kesh::fs::exists(at("b.dst").c_str()));
}

namespace {

struct CopyJob {
    std::string source;
    std::string destination;
    bool result = true;
};

DWORD WINAPI runCopy(void* param)
{
    CopyJob* job = static_cast<CopyJob*>(param);
    job->result = kesh::fs::copy(job->source.c_str(), job->destination.c_str());
    return 0;
}

// The size of a file that another handle holds open for writing, as the
// file system has it now; 0 when it cannot be opened.
unsigned long long openFileSize(const std::string& path)
{
    const kesh::win::KernelHandle file(CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    return file.isValid() && GetFileSizeEx(file, &size) ? static_cast<unsigned long long>(size.QuadPart) : 0;
}

}  // namespace

// A source whose size the system cannot give and whose reading breaks off:
// the copy fails, and no partial destination is left under the final name.
TEST_F(FileTest, CopyThatFailsMidwayRemovesItsDestination)
{
    const std::string pipeName = "\\\\.\\pipe\\kesh_copy_test_" + std::to_string(GetCurrentProcessId());
    kesh::win::KernelHandle server(CreateNamedPipeW(wide(pipeName).c_str(),
                                                    PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                                    PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr));
    ASSERT_TRUE(server.isValid());
    CopyJob job;
    job.source = pipeName;
    job.destination = at("from_pipe.dst");
    const kesh::win::KernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped = {};
    overlapped.hEvent = connected;
    const BOOL immediate = ConnectNamedPipe(server, &overlapped);
    const DWORD connectError = GetLastError();
    const kesh::win::KernelHandle worker(CreateThread(nullptr, 0, runCopy, &job, 0, nullptr));
    ASSERT_TRUE(worker.isValid());
    if (!immediate && connectError == ERROR_IO_PENDING) WaitForSingleObject(connected, 10000);

    // Some data, then the writer goes away.
    const std::string content = patterned(1000);
    const kesh::win::KernelHandle written_event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED writing = {};
    writing.hEvent = written_event;
    DWORD written = 0;
    if (!WriteFile(server, content.data(), static_cast<DWORD>(content.size()), nullptr, &writing) &&
        GetLastError() == ERROR_IO_PENDING)
        GetOverlappedResult(server, &writing, &written, TRUE);
    // The copy is midway once it has written what came.
    ASSERT_TRUE(testsupport::WaitFor([&] { return openFileSize(job.destination) == content.size(); }, 10000, nullptr));
    server.reset();

    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 20000));
    EXPECT_FALSE(job.result);
    EXPECT_FALSE(kesh::fs::exists(job.destination.c_str()));
}

TEST_F(FileTest, CreateDirectoryRecursiveAndNot)
{
    const std::string deep = at("a\\b\\c");
    EXPECT_FALSE(kesh::fs::createDirectory(deep.c_str(), false));
    EXPECT_FALSE(kesh::fs::exists(at("a").c_str()));
    EXPECT_TRUE(kesh::fs::createDirectory(deep.c_str(), true));
    const DWORD attributes = GetFileAttributesW(wide(deep).c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(kesh::fs::createDirectory(deep.c_str(), true));  // already there
    EXPECT_TRUE(kesh::fs::createDirectory(at("a\\d").c_str(), false));
    writeFile("plain", "x");
    EXPECT_TRUE(kesh::fs::createDirectory(at("plain").c_str(), false));  // something is there
}
