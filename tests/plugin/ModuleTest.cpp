// The library as the loader and the host see it: its exported symbols, and
// what its load and unload do.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "PluginHarness.h"
#include "host/HostApi.h"
#include "plugin/Resources.h"

namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string& library) {
    const std::string command = std::string(FERRULE_NM) + " -D --defined-only --format=posix " + library;
    std::set<std::string> names;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        const std::string text(line);
        names.insert(text.substr(0, text.find(' ')));
    }
    pclose(pipe);
    return names;
}

TEST(PluginModule, ExportsExactlyTheFourDiscoveryFunctions) {
    const std::set<std::string> expected = {"LibClassDesc", "LibDescription", "LibNumberClasses", "LibVersion"};
    EXPECT_EQ(DefinedDynamicSymbols(FERRULE_PLUGIN_PATH), expected);
}

TEST(PluginModule, EachLoadInitialisesTheControlsOnceAndUnloadDoesNotAgain) {
    ASSERT_FALSE(PluginResident());
    const int customBefore = CustomControlsInitialisations();
    const int commonBefore = desktop::CommonControlsInitialisations();
    {
        LoadedPlugin plugin;
        ASSERT_TRUE(plugin.Loaded());
        EXPECT_EQ(CustomControlsInitialisations(), customBefore + 1);
        EXPECT_EQ(desktop::CommonControlsInitialisations(), commonBefore + 1);
        LoadedPlugin again;  // the loader counts references; no new attach
        EXPECT_EQ(CustomControlsInitialisations(), customBefore + 1);
        EXPECT_EQ(desktop::CommonControlsInitialisations(), commonBefore + 1);
    }
    ASSERT_FALSE(PluginResident()) << "the library unloads when the last reference goes";
    EXPECT_EQ(CustomControlsInitialisations(), customBefore + 1) << "detach initialises nothing";
    EXPECT_EQ(desktop::CommonControlsInitialisations(), commonBefore + 1);
}

TEST(PluginModule, ResourcesAreTheModulesWhileItIsLoaded) {
    HINSTANCE instance = nullptr;
    char text[256] = "untouched";
    {
        LoadedPlugin plugin;
        ASSERT_TRUE(plugin.Loaded());
        instance = plugin.Instance();
        ASSERT_NE(instance, nullptr);
        const struct {
            unsigned id;
            const char* text;
        } table[] = {{IDS_LIBDESCRIPTION, "Gantline"},
                     {IDS_CATEGORY, "Harrow Tools"},
                     {IDS_CLASS_NAME, "Ferrule"},
                     {IDS_PARAMS, "Parameters"}};
        for (const auto& row : table) {
            EXPECT_GT(desktop::LoadResourceString(instance, row.id, text, sizeof text), 0) << row.id;
            EXPECT_STREQ(text, row.text);
        }
        EXPECT_EQ(desktop::LoadResourceString(instance, 5, text, sizeof text), 0);
        EXPECT_EQ(desktop::LoadResourceString(instance, 0, text, sizeof text), 0);
    }
    EXPECT_EQ(desktop::LoadResourceString(instance, IDS_LIBDESCRIPTION, text, sizeof text), 0)
        << "an unloaded module has no resources";
}

TEST(PluginModule, ReloadStartsFromAClosedUtility) {
    const std::size_t pagesBefore = desktop::OpenPages();
    {
        LoadedPlugin plugin;
        RecordingInterface ip;
        RecordingPanel panel;
        plugin.Utility().OpenPanel(&ip, &panel);
        plugin.Utility().ClosePanel(&ip, &panel);
    }
    LoadedPlugin plugin;
    ASSERT_TRUE(plugin.Loaded());
    EXPECT_STREQ(plugin.LibDescription(), "Gantline");
    RecordingInterface ip;
    RecordingPanel panel;
    plugin.Utility().OpenPanel(&ip, &panel);
    EXPECT_EQ(desktop::ItemText(ip.Page(), IDC_CAPTION), "Gantline V0.10");
    plugin.Utility().ClosePanel(&ip, &panel);
    EXPECT_EQ(desktop::OpenPages(), pagesBefore);
}

}  // namespace
