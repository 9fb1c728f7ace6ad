// The startup parameter that the command-line host hands the utility: what
// one side writes the other reads, and anything else names no count.
#include <gtest/gtest.h>

#include "host/UtilityParams.h"

namespace {

TEST(UtilityParams, ACountReadsBackAsWritten) {
    for (const std::int32_t threads : {1, 2, 17, utilityparams::kMostThreads})
        EXPECT_EQ(utilityparams::ThreadsOf(utilityparams::ThreadsParam(threads).c_str()), threads);
}

TEST(UtilityParams, OtherParametersNameNoCount) {
    const char* const others[] = {nullptr,      "",           "threads=",   "threads=0",  "threads=-3",
                                  "threads=07", "threads=2x", "threads= 2", "Threads=2",  "threads=4097",
                                  "threads2",   "-threads=2", "threads=99999999999999999999"};
    for (const char* param : others) EXPECT_EQ(utilityparams::ThreadsOf(param), 0) << (param ? param : "null");
}

}  // namespace
