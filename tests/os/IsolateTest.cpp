// Work run apart: its result comes back, and a fault in it is reported
// instead of ending the test program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "os/Isolate.h"

namespace {

#ifdef GANTLINE_ALLOCATION_REPORTED
constexpr bool kAllocationReported = true;
#else
constexpr bool kAllocationReported = false;
#endif

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

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

TEST(IsolatedRun, HandsBackTheWorksTextAndItsPeakMemory) {
    const os::IsolatedRun run = os::RunIsolated(
        [](std::string& said) {
            std::vector<char> touched(32 * kMiB, 'x');
            said = std::string("held ") + touched[kMiB];
            return 3;
        },
        os::IsolateLimits());
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.result, 3);
    EXPECT_EQ(run.said, "held x");
    EXPECT_FALSE(run.outOfMemory);
    EXPECT_GE(run.peakBytes, 32 * kMiB);
}

// An allocation beyond the limit fails at once inside the work, as any
// failed allocation does, and the run says so whether the work caught it
// or not.
TEST(IsolatedRun, AnAllocationBeyondTheLimitFailsAndIsMarked) {
    if (kAllocationReported) GTEST_SKIP() << "AddressSanitizer ends a refused allocation with its own report";
    for (const bool caught : {true, false}) {
        SCOPED_TRACE(caught ? "caught" : "not caught");
        const os::IsolatedRun run = os::RunIsolated(
            [caught](std::string& said) {
                try {
                    std::vector<char> big(512 * kMiB, 'x');
                    said = "allocated";
                    return big[1] == 'x' ? 0 : 1;
                } catch (const std::bad_alloc&) {
                    said = os::AllocationFailed() ? "failed, and marked" : "failed";
                    if (!caught) throw;
                    return 2;
                }
            },
            os::IsolateLimits{64 * kMiB});
        EXPECT_TRUE(run.outOfMemory);
        if (caught) {
            EXPECT_TRUE(run.ended);
            EXPECT_EQ(run.result, 2);
            EXPECT_EQ(run.said, "failed, and marked");
        } else {
            EXPECT_FALSE(run.ended) << "an uncaught std::bad_alloc ends the child";
        }
    }
}

TEST(IsolatedRun, WithinTheLimitTheWorkHasWhatItAsks) {
    const os::IsolatedRun run = os::RunIsolated(
        [](std::string&) {
            std::vector<char> some(16 * kMiB, 'x');
            return some.back() == 'x' ? 0 : 1;
        },
        os::IsolateLimits{256 * kMiB});
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.result, 0);
    EXPECT_FALSE(run.outOfMemory);
}

TEST(IsolatedRuns, RunAtOnceAndEachEndIsTold) {
    os::IsolatedRuns runs{os::IsolateLimits()};
    for (int i = 0; i < 4; ++i) {
        runs.Start([i](std::string& said) {
            said = std::to_string(i);
            return 10 + i;
        });
    }
    EXPECT_EQ(runs.Running(), 4u);
    std::set<std::size_t> seen;
    std::size_t which = 0;
    os::IsolatedRun run;
    while (runs.Wait(which, run) == os::IsolatedRuns::Waited::kEnded) {
        EXPECT_EQ(run.result, 10 + static_cast<int>(which));
        EXPECT_EQ(run.said, std::to_string(which));
        seen.insert(which);
    }
    EXPECT_EQ(seen, (std::set<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(runs.Running(), 0u);
}

TEST(IsolatedRuns, EndAllKillsWhatStillRuns) {
    os::IsolatedRuns runs{os::IsolateLimits()};
    runs.Start([](std::string&) {
        for (;;) ::pause();
        return 0;
    });
    EXPECT_EQ(runs.EndAll(), std::vector<std::size_t>{0});
    EXPECT_EQ(runs.Running(), 0u);
}

TEST(IsolatedRuns, AnInterruptIsToldToTheCaller) {
    os::IsolatedRuns runs{os::IsolateLimits()};
    runs.Start([](std::string&) {
        for (;;) ::pause();
        return 0;
    });
    std::raise(SIGINT);
    std::size_t which = 0;
    os::IsolatedRun run;
    EXPECT_EQ(runs.Wait(which, run), os::IsolatedRuns::Waited::kInterrupted);
}

TEST(MachineMemory, IsKnown) { EXPECT_GT(os::MachineMemoryBytes(), 64 * kMiB); }

}  // namespace
