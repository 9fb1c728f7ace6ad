#include <gtest/gtest.h>

#include <string>

#include "host/CStr.h"

namespace {

TEST(CStr, ConstructionAndAssignmentCopyTheText) {
    EXPECT_EQ(CStr().Length(), 0);
    EXPECT_EQ(CStr(nullptr).Length(), 0);
    CStr a("abc");
    CStr b(a);
    b[0] = 'x';
    EXPECT_STREQ(a.data(), "abc");
    EXPECT_STREQ(b.data(), "xbc");
    b = "longer text";
    EXPECT_EQ(b.Length(), 11);
    b = static_cast<const char*>(nullptr);
    EXPECT_STREQ(b.data(), "");
    a += CStr("def");
    EXPECT_STREQ(a.data(), "abcdef");
    CStr& self = a;
    a = self;
    EXPECT_STREQ(a.data(), "abcdef");
}

TEST(CStr, OrderingIsBytewise) {
    struct Case {
        const char *left, *right;
        int less, greater;
    };
    const Case cases[] = {{"a", "b", 1, 0},  {"b", "a", 0, 1}, {"a", "a", 0, 0},   {"", "a", 1, 0},
                          {"ab", "a", 0, 1}, {"A", "a", 1, 0}, {"\xff", "a", 0, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(CStr(c.left) < CStr(c.right), c.less) << c.left << " < " << c.right;
        EXPECT_EQ(CStr(c.left) > CStr(c.right), c.greater) << c.left << " > " << c.right;
    }
}

TEST(CStr, SubstrIsClampedToTheString) {
    struct Case {
        int first, count;
        const char* expected;
    };
    const Case cases[] = {{0, 3, "abc"},
                          {1, 2, "bc"},
                          {0, 10, "abcdef"},
                          {4, 10, "ef"},
                          {6, 1, ""},
                          {10, 2, ""},
                          {-2, 4, "ab"},
                          {2, -1, ""},
                          {-5, -5, ""},
                          {0, 2147483647, "abcdef"},
                          {2147483647, 2147483647, ""}};
    const CStr text("abcdef");
    for (const Case& c : cases)
        EXPECT_STREQ(text.Substr(c.first, c.count).data(), c.expected) << c.first << ", " << c.count;
}

TEST(CStr, IndexOutsideTheStringTouchesNothingInside) {
    CStr text("abc");
    text[3] = 'x';
    text[-1] = 'y';
    text[1000] = 'z';
    EXPECT_STREQ(text.data(), "abc");
    EXPECT_EQ(text.Length(), 3);
    const CStr& constant = text;
    EXPECT_EQ(constant[5], '\0');
}

TEST(CStr, AppendingFollowsTheVisibleText) {
    CStr text("abcdef");
    text.data()[2] = '\0';
    CStr tail("XY");
    tail.data()[1] = '\0';
    text += tail;
    EXPECT_STREQ(text.data(), "abX");
    EXPECT_EQ(text.Length(), 3);
}

TEST(CStr, CaseConversionChangesLettersOnly) {
    CStr text("Mixed Case 123 \xe9!");
    text.toUpper();
    EXPECT_STREQ(text.data(), "MIXED CASE 123 \xe9!");
    text.toLower();
    EXPECT_STREQ(text.data(), "mixed case 123 \xe9!");
}

}  // namespace
