// The plug-in loaded and unloaded many times in one process, as a host
// does when the user opens and leaves the utility across sessions: each
// cycle loads the module, runs discovery, opens and closes the panel, and
// unloads it. Nothing may grow: open handles, heap in use, pages.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FaultPlatform.h"
#include "desktop/Desktop.h"
#include "host/HostInterfaces.h"
#include "memhost/MemoryHost.h"

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
    const int added = core.pagesAdded;
    const int removed = core.pagesRemoved;
    const std::size_t pages = desktop::OpenPages();
    utility->OpenPanel(&core, &panel);
    if (core.pagesAdded != added + 1) return "the panel did not open";
    utility->ClosePanel(&core, &panel);
    if (core.pagesRemoved != removed + 1) return "the panel did not close";
    // Pages of the POSIX desktop model (Windows makes real windows instead).
    if (desktop::OpenPages() != pages) return "the panel's page outlived it";
    if (!platform::CloseModule(module)) return "the plug-in does not unload";
    if (platform::ModuleResident(path)) return "the plug-in stays loaded after its unload";
    return std::string();
}

// A load and unload alone: what the platform's loader itself keeps, which
// the full cycles are measured against.
std::string BareCycle() {
    const std::string path = platform::PluginPath();
    void* module = platform::OpenModule(path);
    if (!module) return "the plug-in does not load from " + path;
    if (!platform::CloseModule(module)) return "the plug-in does not unload";
    return std::string();
}

struct Growth {
    std::ptrdiff_t handles = 0;
    std::ptrdiff_t heap = 0;
};

// What kCycles runs of cycle leave behind, after kWarmUpCycles runs that
// let the loader and the runtime reach their steady state.
template <typename Cycle>
Growth GrowthOver(Cycle cycle) {
    for (int i = 0; i < kWarmUpCycles; ++i) {
        const std::string failure = cycle();
        if (!failure.empty()) ADD_FAILURE() << "warm-up cycle " << i << ": " << failure;
    }
    const std::size_t handles = platform::OpenHandles();
    const std::size_t heap = platform::HeapInUse();
    for (int i = 0; i < kCycles; ++i) {
        const std::string failure = cycle();
        if (!failure.empty()) {
            ADD_FAILURE() << "cycle " << i << ": " << failure;
            break;
        }
    }
    Growth growth;
    growth.handles = static_cast<std::ptrdiff_t>(platform::OpenHandles()) - static_cast<std::ptrdiff_t>(handles);
    growth.heap = static_cast<std::ptrdiff_t>(platform::HeapInUse()) - static_cast<std::ptrdiff_t>(heap);
    return growth;
}

TEST(PluginCycles, LoadAndUnloadManyTimesWithoutGrowth) {
    MemoryInterface core;
    core.pages = {desktop::CreatePage, desktop::DestroyPage};
    const Growth loader = GrowthOver(BareCycle);
    const Growth plugin = GrowthOver([&core] { return Cycle(core); });
    // In the test's XML report, for the record.
    ::testing::Test::RecordProperty("loader_heap_growth", std::to_string(loader.heap));
    ::testing::Test::RecordProperty("plugin_heap_growth", std::to_string(plugin.heap));
    EXPECT_EQ(plugin.handles, 0);
    EXPECT_LE(plugin.heap, loader.heap + static_cast<std::ptrdiff_t>(kHeapTolerance))
        << "the loader alone keeps " << loader.heap << " bytes over " << kCycles << " cycles";
    EXPECT_EQ(core.pagesAdded, core.pagesRemoved);
    EXPECT_EQ(core.pagesAdded, kWarmUpCycles + kCycles);
}

}  // namespace
