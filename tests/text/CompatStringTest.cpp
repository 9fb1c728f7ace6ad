#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "memhost/MemoryHost.h"
#include "text/mfc_compat.h"

namespace {

using Report = std::pair<int, std::string>;

class CompatStringTest : public ::testing::Test {
protected:
    void SetUp() override { ClearAssertReports(); }
    void TearDown() override { ClearAssertReports(); }

    static std::vector<Report> Reports() {
        std::vector<Report> out;
        for (const AssertReport& report : AssertReports()) out.emplace_back(report.line, report.file);
        return out;
    }
    static std::vector<Report> Once(int line) { return {{line, "mfc_compat"}}; }
};

// Construction and conversion.

TEST_F(CompatStringTest, DefaultIsEmpty) {
    CompatString s;
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.IsEmpty(), 1);
    EXPECT_STREQ(s.Text(), "");
}

TEST_F(CompatStringTest, NullTextIsReportedOnLine27AndGivesTheEmptyString) {
    CompatString s(static_cast<const char*>(nullptr));
    EXPECT_EQ(Reports(), Once(27));
    EXPECT_STREQ(s.Text(), "");
}

TEST_F(CompatStringTest, TextIsCopied) {
    char text[] = "abc";
    CompatString s(text);
    text[0] = 'x';
    EXPECT_STREQ(s.Text(), "abc");
    EXPECT_EQ(s.Length(), 3);
    EXPECT_EQ(s.IsEmpty(), 0);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(CompatStringTest, OneCharacterOrNothingForNul) {
    EXPECT_STREQ(CompatString('q').Text(), "q");
    EXPECT_EQ(CompatString('q').Length(), 1);
    EXPECT_EQ(CompatString('\0').Length(), 0);
}

TEST_F(CompatStringTest, CopiesAreIndependent) {
    CompatString a("abc");
    CompatString b(a);
    b.SetCharAt(0, 'x');
    EXPECT_STREQ(a.Text(), "abc");
    CompatString c(CStr("host"));
    EXPECT_STREQ(c.Text(), "host");
    c = a;
    EXPECT_STREQ(c.Text(), "abc");
    CompatString& self = c;
    c = self;
    EXPECT_STREQ(c.Text(), "abc");
}

TEST_F(CompatStringTest, HostStringIsTheUnderlyingString) {
    CompatString s("abc");
    s.HostString() = "changed";
    EXPECT_STREQ(s.Text(), "changed");
    EXPECT_EQ(s.Text(), s.HostString().data());
}

TEST_F(CompatStringTest, MakeEmptyEmpties) {
    CompatString s("abc");
    s.MakeEmpty();
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.IsEmpty(), 1);
}

// Characters.

TEST_F(CompatStringTest, CharAtReadsInsideTheString) {
    CompatString s("abc");
    EXPECT_EQ(s.CharAt(0), 'a');
    EXPECT_EQ(s.CharAt(2), 'c');
    EXPECT_TRUE(Reports().empty());
}

TEST_F(CompatStringTest, CharAtOutsideIsReportedOnLine79AndReadsNothing) {
    struct Case {
        int index;
        bool reported;
    };
    for (const Case c : {Case{3, true}, Case{4, true}, Case{1 << 30, true}, Case{-1, false}, Case{-1000, false}}) {
        ClearAssertReports();
        CompatString s("abc");
        EXPECT_EQ(s.CharAt(c.index), '\0') << c.index;
        EXPECT_EQ(Reports(), c.reported ? Once(79) : std::vector<Report>{}) << c.index;
    }
}

TEST_F(CompatStringTest, SetCharAtStoresInsideTheString) {
    CompatString s("abc");
    s.SetCharAt(1, 'X');
    EXPECT_EQ(s.CharAt(1), 'X');
    EXPECT_STREQ(s.Text(), "aXc");
    EXPECT_TRUE(Reports().empty());
}

