// The plug-in loaded and unloaded many times in one process, as a host
// does when the user opens and leaves the utility across sessions: each
// cycle loads the module, runs discovery, opens and closes the panel, and
// unloads it. Nothing may grow: open handles, heap in use, pages.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "FaultPlatform.h"
#include "host/Desktop.h"
#include "host/HostInterfaces.h"
#include "host/MemoryHost.h"

namespace {

namespace platform = faults::platform;

// Cycles before measuring let the loader and the runtime reach their
// steady state (caches, first-use allocations).
constexpr int kWarmUpCycles = 5;
constexpr int kCycles = 200;
// Heap the loader may keep between cycles in total; a leak of even a few
// bytes per cycle crosses it.
constexpr std::size_t kHeapTolerance = 16 * 1024;

using LibDescriptionFn = const char* (*)();
using LibNumberClassesFn = int (*)();
using LibClassDescFn = HostClassDesc* (*)(int);
using LibVersionFn = std::uint32_t (*)();

template <typename Function>
Function Export(void* module, const char* name) {
    // Through the one function type that converts to every other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(platform::FindExport(module, name)));
}

class NullPanel final : public HostUtilityPanel {
public:
    void CloseUtility() override {}
};

// One load, discovery, panel open and close, and unload. Answers what
// failed, or an empty text.
std::string Cycle(MemoryInterface& core) {
    const std::string path = platform::PluginPath();
    void* module = platform::OpenModule(path);
    if (!module) return "the plug-in does not load from " + path;
    auto description = Export<LibDescriptionFn>(module, "LibDescription");
    auto numberClasses = Export<LibNumberClassesFn>(module, "LibNumberClasses");
    auto classDesc = Export<LibClassDescFn>(module, "LibClassDesc");
    auto version = Export<LibVersionFn>(module, "LibVersion");
    if (!description || !numberClasses || !classDesc || !version) return "an export is missing";
    if (!description() || numberClasses() != 1 || version() == 0) return "discovery answers wrongly";
    HostClassDesc* descriptor = classDesc(0);
    if (!descriptor || !descriptor->ClassLabel() || !descriptor->CategoryLabel()) return "no class descriptor";
    auto* utility = static_cast<HostUtility*>(descriptor->NewInstance(0));
    if (!utility) return "no utility object";
    NullPanel panel;
    const std::size_t pages = desktop::OpenPages();
    utility->OpenPanel(&core, &panel);
    if (desktop::OpenPages() != pages + 1) return "the panel did not open";
    utility->ClosePanel(&core, &panel);
    if (desktop::OpenPages() != pages) return "the panel did not close";
    if (!platform::CloseModule(module)) return "the plug-in does not unload";
    if (platform::ModuleResident(path)) return "the plug-in stays loaded after its unload";
    return std::string();
}

TEST(PluginCycles, LoadAndUnloadManyTimesWithoutGrowth) {
    MemoryInterface core;
    for (int i = 0; i < kWarmUpCycles; ++i) ASSERT_EQ(Cycle(core), "") << "warm-up cycle " << i;
    const std::size_t handles = platform::OpenHandles();
    const std::size_t heap = platform::HeapInUse();
    const std::size_t pages = desktop::OpenPages();
    for (int i = 0; i < kCycles; ++i) ASSERT_EQ(Cycle(core), "") << "cycle " << i;
    EXPECT_EQ(platform::OpenHandles(), handles);
    const std::size_t heapAfter = platform::HeapInUse();
    EXPECT_LE(heapAfter, heap + kHeapTolerance) << "heap grew by " << heapAfter - heap << " bytes";
    EXPECT_EQ(desktop::OpenPages(), pages);
    EXPECT_EQ(core.pagesAdded, core.pagesRemoved);
    EXPECT_EQ(core.pagesAdded, kWarmUpCycles + kCycles);
}

}  // namespace
