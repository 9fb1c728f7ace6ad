// The host's discovery calls through the four exports, and the descriptor.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>

#include "PluginHarness.h"

namespace {

constexpr std::uint32_t kVersionStamp = 0x09C40500u;

// The answers that hold whatever the plug-in has been asked before.
void ExpectDiscovery(const LoadedPlugin& plugin, HostClassDesc* firstDescriptor) {
    EXPECT_EQ(plugin.LibNumberClasses(), 1);
    EXPECT_EQ(plugin.LibVersion(), kVersionStamp);
    EXPECT_EQ(plugin.LibVersion(), 163841280u);
    ASSERT_NE(plugin.LibDescription(), nullptr);
    EXPECT_STREQ(plugin.LibDescription(), "Gantline");
    EXPECT_EQ(plugin.LibClassDesc(0), firstDescriptor);
    EXPECT_EQ(plugin.LibClassDesc(1), nullptr);
    EXPECT_EQ(plugin.LibClassDesc(-1), nullptr);
    HostClassDesc& descriptor = plugin.Descriptor();
    EXPECT_STREQ(descriptor.ClassLabel(), "Ferrule");
    EXPECT_STREQ(descriptor.CategoryLabel(), "Harrow Tools");
    EXPECT_EQ(descriptor.PublicFlag(), 1);
    EXPECT_EQ(descriptor.SuperClassCode(), 0x1020u);
    EXPECT_EQ(descriptor.ClassCode(), (HostTypeId{0x84A95E7Bu, 0x6BBB8DB1u}));
}

class PluginDiscovery : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plugin.Loaded()) << FERRULE_PLUGIN_PATH; }
    LoadedPlugin plugin;
};

TEST_F(PluginDiscovery, AnswersTheSameInEveryStateOfTheUtility) {
    HostClassDesc* descriptor = plugin.LibClassDesc(0);
    ASSERT_NE(descriptor, nullptr);
    {
        SCOPED_TRACE("just loaded");
        ExpectDiscovery(plugin, descriptor);
    }
    RecordingInterface ip;
    ip.memory.SetDirectory(3, "/nonexistent");
    RecordingPanel panel;
    DesktopScope desk(&ip);
    HostUtility& utility = plugin.Utility();
    utility.OpenPanel(&ip, &panel);
    {
        SCOPED_TRACE("panel open");
        ExpectDiscovery(plugin, descriptor);
    }
    desktop::SendPageMessage(ip.Page(), WM_COMMAND, 1001, 0);
    {
        SCOPED_TRACE("after a cancelled export");
        ExpectDiscovery(plugin, descriptor);
    }
    utility.ClosePanel(&ip, &panel);
    {
        SCOPED_TRACE("panel closed");
        ExpectDiscovery(plugin, descriptor);
    }
    utility.Dispose();
    {
        SCOPED_TRACE("disposed");
        ExpectDiscovery(plugin, descriptor);
    }
}

TEST_F(PluginDiscovery, AnswersNoDescriptorForAnyIndexButZero) {
    for (int index : {1, 2, -1, -2, 100, INT_MAX, INT_MIN}) EXPECT_EQ(plugin.LibClassDesc(index), nullptr) << index;
    EXPECT_NE(plugin.LibClassDesc(0), nullptr);
}

TEST_F(PluginDiscovery, ClassCodeHasTheFirstWordFirst) {
    const HostTypeId code = plugin.Descriptor().ClassCode();
    EXPECT_EQ(code.a, 0x84A95E7Bu);
    EXPECT_EQ(code.b, 0x6BBB8DB1u);
}

TEST_F(PluginDiscovery, EveryNewInstanceIsTheOneStaticUtility) {
    HostClassDesc& descriptor = plugin.Descriptor();
    void* first = descriptor.NewInstance(0);
    ASSERT_NE(first, nullptr);
    for (int loading : {0, 1, -1, 7}) EXPECT_EQ(descriptor.NewInstance(loading), first) << loading;
    plugin.Utility().Dispose();
    EXPECT_EQ(descriptor.NewInstance(0), first) << "Dispose frees nothing";
}

TEST_F(PluginDiscovery, KeepsTheHostDefaultsOfTheDescriptor) {
    HostClassDesc& descriptor = plugin.Descriptor();
    int dummy = 0;
    EXPECT_EQ(descriptor.BeginCreate(&dummy), 0);
    EXPECT_EQ(descriptor.EndCreate(&dummy), 0);
    EXPECT_EQ(descriptor.OkToCreate(&dummy), 1);
    EXPECT_EQ(descriptor.HasClassParams(), 0);
    descriptor.EditClassParams(&dummy);
    descriptor.ResetClassParams(1);
    EXPECT_EQ(descriptor.NumActionTables(), 0);
    EXPECT_EQ(descriptor.ActionTable(0), nullptr);
    EXPECT_EQ(descriptor.InterfaceById(0), nullptr);
    EXPECT_STREQ(descriptor.ClassLabel(), "Ferrule") << "the defaults leave the texts alone";
}

// Every text comes through one shared buffer: an earlier answer reads the
// latest text.
struct BufferCase {
    const char* name;
    std::function<const char*(LoadedPlugin&)> later;
    const char* firstNowReads;
};

TEST_F(PluginDiscovery, TextsShareOneBuffer) {
    const BufferCase cases[] = {
        {"CategoryLabel", [](LoadedPlugin& p) { return p.Descriptor().CategoryLabel(); }, "Harrow Tools"},
        {"ClassLabel", [](LoadedPlugin& p) { return p.Descriptor().ClassLabel(); }, "Ferrule"},
        {"LibDescription", [](LoadedPlugin& p) { return p.LibDescription(); }, "Gantline"},
    };
    for (const BufferCase& c : cases) {
        SCOPED_TRACE(c.name);
        const char* first = plugin.LibDescription();
        ASSERT_NE(first, nullptr);
        const char* later = c.later(plugin);
        EXPECT_EQ(later, first);
        EXPECT_STREQ(first, c.firstNowReads);
    }
}

TEST_F(PluginDiscovery, OpeningThePanelLoadsItsTitleThroughTheSharedBuffer) {
    const char* first = plugin.LibDescription();
    RecordingInterface ip;
    RecordingPanel panel;
    plugin.Utility().OpenPanel(&ip, &panel);
    EXPECT_STREQ(first, "Parameters");
    plugin.Utility().ClosePanel(&ip, &panel);
}

TEST_F(PluginDiscovery, NoTextIsTooLongForTheBuffer) {
    for (const char* text :
         {plugin.LibDescription(), plugin.Descriptor().ClassLabel(), plugin.Descriptor().CategoryLabel()}) {
        ASSERT_NE(text, nullptr);
        EXPECT_LT(std::strlen(text), 255u);
    }
}

}  // namespace
