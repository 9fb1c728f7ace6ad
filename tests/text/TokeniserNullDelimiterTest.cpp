// A null delimiter text, with assertions enabled and disabled. This file is
// built twice, each time with its own copy of the tokeniser compiled the same
// way as the test, so both behaviours are checked in every build type.
#include <gtest/gtest.h>

#include "text/Tokeniser.h"

namespace {

#if defined(NDEBUG)

TEST(TokeniserNullDelimiters, LeaveTheSetUnchangedWithoutAssertions) {
    Tokeniser tokens(nullptr);
    tokens.SetDelimiters("\t\n");
    tokens.SetDelimiters(nullptr);
    EXPECT_STREQ(tokens.GetDelimiters(), "\t\n");
}

#else

// The standard assertion's report: the expression, this module's source
// file and the line of the check.
#  if defined(_WIN32)
const char kReport[] = "newdelim.*Tokeniser\\.cpp.*67";
#  else
const char kReport[] = "Tokeniser\\.cpp:67: .*Assertion `newdelim' failed";
#  endif

TEST(TokeniserNullDelimitersDeathTest, FailTheStandardAssertion) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Tokeniser tokens(nullptr);
    EXPECT_DEATH(tokens.SetDelimiters(nullptr), kReport);
}

#endif

}  // namespace
