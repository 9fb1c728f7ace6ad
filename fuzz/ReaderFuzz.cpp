// PatchIO's readers over arbitrary text, with and without the failure
// reason. Checks that
// - asking for the reason changes neither the result nor what was read;
// - a success tells no reason and a failure always tells one, with a place;
// - a file and the same text in memory read alike, reasons included;
// - whatever was read writes out and reads back to the same text: the
//   reader and the writer agree on everything the reader accepts.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "patchio/PatchIO.h"

namespace {

bool SameReason(const ReadFailure& a, const ReadFailure& b) {
    return a.opened == b.opened && a.line == b.line && a.column == b.column && a.atEnd == b.atEnd &&
           a.found == b.found && a.expected == b.expected;
}

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
