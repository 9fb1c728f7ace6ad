// Ferrule.dlu under the Windows loader: its export directory, its discovery
// answers, its imports and its loader notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "PluginModule.h"
#include "host/HostApi.h"
#include "text/AsciiCase.h"
#include "wintest/ModuleImage.h"

namespace {

using wintest::PluginModule;

struct ExportCase {
    const char* name;
    std::uint32_t ordinal;
};

const ExportCase kExports[] = {
    {"LibDescription", 1},
    {"LibNumberClasses", 2},
    {"LibClassDesc", 3},
    {"LibVersion", 4},
};

class Module : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(plugin.Handle(), nullptr) << "cannot load " << PluginModule::Path(); }
    PluginModule plugin;
};

TEST_F(Module, ExportDirectoryCarriesTheModuleNameAndExactlyTheFourExports) {
    const wintest::ExportDirectory exports = wintest::ReadExports(plugin.Handle());
    EXPECT_EQ(exports.moduleName, "Ferrule.dlu");
    EXPECT_EQ(exports.ordinalBase, 1u);
    EXPECT_EQ(exports.functionCount, 4u);
    ASSERT_EQ(exports.named.size(), 4u);
    for (const ExportCase& expected : kExports) {
        const auto found = std::find_if(exports.named.begin(), exports.named.end(),
                                        [&](const wintest::NamedExport& e) { return e.name == expected.name; });
        ASSERT_NE(found, exports.named.end()) << expected.name;
        EXPECT_EQ(found->ordinal, expected.ordinal) << expected.name;
    }
}

TEST_F(Module, EachExportIsFoundByNameAndByItsOrdinal) {
    for (const ExportCase& e : kExports) {
        FARPROC byName = GetProcAddress(plugin.Handle(), e.name);
        FARPROC byOrdinal = GetProcAddress(plugin.Handle(), MAKEINTRESOURCEA(e.ordinal));
        ASSERT_NE(byName, nullptr) << e.name;
        EXPECT_EQ(byName, byOrdinal) << e.name;
    }
    EXPECT_EQ(GetProcAddress(plugin.Handle(), MAKEINTRESOURCEA(5)), nullptr);
}

TEST_F(Module, DiscoveryAnswers) {
    EXPECT_EQ(plugin.LibNumberClasses(), 1);
    EXPECT_EQ(plugin.LibVersion(), 0x09C40500u);
    ASSERT_NE(plugin.LibDescription(), nullptr);
    EXPECT_STREQ(plugin.LibDescription(), "Gantline");
    HostClassDesc* descriptor = plugin.LibClassDesc(0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(plugin.LibClassDesc(0), descriptor);
    EXPECT_EQ(plugin.LibClassDesc(1), nullptr);
    EXPECT_EQ(plugin.LibClassDesc(-1), nullptr);
}

TEST_F(Module, DescriptorAnswers) {
    HostClassDesc* descriptor = plugin.LibClassDesc(0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor->PublicFlag(), 1);
    EXPECT_STREQ(descriptor->ClassLabel(), "Ferrule");
    EXPECT_STREQ(descriptor->CategoryLabel(), "Harrow Tools");
    EXPECT_EQ(descriptor->SuperClassCode(), 0x1020u);
    const HostTypeId code = descriptor->ClassCode();
    EXPECT_EQ(code.a, 0x84A95E7Bu);
    EXPECT_EQ(code.b, 0x6BBB8DB1u);
    void* first = descriptor->NewInstance(0);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(descriptor->NewInstance(1), first);
}

TEST_F(Module, TextsShareOneBuffer) {
    const char* description = plugin.LibDescription();
    ASSERT_NE(description, nullptr);
    plugin.LibClassDesc(0)->CategoryLabel();
    EXPECT_STREQ(description, "Harrow Tools");
}

bool IsCompilerRuntime(const std::string& dll) {
    const std::string name = LowerAscii(dll);
    for (const char* runtime : {"libstdc++", "libgcc", "libwinpthread", "libc++", "libunwind"})
        if (name.compare(0, std::strlen(runtime), runtime) == 0) return true;
    return false;
}

// A host application has its own libraries and the system's, and no
// compiler's runtime DLLs.
void ExpectSystemOrHostImportsOnly(HMODULE module, const char* what) {
    const std::vector<std::string> dlls = wintest::ImportedDllNames(module);
    EXPECT_FALSE(dlls.empty()) << what;
    for (const std::string& dll : dlls) {
        EXPECT_FALSE(IsCompilerRuntime(dll)) << what << " imports " << dll;
        if (LowerAscii(dll) == "gantline_host.dll") continue;
        EXPECT_TRUE(wintest::IsSystemModule(dll)) << what << " imports " << dll << ", not a system DLL";
    }
}

TEST_F(Module, ImportsOnlySystemDllsAndTheHostLayer) {
    ExpectSystemOrHostImportsOnly(plugin.Handle(), "Ferrule.dlu");
    const std::vector<std::string> dlls = wintest::ImportedDllNames(plugin.Handle());
    EXPECT_NE(std::find(dlls.begin(), dlls.end(), "gantline_host.dll"), dlls.end());
}

TEST(HostLayer, ImportsOnlySystemDlls) {
    HMODULE host = GetModuleHandleA("gantline_host.dll");
    ASSERT_NE(host, nullptr);
    ExpectSystemOrHostImportsOnly(host, "gantline_host.dll");
}

TEST(Loader, EveryNotificationAfterTheFirstLeavesTheControlsInitialisedOnce) {
    const int before = CustomControlsInitialisations();
    PluginModule plugin;
    ASSERT_NE(plugin.Handle(), nullptr);
    EXPECT_EQ(CustomControlsInitialisations(), before + 1);
    // A thread's start and end reach the library as thread notifications.
    std::thread([] {}).join();
    EXPECT_EQ(CustomControlsInitialisations(), before + 1);
    EXPECT_STREQ(plugin.LibDescription(), "Gantline");
}

TEST(Loader, ReloadedLibraryAnswersAgain) {
    for (int load = 0; load < 2; ++load) {
        PluginModule plugin;
        ASSERT_NE(plugin.Handle(), nullptr);
        EXPECT_STREQ(plugin.LibDescription(), "Gantline") << "load " << load;
        EXPECT_NE(plugin.LibClassDesc(0), nullptr);
    }
}

}  // namespace