TEST_F(CompatStringTest, SetCharAtOutsideIsReportedOnLine196AndWritesNothing) {
    struct Case {
        int index;
        bool reported;
    };
    for (const Case c : {Case{3, true}, Case{70, true}, Case{-1, false}, Case{-5, false}}) {
        ClearAssertReports();
        CompatString s("abc");
        s.SetCharAt(c.index, 'X');
        EXPECT_STREQ(s.Text(), "abc") << c.index;
        EXPECT_EQ(s.Length(), 3) << c.index;
        EXPECT_EQ(Reports(), c.reported ? Once(196) : std::vector<Report>{}) << c.index;
    }
}

// Concatenation.

TEST_F(CompatStringTest, PlusLeavesBothOperands) {
    const CompatString a("ab");
    const CompatString b("cd");
    EXPECT_STREQ((a + b).Text(), "abcd");
    EXPECT_STREQ(a.Text(), "ab");
    EXPECT_STREQ(b.Text(), "cd");
}

TEST_F(CompatStringTest, PlusAssignChangesOnlyTheLeft) {
    CompatString a("ab");
    const CompatString b("cd");
    a += b;
    a += CStr("ef");
    EXPECT_STREQ(a.Text(), "abcdef");
    EXPECT_STREQ(b.Text(), "cd");
    a += a;
    EXPECT_STREQ(a.Text(), "abcdefabcdef");
}

// Comparison.

TEST_F(CompatStringTest, CompareAndOperatorsFollowTheHostOrdering) {
    struct Case {
        const char *left, *right;
        int compare;
    };
    const Case cases[] = {{"abc", "abc", 0}, {"abc", "abd", -1}, {"abd", "abc", 1}, {"", "a", -1},
                          {"ab", "a", 1},    {"B", "a", -1},     {"\xff", "a", 1}};
    for (const Case& c : cases) {
        const CompatString l(c.left);
        const CompatString r(c.right);
        EXPECT_EQ(l.Compare(r), c.compare) << c.left << " / " << c.right;
        EXPECT_EQ(l == r, c.compare == 0 ? 1 : 0);
        EXPECT_EQ(l != r, c.compare != 0 ? 1 : 0);
        EXPECT_EQ(l < r, c.compare < 0 ? 1 : 0);
        EXPECT_EQ(l > r, c.compare > 0 ? 1 : 0);
        EXPECT_EQ(l <= r, c.compare <= 0 ? 1 : 0);
        EXPECT_EQ(l >= r, c.compare >= 0 ? 1 : 0);
    }
}

TEST_F(CompatStringTest, CompareIgnoreCaseKeepsBothStrings) {
    const CompatString upper("HeLLo");
    const CompatString lower("hello");
    EXPECT_EQ(upper.CompareIgnoreCase(lower), 0);
    EXPECT_NE(upper.Compare(lower), 0);
    EXPECT_STREQ(upper.Text(), "HeLLo");
    EXPECT_STREQ(lower.Text(), "hello");
    EXPECT_EQ(CompatString("B").CompareIgnoreCase(CompatString("a")), 1);
    EXPECT_EQ(CompatString("a").CompareIgnoreCase(CompatString("B")), -1);
}

// Searching.

TEST_F(CompatStringTest, FindGivesTheFirstOccurrence) {
    const CompatString s("abcabc");
    struct Case {
        const char* text;
        int position;
    };
    for (const Case c :
         {Case{"bc", 1}, Case{"abc", 0}, Case{"cab", 2}, Case{"", 0}, Case{"x", -1}, Case{"abcabcd", -1}}) {
        EXPECT_EQ(s.Find(c.text), c.position) << c.text;
        EXPECT_EQ(s.Find(CompatString(c.text)), c.position) << c.text;
    }
    EXPECT_EQ(s.Find(static_cast<const char*>(nullptr)), -1);
    EXPECT_EQ(CompatString().Find(""), 0);
}

TEST_F(CompatStringTest, FindCharAndFindLastChar) {
    struct Case {
        const char* text;
        char ch;
        int first, last;
    };
    const Case cases[] = {{"abc", 'b', 1, 1},   {"abcb", 'b', 1, 3},   {"", 'a', -1, -1},
                          {"abc", 'z', -1, -1}, {"abc", '\0', -1, -1}, {"a\xff", '\xff', 1, 1}};
    for (const Case& c : cases) {
        const CompatString s(c.text);
        EXPECT_EQ(s.FindChar(c.ch), c.first) << c.text;
        EXPECT_EQ(s.FindLastChar(c.ch), c.last) << c.text;
    }
}

