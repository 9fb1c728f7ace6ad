// PatchIO's readers over arbitrary text, with and without the failure
// reason. Checks that
// - asking for the reason changes neither the result nor what was read;
// - a success tells no reason and a failure always tells one, with a place;
// - a file and the same text in memory read alike, reasons included;
// - whatever was read writes out and reads back to the same text: the
//   reader and the writer agree on everything the reader accepts;
// - the read that tells places reads alike, and every token it tells
//   stands at its place; the validator takes whatever was read.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "patchio/PatchIO.h"
#include "patchio/ReadPlaces.h"
#include "patchio/Validate.h"
#include "text/BlockTokeniser.h"

namespace {

bool SameReason(const ReadFailure& a, const ReadFailure& b) {
    return a.opened == b.opened && a.line == b.line && a.column == b.column && a.atEnd == b.atEnd &&
           a.found == b.found && a.expected == b.expected;
}

// Whether each told token's bytes stand at its line and column of the text.
class PlaceCheck : public patchio::ReadPlaces {
public:
    PlaceCheck(const char* text, std::size_t size) : text_(text), size_(size) {
        lineStarts_.push_back(0);
        for (std::size_t i = 0; i < size; ++i)
            if (text[i] == '\n') lineStarts_.push_back(i + 1);
    }
    void Token(patchio::TokenKind, const patchio::ValueRef&, const TextPosition& at, const char* token,
               std::size_t length) override {
        if (at.line < 1 || static_cast<std::size_t>(at.line) > lineStarts_.size() || at.column < 1) {
            placed = false;
            return;
        }
        // A token cut at the length limit continues past its first part.
        if (length >= static_cast<std::size_t>(BlockTokeniser::kMaxLength)) return;
        const std::size_t start =
            lineStarts_[static_cast<std::size_t>(at.line - 1)] + static_cast<std::size_t>(at.column - 1);
        placed = placed && start + length <= size_ && std::memcmp(text_ + start, token, length) == 0;
    }
    bool placed = true;

private:
    const char* text_;
    std::size_t size_;
    std::vector<std::size_t> lineStarts_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const char* text = reinterpret_cast<const char*>(data);

    PatchIO plain;
    const std::int32_t result = plain.ReadText(text, size);
    PatchIO explained;
    ReadFailure why;
    fuzz::Check(explained.ReadText(text, size, &why) == result, "the reason does not change the result");
    fuzz::Check(why.opened, "text is always open");
    fuzz::Check(fuzz::SameSet(plain, explained), "the reason does not change what was read");

    PatchIO placed;
    ReadFailure placedWhy;
    PlaceCheck places(text, size);
    fuzz::Check(patchio::ReadTextWithPlaces(text, size, placed, places, &placedWhy) == result,
                "telling places does not change the result");
    fuzz::Check(fuzz::SameSet(plain, placed), "telling places does not change what was read");
    fuzz::Check(SameReason(why, placedWhy), "telling places does not change the reason");
    fuzz::Check(places.placed, "every told token stands at its place");
    patchio::Validate(placed, 64);

    input.Fill(data, size);
    PatchIO fromFile;
    ReadFailure fileWhy;
    fuzz::Check(fromFile.Read(input.Path(), &fileWhy) == result, "a file reads as its text does");
    fuzz::Check(fuzz::SameSet(plain, fromFile), "a file gives what its text gives");
    fuzz::Check(SameReason(why, fileWhy), "a file fails where its text fails");

    if (result == 1) {
        fuzz::Check(why.expected.empty() && why.Message().empty(), "a success tells no reason");
        const std::string written = fuzz::WrittenText(plain);
        PatchIO again;
        fuzz::Check(again.ReadText(written.data(), written.size()) == 1, "the writer's text of a read set reads back");
        fuzz::Check(fuzz::WrittenText(again) == written, "and writes out the same text again");
    } else {
        fuzz::Check(!why.expected.empty(), "a failure names what was expected");
        fuzz::Check(why.line >= 1 && why.column >= 1, "a failure has a place");
        fuzz::Check(!why.Message().empty(), "a failure tells its reason");
    }
    return 0;
}
