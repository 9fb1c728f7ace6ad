// The dialog template reader against templates built byte by byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "wintest/DialogTemplate.h"

namespace {

class Bytes {
public:
    Bytes& Word(std::uint16_t w) {
        data.push_back(static_cast<std::uint8_t>(w & 0xFF));
        data.push_back(static_cast<std::uint8_t>(w >> 8));
        return *this;
    }
    Bytes& Dword(std::uint32_t d) {
        return Word(static_cast<std::uint16_t>(d & 0xFFFF)).Word(static_cast<std::uint16_t>(d >> 16));
    }
    Bytes& Text(const std::string& text) {
        for (char c : text) Word(static_cast<std::uint16_t>(c));
        return Word(0);
    }
    Bytes& Align() {
        while (data.size() % 4) data.push_back(0);
        return *this;
    }
    std::vector<std::uint8_t> data;
};

// A classic template: one named-class item, one predefined-class item.
Bytes ClassicTemplate() {
    Bytes b;
    b.Dword(0x50000040).Dword(0x8).Word(2).Word(1).Word(2).Word(30).Word(40);
    b.Word(0).Word(0xFFFF).Word(0x7).Text("Title");  // no menu, class atom 7
    b.Word(9).Text("Font");
    b.Align().Dword(0x50000001).Dword(0).Word(5).Word(6).Word(7).Word(8).Word(1002).Text("Static").Text("Hi").Word(0);
    b.Align().Dword(0x50010000).Dword(0x4).Word(9).Word(10).Word(11).Word(12).Word(1001).Word(0xFFFF).Word(0x80);
    b.Word(0xFFFF).Word(3).Word(2).Word(0xCDAB);  // an ordinal as text, two bytes of creation data
    return b;
}

TEST(DialogTemplate, ReadsTheClassicForm) {
    const Bytes bytes = ClassicTemplate();
    const auto dialog = wintest::ParseDialogTemplate(bytes.data.data(), bytes.data.size());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x50000040u);
    EXPECT_EQ(dialog->exStyle, 0x8u);
    EXPECT_EQ(dialog->x, 1);
    EXPECT_EQ(dialog->height, 40);
    EXPECT_FALSE(dialog->menu.present);
    EXPECT_TRUE(dialog->windowClass.isOrdinal);
    EXPECT_EQ(dialog->windowClass.ordinal, 7);
    EXPECT_EQ(dialog->title, "Title");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->font, "Font");
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].id, 1002u);
    EXPECT_EQ(dialog->items[0].windowClass.name, "Static");
    EXPECT_EQ(dialog->items[0].text.name, "Hi");
    EXPECT_EQ(dialog->items[0].x, 5);
    EXPECT_EQ(dialog->items[0].height, 8);
    EXPECT_EQ(dialog->items[1].style, 0x50010000u);
    EXPECT_EQ(dialog->items[1].exStyle, 0x4u);
    EXPECT_EQ(wintest::PredefinedClassName(dialog->items[1].windowClass.ordinal), "BUTTON");
    EXPECT_TRUE(dialog->items[1].text.isOrdinal);
    EXPECT_EQ(dialog->items[1].creationDataBytes, 2u);
}

TEST(DialogTemplate, ReadsTheExtendedForm) {
    Bytes b;
    b.Word(1).Word(0xFFFF).Dword(0).Dword(0x20).Dword(0x40000040).Word(1).Word(0).Word(0).Word(108).Word(47);
    b.Word(0).Word(0).Text("");
    b.Word(8).Word(400).Word(0).Text("MS Shell Dlg");  // size, weight, italic and charset, face
    b.Align().Dword(0).Dword(0).Dword(0x50000000).Word(1).Word(2).Word(3).Word(4).Dword(70000);
    b.Word(0xFFFF).Word(0x82).Text("x").Word(0);
    const auto dialog = wintest::ParseDialogTemplate(b.data.data(), b.data.size());
    ASSERT_TRUE(dialog.has_value());
    EXPECT_TRUE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x40000040u);
    EXPECT_EQ(dialog->exStyle, 0x20u);
    EXPECT_EQ(dialog->width, 108);
    EXPECT_EQ(dialog->font, "MS Shell Dlg");
    ASSERT_EQ(dialog->items.size(), 1u);
    EXPECT_EQ(dialog->items[0].id, 70000u);
    EXPECT_EQ(wintest::PredefinedClassName(dialog->items[0].windowClass.ordinal), "STATIC");
}

TEST(DialogTemplate, TruncatedBytesAreRefused) {
    const Bytes bytes = ClassicTemplate();
    for (std::size_t size : {std::size_t{0}, std::size_t{7}, std::size_t{20}, bytes.data.size() - 1})
        EXPECT_FALSE(wintest::ParseDialogTemplate(bytes.data.data(), size).has_value()) << size << " bytes";
}

}  // namespace
