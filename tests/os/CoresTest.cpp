// The usable cores follow the process's affinity, as a taskset or a
// container's cpuset sets it, and not the machine's count of cores.
#include <gtest/gtest.h>

#include <sched.h>

#include <cstddef>
#include <thread>

#include "os/Cores.h"

namespace {

TEST(UsableCores, FollowsTheAffinityOfTheProcess) {
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    EXPECT_EQ(os::UsableCores(), static_cast<unsigned>(CPU_COUNT(&before)));
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
