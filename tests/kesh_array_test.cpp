#include "kesh/string.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <string>
#include <vector>

using kesh::String;
using kesh::StringArray;
using kesh::TArray;

namespace {

std::vector<std::string> items(const StringArray& a)
{
    std::vector<std::string> out;
    for (unsigned i = 0; i < a.size(); ++i) out.push_back(a.at(i).c_str());
    return out;
}

typedef std::vector<std::string> Items;

}  // namespace

TEST(ArrayTest, NewArraysAreEmptyAndCopiesDetachOnChange)
{
    StringArray a;
    EXPECT_EQ(0u, a.size());
    EXPECT_TRUE(a.isEmpty());
    StringArray b = a;
    b.append("x");
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(Items({"x"}), items(b));

    StringArray c = b;
    c.at(0).append("y");  // the writable at detaches first
    EXPECT_EQ(Items({"x"}), items(b));
    EXPECT_EQ(Items({"xy"}), items(c));
}

TEST(ArrayTest, SoleHolderKeepsItsBody)
{
    StringArray a;
    a.append("a");
    const String* first = &a.at(0);
    const StringArray& view = a;
    EXPECT_EQ(first, &view.at(0));
    a.at(0);  // writable access on a sole holder does not copy
    EXPECT_EQ(first, &view.at(0));
}

TEST(ArrayTest, AppendOfOwnElementIsSafe)
{
    StringArray a;
    a.append("first");
    for (int i = 0; i < 20; ++i) a.append(a.at(0));
    EXPECT_EQ(21u, a.size());
    EXPECT_STREQ("first", a.at(20).c_str());
}

TEST(ArrayTest, Resize)
{
    StringArray a;
    a.append("a");
    StringArray shared = a;
    a.resize(3, String());
    EXPECT_EQ(Items({"a", "", ""}), items(a));
    EXPECT_EQ(Items({"a"}), items(shared));

    StringArray b;
    b.append("a").append("b").append("c");
    b.resize(1, "x");
    EXPECT_EQ(Items({"a"}), items(b));

    StringArray c = b;
    c.resize(2, "f");
    EXPECT_EQ(Items({"a", "f"}), items(c));
    EXPECT_EQ(Items({"a"}), items(b));
}

TEST(ArrayTest, RemoveAtAndClear)
{
    StringArray a;
    a.append("a").append("b");
    StringArray shared = a;
    a.removeAt(0);
    EXPECT_EQ(Items({"b"}), items(a));
    EXPECT_EQ(Items({"a", "b"}), items(shared));

    StringArray other = shared;
    other.clear();
    EXPECT_TRUE(other.isEmpty());
    EXPECT_EQ(Items({"a", "b"}), items(shared));
    shared.clear();
    EXPECT_TRUE(shared.isEmpty());
}

TEST(ArrayTest, HandlesAreSharedNotCopied)
{
    TArray<boost::shared_ptr<int> > a;
    boost::shared_ptr<int> value = boost::make_shared<int>(5);
    a.append(value);
    TArray<boost::shared_ptr<int> > b = a;
    b.append(value);  // detach copies the handles: one more holder each
    EXPECT_EQ(4, value.use_count());
    b.clear();
    a.clear();
    EXPECT_EQ(1, value.use_count());
}

TEST(ArrayTest, ElementsKeepTheirOrderInTheBodysOwnBlockAndBeyondIt)
{
    // A body holds the elements it is made for in its own heap block and
    // moves them out when it grows past them. Each step runs beside a
    // vector; a copy taken before it must keep what it saw.
    struct Step {
        const char* name;
        void (*apply)(StringArray&, Items&);
    };
    const Step steps[] = {
        {"first append", [](StringArray& a, Items& m) { a.append("a"), m.push_back("a"); }},
        {"append past the room", [](StringArray& a, Items& m) { a.append("b"), m.push_back("b"); }},
        {"reserve", [](StringArray& a, Items&) { a.reserve(6); }},
        {"fill the reserve", [](StringArray& a, Items& m) {
             for (const char* e : {"c", "d", "e", "f"}) a.append(e), m.push_back(e);
         }},
        {"one more", [](StringArray& a, Items& m) { a.append(String("g")), m.push_back("g"); }},
        {"remove the first", [](StringArray& a, Items& m) { a.removeAt(0), m.erase(m.begin()); }},
        {"change one", [](StringArray& a, Items& m) { a.at(1).append("!"), m[1] += "!"; }},
        {"shrink", [](StringArray& a, Items& m) { a.resize(2, "z"), m.resize(2, "z"); }},
        {"grow", [](StringArray& a, Items& m) { a.resize(4, "z"), m.resize(4, "z"); }},
    };
    for (const bool shared : {false, true}) {
        StringArray a;
        Items model;
        for (const Step& step : steps) {
            const Items old = model;
            const StringArray copy = shared ? a : StringArray();
            step.apply(a, model);
            EXPECT_EQ(model, items(a)) << (shared ? "shared, " : "sole, ") << step.name;
            if (shared) {
                EXPECT_EQ(old, items(copy)) << "the copy after " << step.name;
            }
        }
    }
}

TEST(ArrayDeathTest, IndexOutOfRangeEndsTheProcess)
{
    StringArray a;
    a.append("only");
    const StringArray& view = a;
    EXPECT_DEATH(view.at(1), "Assertion failed: index < size\\(\\)");
    EXPECT_DEATH(a.at(5), "Assertion failed: index < size\\(\\)");
    EXPECT_DEATH(a.removeAt(1), "Assertion failed: index < size\\(\\)");
    EXPECT_DEATH(StringArray().at(0), "index < size\\(\\)");
}
