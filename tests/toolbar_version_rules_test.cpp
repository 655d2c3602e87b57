// The version check's window-free rules: reading a version, and what a
// reply of the web site tells against the program's own version.
#include "toolbar/core/version_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kRefused = ~0ull;

uint64_t Parsed(const char* text)
{
    uint64_t value = kRefused;
    return ParseVersionValue(text, value) ? value : kRefused;
}

TEST(VersionRulesTest, AVersionIsFourPartsOfSixteenBitsEachOrNothing)
{
    struct Case {
        const char* text;
        uint64_t value;
    };
    const Case cases[] = {
        {"1.2.3.4", 0x0001000200030004ull},
        {"65535.65535.65535.0", 0xFFFFFFFFFFFF0000ull},
        {"0.0.0.65535", 0xFFFFull},
        {"0.0.0.0", 0},
        {"1.2.3", kRefused},
        {"1.2.3.4.5", kRefused},
        {"", kRefused},
        // A part without leading digits counts as 0.
        {"1..3.4", 0x0001000000030004ull},
        {"1.2.3.", 0x0001000200030000ull},
        {"1.2.3.65536", kRefused},
        {"0.9.1.99999999999999999999999", kRefused},
        {"1.-2.3.4", 0x0001000000030004ull},
        {"1.x.3.4", 0x0001000000030004ull},
        {"1.2.3.4rc1", 0x0001000200030004ull},
        {" 1.+2.3.4", 0x0001000200030004ull},
        {"01.002.0003.00004", 0x0001000200030004ull},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, Parsed(c.text)) << '"' << c.text << '"';
}

TEST(VersionRulesTest, TheProductVersionCountsNotTheFileVersion)
{
    VS_FIXEDFILEINFO info = {};
    info.dwFileVersionMS = 0x00070008;
    info.dwFileVersionLS = 0x00090000;
    info.dwProductVersionMS = 0x00010002;
    info.dwProductVersionLS = 0x012C0004;
    EXPECT_EQ(0x00010002012C0004ull, PackedProductVersion(info));
}

TEST(VersionRulesTest, AReplyIsNewerOnlyWithAFullVersionAboveTheOwnAndAnAddressToOpen)
{
    const uint64_t own = 0x0000000900010002ull;  // 0.9.1.2
    const std::string address = "http://www.norpasoft.com/download/norpa-setup.exe";
    const auto current = [&](const std::string& version, const std::string& text = "") {
        return "<norpa><current version=\"" + version + "\">" + (text.empty() ? address : text) + "</current></norpa>";
    };
    struct Case {
        const char* what;
        std::string body;
        bool recognised;
        bool newer;
        std::string downloadAddress;
    };
    const Case cases[] = {
        {"one more in the last part", current("0.9.1.3"), true, true, address},
        {"the first part outweighs the rest", current("1.0.0.0"), true, true, address},
        {"a later part never outweighs an earlier one", current("0.8.65535.65535"), true, false, address},
        {"a part above 65535 does not spill into its neighbour", current("0.9.1.65539"), true, false, address},
        {"a part without digits counts as 0", current("1.a.0.0"), true, true, address},
        {"names in other letter cases",
         "<Norpa><CURRENT Version=\"0.9.1.3\">" + address + "</CURRENT></Norpa>", true, true, address},
        {"only the first current counts",
         "<n><current version=\"0.9.1.1\">http://a/</current><current version=\"9.0.0.0\">http://b/</current></n>",
         true, false, "http://a/"},
        {"a current deeper down is none", "<n><x>" + current("9.0.0.0") + "</x></n>", true, false, ""},
        {"no current at all", "<n><other version=\"9.0.0.0\"/></n>", true, false, ""},
        {"no version attribute", "<n><current>" + address + "</current></n>", true, false, address},
        {"white space around the address is dropped", current("0.9.1.3", "\n  " + address + "\n"), true, true,
         address},
        {"an https address", current("0.9.1.3", "HTTPS://www.norpasoft.com/d"), true, true,
         "HTTPS://www.norpasoft.com/d"},
        {"newer with a script for an address", current("0.9.1.3", "javascript:alert(1)"), false, true,
         "javascript:alert(1)"},
        {"newer with a local file for an address", current("0.9.1.3", "file:///C:/Windows/calc.exe"), false, true,
         "file:///C:/Windows/calc.exe"},
        {"newer with a tab inside the address", current("0.9.1.3", "http://a/b&#9;c"), false, true,
         "http://a/b\tc"},
        {"newer with no address", current("0.9.1.3", " "), false, true, ""},
        {"not newer, so the address is never offered", current("0.9.1.2", "javascript:alert(1)"), true, false,
         "javascript:alert(1)"},
        {"a root that is never closed", "<norpa><current version=\"9.0.0.0\">http://a/</current>", false, false,
         ""},
    };
    for (const Case& c : cases) {
        const VersionReply reply = ReadVersionReply(c.body.c_str(), own);
        EXPECT_EQ(c.recognised, reply.recognised) << c.what;
        EXPECT_EQ(c.newer, reply.newer) << c.what;
        EXPECT_STREQ(c.downloadAddress.c_str(), reply.downloadAddress.c_str()) << c.what;
    }
}

}  // namespace
