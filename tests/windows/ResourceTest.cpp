// The module's resources as Windows reads them: the string table with
// LoadString, the version resource with GetFileVersionInfo and
// VerQueryValue, and the rollup page's dialog template.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <utility>

#include "PluginModule.h"
#include "wintest/DialogTemplate.h"
#include "wintest/ModuleImage.h"

namespace {

using wintest::PluginModule;

// English (United States): the language of the strings and the dialog.
const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class Resources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(plugin.Handle(), nullptr); }
    PluginModule plugin;
};

struct StringCase {
    UINT id;
    const char* text;
};

TEST_F(Resources, StringTableHoldsTheFourTexts) {
    const StringCase cases[] = {{1, "Gantline"}, {2, "Harrow Tools"}, {3, "Ferrule"}, {4, "Parameters"}};
    for (const StringCase& c : cases) {
        char text[256] = "";
        EXPECT_EQ(LoadStringA(plugin.Handle(), c.id, text, sizeof text), static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(text, c.text) << "string " << c.id;
    }
    for (UINT missing : {0u, 5u, 16u}) {
        char text[256] = "";
        EXPECT_EQ(LoadStringA(plugin.Handle(), missing, text, sizeof text), 0) << "string " << missing;
    }
}

TEST_F(Resources, StringTableIsInUsEnglish) {
    // Strings 0 to 15 make up block 1 of the table.
    EXPECT_NE(FindResourceExA(plugin.Handle(), RT_STRING, MAKEINTRESOURCEA(1), kUsEnglish), nullptr);
}

class Version : public ::testing::Test {
protected:
    void SetUp() override {
        auto read = wintest::ReadVersionResource(PluginModule::Path());
        ASSERT_TRUE(read.has_value()) << "no version resource in " << PluginModule::Path();
        version = *read;
    }
    wintest::VersionResource version;
};

TEST_F(Version, FixedPart) {
    const VS_FIXEDFILEINFO& fixed = version.fixed;
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00000001u);  // 0.1
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00000001u);  // .0.1
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00000001u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, static_cast<DWORD>(VS_FF_DEBUG));
    EXPECT_EQ(fixed.dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);
}

TEST_F(Version, StringBlockInAustralianEnglishUnicode) {
    const std::pair<const char*, const char*> values[] = {
        {"FileDescription", "Ferrule"},      {"FileVersion", "0.1"},      {"InternalName", "Ferrule"},
        {"OriginalFilename", "Ferrule.dlu"}, {"ProductName", "Gantline"}, {"ProductVersion", "0.1"},
    };
    for (const auto& [name, text] : values) {
        const auto value = wintest::VersionString(version, std::string("\\StringFileInfo\\0c0904b0\\") + name);
        ASSERT_TRUE(value.has_value()) << name;
        EXPECT_EQ(*value, text) << name;
    }
}

TEST_F(Version, TranslationNamesTheStringBlock) {
    const auto translations = wintest::VersionTranslations(version);
    ASSERT_EQ(translations.size(), 1u);
    EXPECT_EQ(translations[0].first, 0x0C09);
    EXPECT_EQ(translations[0].second, 0x04B0);
}

std::string ClassName(const wintest::NameOrOrdinal& windowClass) {
    if (windowClass.isOrdinal) return wintest::PredefinedClassName(windowClass.ordinal);
    std::string name = windowClass.name;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::string Text(const wintest::NameOrOrdinal& text) { return text.isOrdinal ? std::string() : text.name; }

struct ControlCase {
    std::uint32_t id;
    const char* windowClass;
    const char* text;
    int x, y, width, height;
    std::uint32_t style;
};

TEST_F(Resources, PanelTemplateIsDialog101InUsEnglish) {
    const auto bytes = wintest::ResourceBytes(plugin.Handle(), RT_DIALOG, MAKEINTRESOURCEA(101), kUsEnglish);
    ASSERT_TRUE(bytes.has_value()) << "no dialog 101 in language 0x0409";
    const auto dialog = wintest::ParseDialogTemplate(bytes->data(), bytes->size());
    ASSERT_TRUE(dialog.has_value());

    EXPECT_EQ(dialog->style, static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | DS_SETFONT));
    EXPECT_EQ(dialog->exStyle, 0u);
    EXPECT_FALSE(dialog->menu.present);
    EXPECT_FALSE(dialog->windowClass.present);
    EXPECT_EQ(dialog->title, "");
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->width, 108);
    EXPECT_EQ(dialog->height, 47);
    ASSERT_TRUE(dialog->hasFont);
    EXPECT_EQ(dialog->font, "MS Sans Serif");
    EXPECT_EQ(dialog->pointSize, 8);

    const ControlCase controls[] = {
        {1002, "STATIC", "Gantline VX.XX", 7, 7, 94, 10,
         static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_SUNKEN | SS_CENTER)},
        {1001, "BUTTON", "Export...", 28, 21, 50, 14,
         static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON)},
    };
    ASSERT_EQ(dialog->items.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const wintest::TemplateItem& item = dialog->items[i];
        const ControlCase& expected = controls[i];
        EXPECT_EQ(item.id, expected.id) << "control " << i;
        EXPECT_EQ(ClassName(item.windowClass), expected.windowClass) << "control " << i;
        EXPECT_EQ(Text(item.text), expected.text) << "control " << i;
        EXPECT_EQ(item.x, expected.x) << "control " << i;
        EXPECT_EQ(item.y, expected.y) << "control " << i;
        EXPECT_EQ(item.width, expected.width) << "control " << i;
        EXPECT_EQ(item.height, expected.height) << "control " << i;
        EXPECT_EQ(item.style, expected.style) << "control " << i;
        EXPECT_EQ(item.exStyle, 0u) << "control " << i;
    }
}

}  // namespace
