// Memory follows what a file holds, not what it declares: a file whose
// counts promise two billion items but that holds three allocates for
// three. Every allocation of this test program passes through the counting
// operator new below, which keeps the largest single request and the most
// bytes live at once.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

#include "FaultSupport.h"
#include "PatchTextSamples.h"
#include "patchio/PatchIO.h"

namespace {

struct Counts {
    std::size_t live = 0;
    std::size_t peak = 0;
    std::size_t largest = 0;
};
Counts counts;

// Each block carries its size in front, so that delete can count it.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* CountedAllocate(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    counts.live += size;
    if (counts.live > counts.peak) counts.peak = counts.live;
    if (size > counts.largest) counts.largest = size;
    return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* pointer) {
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    counts.live -= *static_cast<std::size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* pointer) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer) noexcept { CountedFree(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { CountedFree(pointer); }

namespace {

using faults::Replaced;

// A read of the triangle file needs a few kilobytes; a read that believed
// a count of 2^31 - 1 would ask for gigabytes.
constexpr std::size_t kReadBudget = 64 * 1024;

struct DeclaredCount {
    std::string name;
    std::string from;
    std::string to;
};

class MemoryFollowsFile : public ::testing::TestWithParam<DeclaredCount> {};

TEST_P(MemoryFollowsFile, NotTheDeclaredCount) {
    const DeclaredCount count = GetParam();
    faults::Scratch scratch;
    const std::string path = scratch.File("in.txt");
    const std::string text = Replaced(faults::TriangleFile(), count.from, count.to);
    ASSERT_NE(text, faults::TriangleFile());
    faults::WriteBytes(path, text);

    PatchIO set;
    const Counts before = counts;
    counts.peak = counts.live;
    counts.largest = 0;
    const std::int32_t result = set.Read(path.c_str());
    EXPECT_EQ(result, 0) << "the file holds fewer items than it declares";
    EXPECT_LT(counts.largest, kReadBudget);
    EXPECT_LT(counts.peak - before.live, kReadBudget);
}

INSTANTIATE_TEST_SUITE_P(LargestCounts, MemoryFollowsFile,
                         ::testing::Values(DeclaredCount{"Objects", "PATCHOBJECTS\t1", "PATCHOBJECTS\t2147483647"},
                                           DeclaredCount{"Vertices", "NUMVERTS 3", "NUMVERTS 2147483647"},
                                           DeclaredCount{"Vectors", "NUMVECS 1", "NUMVECS 2147483647"},
                                           DeclaredCount{"Patches", "NUMPATCHES 1", "NUMPATCHES 2147483647"},
                                           DeclaredCount{"Cameras", "NUMCAMERAS 1", "NUMCAMERAS 2147483647"}),
                         [](const auto& test) { return test.param.name; });

TEST(MemoryFollowsFileCounter, SeesAnAllocationOfTheSizeAsked) {
    const std::size_t before = counts.largest;
    counts.largest = 0;
    // Called as a function, which the compiler may not leave out.
    ::operator delete(::operator new(kReadBudget * 2));
    EXPECT_GE(counts.largest, kReadBudget * 2);
    counts.largest = before;
}

}  // namespace
