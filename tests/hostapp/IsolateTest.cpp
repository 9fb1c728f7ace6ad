// Work run apart: its result comes back, and a fault in it is reported
// instead of ending the test program.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "os/Isolate.h"

namespace {

TEST(IsolatedRun, HandsBackWhatTheWorkAnswers) {
    for (const int result : {0, 1, 2, 255}) {
        const os::IsolatedRun run = os::RunIsolated([result] { return result; });
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(run.result, result);
    }
}

TEST(IsolatedRun, AFaultEndsOnlyTheWorkAndIsNamed) {
    const struct {
        int signal;
        const char* named;
    } faults[] = {{SIGABRT, "signal 6"}, {SIGKILL, "signal 9"}, {SIGTERM, "signal 15"}};
    // (Not SIGSEGV: a sanitizer build catches it and exits with a status.)
    for (const auto& fault : faults) {
        const int signal = fault.signal;
        const os::IsolatedRun run = os::RunIsolated([signal] { return std::raise(signal); });
        EXPECT_FALSE(run.ended) << fault.named;
        EXPECT_EQ(run.how.rfind(fault.named, 0), 0u) << run.how;
    }
}

TEST(IsolatedRun, WhatTheWorkChangesInMemoryStaysWithIt) {
    int changed = 0;
    const os::IsolatedRun run = os::RunIsolated([&changed] { return changed = 7; });
    EXPECT_EQ(run.result, 7);
    EXPECT_EQ(changed, 0);
}

}  // namespace
