// The usable cores follow the process's affinity, as a taskset or a
// container's cpuset sets it, and its quota of processor time, and not the
// machine's count of cores.
#include <gtest/gtest.h>

#include <sched.h>

#include <cstddef>
#include <thread>

#include "os/Cores.h"

namespace {

TEST(UsableCores, FollowsTheAffinityOfTheProcess) {
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    // A quota of processor time (a container's) may allow fewer.
    EXPECT_LE(os::UsableCores(), static_cast<unsigned>(CPU_COUNT(&before)));
    EXPECT_GE(os::UsableCores(), 1u);
    EXPECT_LE(os::UsableCores(), std::thread::hardware_concurrency());
    std::size_t first = 0;
    while (!CPU_ISSET(first, &before)) ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const unsigned confined = os::UsableCores();
    ASSERT_EQ(sched_setaffinity(0, sizeof before, &before), 0);
    EXPECT_EQ(confined, 1u);
}

}  // namespace

namespace {

TEST(UsableCores, AQuotaOfProcessorTimeBuysWholeProcessorsRoundedUp) {
    const struct {
        long long quota;
        long long period;
        unsigned cores;
    } cases[] = {{-1, 100000, 0}, {0, 100000, 0},     {100000, 100000, 1}, {150000, 100000, 2},
                 {50000, 100000, 1}, {400000, 100000, 4}, {100000, 0, 0},   {100000, -5, 0},
                 {1LL << 60, 1, 4096}};
    for (const auto& c : cases) EXPECT_EQ(os::QuotaCores(c.quota, c.period), c.cores) << c.quota << " " << c.period;
}

TEST(UsableCores, CpuMaxReadsAsItsQuota) {
    const struct {
        const char* text;
        unsigned cores;
    } cases[] = {{"max 100000", 0},      {"200000 100000", 2}, {"250000 100000", 3}, {"", 0},
                 {"200000", 0},          {"x 100000", 0},      {"200000 y", 0},      {"200000 100000 7", 0},
                 {"-1 100000", 0},       {"2e5 100000", 0}};
    for (const auto& c : cases) EXPECT_EQ(os::CpuMaxCores(c.text), c.cores) << '"' << c.text << '"';
}

}  // namespace
