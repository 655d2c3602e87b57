#include "kesh/arguments.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using kesh::String;
using kesh::StringArray;
using kesh::app::IArguments;
using kesh::app::parseArguments;

namespace {

std::vector<std::string> positional(const boost::shared_ptr<IArguments>& args)
{
    std::vector<std::string> out;
    const StringArray words = args->getArguments();
    for (unsigned i = 0; i < words.size(); ++i)
        out.push_back(words.at(i).c_str());
    return out;
}

typedef std::vector<std::string> Words;

struct SplitCase {
    const char* commandLine;
    Words words;
};

}  // namespace

TEST(ArgumentsTest, WordsSplitAtWhiteSpaceWithQuotesAndBackslashes)
{
    const SplitCase cases[] = {
        {"", {}},
        {" \t\r\n\v\f ", {}},
        {"prog a  b\tc", {"prog", "a", "b", "c"}},
        {"prog \"D:\\a b\\c.png\"", {"prog", "D:\\a b\\c.png"}},
        {"prog 'single \\ quoted'", {"prog", "single \\ quoted"}},
        {"a\"b c\"d", {"ab cd"}},
        {"D:\\dir\\f", {"D:dirf"}},
        {"a\\ b \\\"q\\\"", {"a b", "\"q\""}},
        {"prog \"\" x", {"prog", "", "x"}},
        {"prog \"unclosed text", {"prog", "unclosed text"}},
        {"prog end\\", {"prog", "end\\"}},
        {"prog \"it's\" 'say \"hi\"'", {"prog", "it's", "say \"hi\""}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(c.words, positional(parseArguments(c.commandLine, ""))) << c.commandLine;
}

namespace {
struct OptionCase {
    const char* spec;
    const char* commandLine;
    Words positional;
    // letter or long name, expected count, expected value ("<none>" is the
    // default: the option was not given; a given flag has the empty value)
    struct Expect {
        const char* option;
        int count;
        const char* value;
    };
    std::vector<Expect> expect;
};
}  // namespace

TEST(ArgumentsTest, OptionsFollowTheSpec)
{
    const OptionCase cases[] = {
        {"x:y:", "prog.exe \"D:\\a b\\c.png\" -x10 -y 20", {"prog.exe", "D:\\a b\\c.png"}, {{"x", 1, "10"}, {"y", 1, "20"}}},
        {"x:y:", "prog.exe \"\" -x-1 -y-1", {"prog.exe", ""}, {{"x", 1, "-1"}, {"y", 1, "-1"}}},
        {"x:y:", "prog", {"prog"}, {{"x", 0, "<none>"}, {"y", 0, "<none>"}}},
        {"x:y:", "prog -x", {"prog"}, {{"x", 1, ""}}},
        {"x:", "p -x1 -x2", {"p"}, {{"x", 2, "1\n2"}}},
        {"x:", "p -x1 -x", {"p"}, {{"x", 2, "1\n"}}},
        {"x:", "p -- -x5", {"p", "-x5"}, {{"x", 0, "<none>"}}},
        {"x:", "p - -x 5 rest", {"p", "-", "rest"}, {{"x", 1, "5"}}},
        {"x:", "p -x -y", {"p"}, {{"x", 1, "-y"}}},
        {"ab:", "p -ab7", {"p"}, {{"a", 1, ""}, {"b", 1, "7"}}},
        {"ab:", "p -a -b 7", {"p"}, {{"a", 1, ""}, {"b", 1, "7"}}},
        {"ab", "p -ab -ba -a", {"p"}, {{"a", 3, ""}, {"b", 2, ""}}},
        {"ab:", "p -qab7", {"p"}, {{"a", 1, ""}, {"b", 1, "7"}, {"q", 0, "<none>"}}},
        // An empty first value leaves nothing to separate from.
        {"o;", "p -o -ofile x", {"p", "x"}, {{"o", 2, "file"}}},
        {"o;", "p -oa -o", {"p"}, {{"o", 2, "a\n"}}},
        {"v-verbose.o-output:", "p --verbose -v --output f.txt -oother", {"p"},
         {{"v", 2, ""}, {"verbose", 2, ""}, {"o", 2, "f.txt\nother"}, {"output", 2, "f.txt\nother"}}},
        {"-long:", "p --long a --unknown b", {"p", "b"}, {{"long", 1, "a"}, {"unknown", 0, "<none>"}}},
        {"-opt;", "p --opt v", {"p"}, {{"opt", 1, "v"}}},
        {"-flag.x:", "p --flag -x9", {"p"}, {{"flag", 1, ""}, {"x", 1, "9"}}},
        {"X:", "p -x1 -X2", {"p"}, {{"X", 1, "2"}, {"x", 0, "<none>"}}},
        {"-Name", "p --name --Name", {"p"}, {{"Name", 1, ""}, {"name", 0, "<none>"}}},
    };
    for (const OptionCase& c : cases) {
        boost::shared_ptr<IArguments> args = parseArguments(c.commandLine, c.spec);
        const std::string where = std::string(c.spec) + " | " + c.commandLine;
        EXPECT_EQ(c.positional, positional(args)) << where;
        for (const OptionCase::Expect& e : c.expect) {
            const bool byLetter = e.option[1] == 0;
            const int count = byLetter ? args->count(e.option[0]) : args->count(String(e.option));
            const bool has = byLetter ? args->has(e.option[0]) : args->has(String(e.option));
            const String value = byLetter ? args->getValue(e.option[0], "<none>") : args->getValue(String(e.option), "<none>");
            EXPECT_EQ(e.count, count) << where << " option " << e.option;
            EXPECT_EQ(e.count != 0, has) << where << " option " << e.option;
            EXPECT_STREQ(e.value, value.c_str()) << where << " option " << e.option;
        }
    }
}

TEST(ArgumentsTest, EntriesWithoutLetterOrNameAnswerNothing)
{
    // The long-only entry is stored with a blank letter, the letter-only one
    // with an empty name; neither can be asked for that way.
    boost::shared_ptr<IArguments> args = parseArguments("p --long -x", "-long.x");
    EXPECT_EQ(1, args->count(String("long")));
    EXPECT_EQ(1, args->count('x'));
    EXPECT_EQ(0, args->count(' '));
    EXPECT_EQ(0, args->count(String("")));
}

TEST(ArgumentsTest, TheProcessCommandLineStartsWithTheProgram)
{
    wchar_t module[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, module, sizeof module / sizeof module[0]);
    ASSERT_GT(length, 0u);
    const String program(module, length);
    const String baseName = program.substr(program.rfind("\\") + 1);

    const StringArray words = kesh::app::getArguments("x:y:")->getArguments();
    ASSERT_GE(words.size(), 1u);
    const String first = words.at(0);
    // Outside quotes the folder's backslashes are dropped: compare the end.
    ASSERT_GE(first.length(), baseName.length());
    EXPECT_EQ(0, first.substr(first.length() - baseName.length()).compare(baseName.c_str(), true))
        << first.c_str() << " vs " << baseName.c_str();
}
