#include "wintest/DialogTemplate.h"

namespace wintest {
namespace {

constexpr std::uint16_t kOrdinalMark = 0xFFFF;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT, also part of DS_SHELLFONT

// Little-endian reads that stop, and remember it, at the end of the data.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }

    std::uint16_t Word() {
        if (!Has(2)) return 0;
        const std::uint16_t value = static_cast<std::uint16_t>(data_[at_] | (data_[at_ + 1] << 8));
        at_ += 2;
        return value;
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    int Short() { return static_cast<std::int16_t>(Word()); }
    std::uint8_t Byte() {
        if (!Has(1)) return 0;
        return data_[at_++];
    }
    void Skip(std::size_t bytes) {
        if (Has(bytes)) at_ += bytes;
    }
    void AlignDword() { Skip((4 - at_ % 4) % 4); }

    std::string Text() {
        std::string text;
        for (std::uint16_t c = Word(); ok_ && c != 0; c = Word()) text += c < 0x80 ? static_cast<char>(c) : '?';
        return text;
    }
    NameOrOrdinal NameOrOrdinalField() {
        NameOrOrdinal field;
        const std::uint16_t first = Word();
        if (first == 0) return field;
        field.present = true;
        if (first == kOrdinalMark) {
            field.isOrdinal = true;
            field.ordinal = Word();
            return field;
        }
        at_ -= 2;
        field.name = Text();
        return field;
    }

private:
    bool Has(std::size_t bytes) {
        if (size_ - at_ < bytes) ok_ = false;
        return ok_;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

void ReadGeometry(Reader& in, int& x, int& y, int& width, int& height) {
    x = in.Short();
    y = in.Short();
    width = in.Short();
    height = in.Short();
}

TemplateItem ReadItem(Reader& in, bool extended) {
    TemplateItem item;
    in.AlignDword();
    if (extended) {
        in.Dword();  // help id
        item.exStyle = in.Dword();
        item.style = in.Dword();
    } else {
        item.style = in.Dword();
        item.exStyle = in.Dword();
    }
    ReadGeometry(in, item.x, item.y, item.width, item.height);
    item.id = extended ? in.Dword() : in.Word();
    item.windowClass = in.NameOrOrdinalField();
    item.text = in.NameOrOrdinalField();
    item.creationDataBytes = in.Word();
    in.Skip(item.creationDataBytes);
    return item;
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    DialogTemplate dialog;
    const std::uint16_t version = in.Word();
    dialog.extended = version == 1 && in.Word() == kExtendedSignature;
    if (dialog.extended) {
        in.Dword();  // help id
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        in = Reader(data, size);
        dialog.style = in.Dword();
        dialog.exStyle = in.Dword();
    }
    const int itemCount = in.Word();
    ReadGeometry(in, dialog.x, dialog.y, dialog.width, dialog.height);
    dialog.menu = in.NameOrOrdinalField();
    dialog.windowClass = in.NameOrOrdinalField();
    dialog.title = in.Text();
    dialog.hasFont = (dialog.style & kSetFont) != 0;
    if (dialog.hasFont) {
        dialog.pointSize = in.Word();
        if (dialog.extended) {
            in.Word();  // weight
            in.Byte();  // italic
            in.Byte();  // character set
        }
        dialog.font = in.Text();
    }
    for (int i = 0; i < itemCount && in.Ok(); ++i) dialog.items.push_back(ReadItem(in, dialog.extended));
    if (!in.Ok()) return std::nullopt;
    return dialog;
}

std::string PredefinedClassName(std::uint16_t ordinal) {
    switch (ordinal) {
        case 0x0080:
            return "BUTTON";
        case 0x0081:
            return "EDIT";
        case 0x0082:
            return "STATIC";
        case 0x0083:
            return "LISTBOX";
        case 0x0084:
            return "SCROLLBAR";
        case 0x0085:
            return "COMBOBOX";
        default:
            return std::string();
    }
}

}  // namespace wintest