// Substrings.

TEST_F(CompatStringTest, SubstringsKeepToTheString) {
    const CompatString s("abcdef");
    struct Case {
        CompatString got;
        const char* expected;
    };
    const Case cases[] = {
        {s.Substring(1, 3), "bcd"},
        {s.Substring(4), "ef"},
        {s.Substring(0), "abcdef"},
        {s.Substring(6), ""},
        {s.Substring(9), ""},
        {s.Substring(4, 10), "ef"},
        {s.Substring(-2, 4), "ab"},
        {s.Substring(-5), "abcdef"},
        {s.Substring(2, -1), ""},
        {s.Prefix(2), "ab"},
        {s.Prefix(6), "abcdef"},
        {s.Prefix(0), ""},
        {s.Prefix(99), "abcdef"},
        {s.Suffix(2), "ef"},
        {s.Suffix(6), "abcdef"},
        {s.Suffix(0), ""},
        {s.Suffix(99), "abcdef"},
        {s.Substring(-2147483647 - 1), "abcdef"},
        {s.Suffix(-2147483647 - 1), ""},
        {s.Substring(2147483647, 2147483647), ""},
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_STREQ(cases[i].got.Text(), cases[i].expected) << "case " << i;
    EXPECT_STREQ(s.Text(), "abcdef");
    EXPECT_EQ(s.Substring(2), s.Substring(2, s.Length() - 2));
}

TEST_F(CompatStringTest, PrefixBeforeAnyStopsAtTheFirstCharacterOfTheSet) {
    const CompatString s("key=value;rest");
    struct Case {
        const char* set;
        const char* expected;
    };
    for (const Case c : {Case{"=;", "key"}, Case{";", "key=value"}, Case{"XZ#", "key=value;rest"},
                         Case{"", "key=value;rest"}, Case{"k", ""}, Case{nullptr, "key=value;rest"}}) {
        EXPECT_STREQ(s.PrefixBeforeAny(c.set).Text(), c.expected) << (c.set ? c.set : "(null)");
    }
    EXPECT_STREQ(CompatString().PrefixBeforeAny("a").Text(), "");
    EXPECT_TRUE(Reports().empty());
}

void* NoMemory(std::size_t) { return nullptr; }

TEST_F(CompatStringTest, PrefixBeforeAnyWithoutMemoryIsReportedOnLine287) {
    const CompatAllocator previous = SetCompatAllocator(&NoMemory);
    const CompatString prefix = CompatString("abc").PrefixBeforeAny("c");
    SetCompatAllocator(previous);
    EXPECT_EQ(Reports(), Once(287));
    EXPECT_STREQ(prefix.Text(), "");
    EXPECT_STREQ(CompatString("abc").PrefixBeforeAny("c").Text(), "ab");
}

// Case and formatting.

TEST_F(CompatStringTest, CaseChangesInPlace) {
    CompatString s("MiXed 12!");
    s.ToUpper();
    EXPECT_STREQ(s.Text(), "MIXED 12!");
    s.ToLower();
    EXPECT_STREQ(s.Text(), "mixed 12!");
}

TEST_F(CompatStringTest, FormatTextReplacesTheContents) {
    CompatString s("old");
    s.FormatText("plain text");
    EXPECT_STREQ(s.Text(), "plain text");
    s.FormatText("%d-%s-%.2f", 42, "x", 1.5);
    EXPECT_STREQ(s.Text(), "42-x-1.50");
    s.FormatText("%s", "");
    EXPECT_EQ(s.IsEmpty(), 1);
}

TEST_F(CompatStringTest, FormatTextStaysInsideItsBuffer) {
    CompatString s;
    const std::string exact(2047, 'a');
    s.FormatText("%s", exact.c_str());
    EXPECT_EQ(s.Length(), 2047);
    const std::string longer(5000, 'b');
    s.FormatText("%s!", longer.c_str());
    EXPECT_EQ(s.Length(), 2047);
    EXPECT_EQ(std::string(s.Text()), std::string(2047, 'b'));
}

}  // namespace
