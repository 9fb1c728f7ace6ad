// Reads a dialog template resource as the dialog manager does: the classic
// DLGTEMPLATE form and the extended DLGTEMPLATEEX form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wintest {

// A menu, class or text field: absent, an ordinal (0xFFFF form) or a name.
struct NameOrOrdinal {
    bool present = false;
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    std::string name;  // UTF-16 narrowed; characters above 0x7F read '?'
};

struct TemplateItem {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    std::size_t creationDataBytes = 0;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    bool hasFont = false;
    int pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

// The parsed template, or nothing when the bytes end early.
std::optional<DialogTemplate> ParseDialogTemplate(const std::uint8_t* data, std::size_t size);

// The window class that a predefined-class ordinal stands for ("BUTTON",
// "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"), else empty.
std::string PredefinedClassName(std::uint16_t ordinal);

}  // namespace wintest
