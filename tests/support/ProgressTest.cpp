// Progress lines: drawn in place only when asked for and only for big jobs,
// and cleared afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "support/Progress.h"

namespace {

std::string Drawn(bool enabled, std::int64_t total, std::int64_t minimum, std::int64_t steps) {
    std::FILE* out = std::tmpfile();
    {
        support::Percentage progress(out, enabled, "job", total, minimum);
        for (std::int64_t i = 0; i < steps; ++i) progress.Advance(total / steps);
    }
    std::rewind(out);
    std::string text;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) text.push_back(static_cast<char>(c));
    std::fclose(out);
    return text;
}

TEST(Percentage, DrawsEachPercentOnceAndClearsTheLine) {
    EXPECT_EQ(Drawn(true, 400, 100, 4), "\r\033[Kjob: 25%\r\033[Kjob: 50%\r\033[Kjob: 75%\r\033[Kjob: 100%\r\033[K");
    // Many small steps still draw each percentage, 0 to 100, once.
    const std::string many = Drawn(true, 100000, 100, 100000);
    EXPECT_EQ(std::count(many.begin(), many.end(), '%'), 101);
}

TEST(Percentage, StaysSilentWhenNotAskedOrForSmallJobs) {
    EXPECT_EQ(Drawn(false, 400, 100, 4), "");
    EXPECT_EQ(Drawn(true, 50, 100, 5), "");
    EXPECT_EQ(Drawn(true, 0, 0, 0), "");
}

}  // namespace
