// The upload's window-free rules: byte counts, the size line, the progress
// numbers, the judgement of the server's configuration and answer, which
// addresses the shell may be given, and the client id file.
#include "editor/upload/byte_size.h"
#include "editor/upload/client_id.h"
#include "editor/upload/upload_input_rules.h"
#include "editor/upload/upload_progress_rules.h"
#include "editor/upload/upload_response_rules.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kesh::Wide;

TEST(ByteSizeTest, BytesKilobytesAndMegabytes)
{
    struct Case {
        unsigned count;
        const char* text;
    };
    const Case cases[] = {
        {0, "0B"},          {1024, "1024B"},       {1025, "1.0K"},        {1536, "1.5K"},
        {1048576, "1024.0K"}, {1048577, "1.0M"},   {3145728, "3.0M"},     {4294967295u, "4096.0M"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.text, FormatByteSize(c.count).c_str()) << c.count;
}

TEST(UploadInputRulesTest, SizeLineUnderTheEdits)
{
    EXPECT_EQ(L"1.5K   800 X 600像素", ImageSizeLine(1536, 800, 600));
    // The dialogs count bytes in 32 bits: 4 GiB + 10 bytes shows 10 bytes.
    EXPECT_EQ(L"10B   1 X 1像素", ImageSizeLine(0x10000000Aull, 1, 1));
}

TEST(UploadProgressRulesTest, PositionAndBytes)
{
    struct Case {
        unsigned posted, total;
        int position;
        const char* bytes;
    };
    const Case cases[] = {
        {0, 0, 0, "0B/0B"},
        {0, 2000, 0, "0B/2.0K"},
        {1000, 2000, 50, "1000B/2.0K"},
        {2000, 2000, 100, "2.0K/2.0K"},
        // posted x 100 does not fit in 32 bits.
        {4000000000u, 4294967295u, 93, "3814.7M/4096.0M"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.position, ProgressPosition(c.posted, c.total)) << c.posted << "/" << c.total;
        EXPECT_STREQ(c.bytes, ProgressBytesText(c.posted, c.total).c_str()) << c.posted << "/" << c.total;
    }
}

TEST(UploadProgressRulesTest, StageLineFollowsTheStages)
{
    const wchar_t* expected[] = {nullptr, L"获取服务器配置...", L"验证数据有效性...", L"发送图片数据...", nullptr,
                                 L"接收服务器回应...", L"操作完成", nullptr, nullptr};
    for (unsigned stage = 0; stage < 9; ++stage) {
        const wchar_t* text = UploadStageText(stage);
        if (!expected[stage])
            EXPECT_EQ(nullptr, text) << stage;
        else
            EXPECT_EQ(std::wstring(expected[stage]), text ? text : L"<null>") << stage;
    }
}

TEST(UploadProgressRulesTest, ConfigurationLimitsAndEntry)
{
    const char* const unrecognised = "无法识别的服务器回应";
    const char* const tooLarge = "图片文件大小超出限制";
    const char* const tooManyPixels = "图片文件像素数超出限制";
    struct Case {
        const char* what;
        const char* body;
        unsigned long long fileSize;
        int width, height;
        const char* entry;    // when accepted
        const char* failure;  // when refused
    };
    const Case cases[] = {
        {"no limit: anything goes", "<c><entry>http://u/p</entry></c>", 1ull << 40, 60000, 60000, "http://u/p", nullptr},
        {"size 100 takes 100 bytes", "<c><limit size='100'/><entry>e</entry></c>", 100, 1, 1, "e", nullptr},
        {"size 100 refuses 101 bytes", "<c><limit size='100'/><entry>e</entry></c>", 101, 1, 1, nullptr, tooLarge},
        {"names in any case", "<c><LIMIT SIZE='10'/><ENTRY>e</ENTRY></c>", 11, 1, 1, nullptr, tooLarge},
        {"a negative size refuses nothing", "<c><limit size='-1'/><entry>e</entry></c>", 1ull << 40, 1, 1, "e", nullptr},
        {"size without digits reads 0", "<c><limit size='big'/><entry>e</entry></c>", 1, 1, 1, nullptr, tooLarge},
        {"pixels exactly at the limit", "<c><limit pixel='480000'/><entry>e</entry></c>", 1, 800, 600, "e", nullptr},
        {"one pixel row more", "<c><limit pixel='480000'/><entry>e</entry></c>", 1, 800, 601, nullptr, tooManyPixels},
        {"a negative pixel limit refuses all", "<c><limit pixel='-1'/><entry>e</entry></c>", 1, 1, 1, nullptr,
         tooManyPixels},
        {"width x height past 32 bits", "<c><limit pixel='2147483647'/><entry>e</entry></c>", 1, 65536, 65536,
         nullptr, tooManyPixels},
        {"the size is judged first", "<c><limit size='1' pixel='1'/><entry>e</entry></c>", 2, 2, 2, nullptr, tooLarge},
        {"a limit below the root is not seen", "<c><x><limit size='1'/></x><entry>e</entry></c>", 5, 1, 1, "e",
         nullptr},
        {"the first limit counts", "<c><limit size='1000'/><limit size='1'/><entry>e</entry></c>", 5, 1, 1, "e",
         nullptr},
        {"the first entry counts", "<c><entry>a</entry><entry>b</entry></c>", 1, 1, 1, "a", nullptr},
        {"no entry", "<c><limit/></c>", 1, 1, 1, nullptr, unrecognised},
        {"an entry below the root", "<c><x><entry>e</entry></x></c>", 1, 1, 1, nullptr, unrecognised},
        {"an empty entry", "<c><entry></entry></c>", 1, 1, 1, nullptr, unrecognised},
        {"not XML", "<c><entry>e</c>", 1, 1, 1, nullptr, unrecognised},
        {"empty", "", 1, 1, 1, nullptr, unrecognised},
    };
    for (const Case& c : cases) {
        const ConfigurationVerdict verdict = CheckConfiguration(c.body, c.fileSize, c.width, c.height);
        EXPECT_EQ(c.entry != nullptr, verdict.ok) << c.what;
        EXPECT_STREQ(c.entry ? c.entry : "", verdict.entry.c_str()) << c.what;
        EXPECT_STREQ(c.failure ? c.failure : "", verdict.failure.c_str()) << c.what;
    }
}

TEST(UploadProgressRulesTest, AnswerResultAndAddresses)
{
    const char* const unrecognised = "无法识别的服务器回应";
    struct Case {
        const char* what;
        const char* body;
        const char* failure;    // null: accepted
        const char* addresses;  // "title=address;" for each
    };
    const Case cases[] = {
        {"two pages", "<r><result code='0'/><content><url title='a'>http://x/1</url><url title='b'>http://x/2</url>"
                      "</content></r>", nullptr, "a=http://x/1;b=http://x/2;"},
        {"no code counts as success", "<r><result/><content><url title='a'>u</url></content></r>", nullptr, "a=u;"},
        {"a code without digits reads 0", "<r><result code='ok'/><content/></r>", nullptr, ""},
        {"an empty content", "<r><result code='0'/><content></content></r>", nullptr, ""},
        {"url without title", "<r><result code='0'/><content><url>u</url></content></r>", nullptr, "=u;"},
        {"other children are skipped", "<r><result code='0'/><content><img>i</img><URL TITLE='t'>u</URL></content></r>",
         nullptr, "t=u;"},
        {"code 3 refuses with its text", "<r><result code='3'>图片格式不被接受</result></r>", "图片格式不被接受", ""},
        {"a refusal needs no content", "<r><result code='12'>no</result><content><url>u</url></content></r>", "no", ""},
        {"success without content", "<r><result code='0'/></r>", unrecognised, ""},
        {"no result", "<r><content><url>u</url></content></r>", unrecognised, ""},
        {"a result below the root", "<r><x><result code='0'/></x><content/></r>", unrecognised, ""},
        {"not XML", "<r><result code='0'/><content>", unrecognised, ""},
    };
    for (const Case& c : cases) {
        const AnswerVerdict verdict = ReadAnswer(c.body);
        EXPECT_EQ(c.failure == nullptr, verdict.ok) << c.what;
        EXPECT_STREQ(c.failure ? c.failure : "", verdict.failure.c_str()) << c.what;
        std::string listed;
        for (unsigned i = 0; i < verdict.addresses.size(); ++i)
            listed += std::string(verdict.addresses.at(i).first.c_str()) + "=" + verdict.addresses.at(i).second.c_str() + ";";
        EXPECT_EQ(c.addresses, listed) << c.what;
    }
}

TEST(UploadResponseRulesTest, OnlyWebAddressesWithoutControlCharactersAreOpened)
{
    struct Case {
        std::string address;
        bool openable;
    };
    const std::string site = "http://img.norpasoft.com/";
    const Case cases[] = {
        {"http://img.norpasoft.com/p/1", true},
        {"https://img.norpasoft.com/p/1?a=b&c=%20", true},
        {"HTTPS://IMG.NORPASOFT.COM/", true},
        {"http://图片.norpasoft.com/路径", true},
        {"file:///C:/windows/system32/calc.exe", false},
        {"javascript:alert(1)", false},
        {"C:\\windows\\notepad.exe", false},
        {"ftp://img.norpasoft.com/", false},
        {" http://img.norpasoft.com/", false},
        {"http://img.norpasoft.com/a\r\nSet-Cookie: x", false},
        {"http://img.norpasoft.com/\ta", false},
        {"http://img.norpasoft.com/\x7f", false},
        {"http:/img.norpasoft.com/", false},
        {"", false},
        // What would reach the browser as more than one argument, and no host.
        {"http://img.norpasoft.com/\" --evil-switch \"x", false},
        {"http://img.norpasoft.com/a b", false},
        {"http:///x", false},
        {"http://:80/", false},
        {"http://user@/", false},
        {"http://user:pw@img.norpasoft.com:8080?a", true},
        // 512 characters at most, well below where the shell overflows (997).
        {site + std::string(512 - site.size(), 'a'), true},
        {site + std::string(513 - site.size(), 'a'), false},
        {"http://\u56fe\u7247.norpasoft.com/" + std::string(512 - 24, 'a'), true},
        // C1 controls, and the bidirectional marks that make it read otherwise.
        {site + "\u0080", false},
        {site + "a\u0085b", false},
        {site + "\u009f", false},
        {"http://img.norpasoft\u202e" + std::string("moc.exe/"), false},
        {site + "\u202a", false},
        {site + "\u2066", false},
        {site + "\u2069", false},
        {site + "\u200e", false},
        {site + "\u200f", false},
        {site + "\u061c", false},
        // What hides in an address or makes it look like another: Unicode
        // spaces, line and paragraph separators, zero-width characters (in a
        // host too), the byte order mark, the soft hyphen and the fillers.
        {site + "a\u00a0b", false},
        {"http://img.norpasoft.com\u3000.evil.example/", false},
        {site + "a\u2028b", false},
        {"http://img\u200b.norpasoft.com/p/1", false},
        {site + "p\u2060/1", false},
        {site + "\ufeff", false},
        {"http://img.norpa\u00adsoft.com/", false},
        {site + "\u3164", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.openable, IsOpenableAddress(c.address.c_str())) << c.address;
    EXPECT_EQ(L"\"图片地址\" 已经复制到剪贴板", CopyNoticeText(L"图片地址"));
}

TEST(ClientIdTest, KeepsAWholeIdAndReplacesAnythingElse)
{
    editortest::TempFolder folder;
    const kesh::String path = folder.path("oid");
    const std::string kept = "0123456789abcdef0123456789ABCDEF";
    struct Case {
        const char* what;
        std::string contents;
        bool keptAsItIs;
    };
    const Case cases[] = {
        {"32 hexadecimal characters", kept, true},
        {"31 characters", kept.substr(1), false},
        {"33 characters", kept + "0", false},
        {"empty", "", false},
        {"32 bytes that are not hexadecimal", std::string(32, 'z'), false},
        {"a line end inside", kept.substr(0, 30) + "\r\n", false},
        {"a zero byte inside", kept.substr(0, 16) + std::string(1, '\0') + kept.substr(17), false},
    };
    for (const Case& c : cases) {
        editorapptest::WriteFileBytes(path, c.contents);
        const kesh::String id = LoadOrCreateOidAt(path);
        const std::string stored = editorapptest::ReadFileBytes(path);
        EXPECT_EQ(stored, id.c_str()) << c.what;
        if (c.keptAsItIs) {
            EXPECT_EQ(c.contents, stored) << c.what;
            continue;
        }
        ASSERT_EQ(32u, stored.size()) << c.what;
        EXPECT_EQ(std::string::npos, stored.find_first_not_of("0123456789abcdef")) << c.what;
        EXPECT_NE(c.contents, stored) << c.what;
        // Made once, then kept.
        EXPECT_STREQ(id.c_str(), LoadOrCreateOidAt(path).c_str()) << c.what;
    }
    DeleteFileW(Wide(path).c_str());
    const kesh::String made = LoadOrCreateOidAt(path);
    EXPECT_EQ(32u, made.length());
    EXPECT_EQ(editorapptest::ReadFileBytes(path), made.c_str());
    EXPECT_STRNE(made.c_str(), kept.c_str());
    DeleteFileW(Wide(path).c_str());

    // Without its folder there is no file and no id; the folder is not made.
    const kesh::String inMissingFolder = folder.path("My Norpa\\oid");
    EXPECT_STREQ("", LoadOrCreateOidAt(inMissingFolder).c_str());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Wide(folder.path("My Norpa")).c_str()));
    EXPECT_STREQ((kesh::String("C:\\users\\me\\Documents") + "\\My Norpa\\oid").c_str(),
                 ClientIdPathUnder("C:/users/me/Documents").c_str());
}

}  // namespace
