// PatchIO::Read over arbitrary files, with and without the failure reason.
// Checks that
// - asking for the reason changes neither the result nor what was read;
// - a success tells no reason and a failure always tells one;
// - whatever was read writes out and reads back to the same text: the
//   reader and the writer agree on everything the reader accepts.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "patchio/PatchIO.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    static fuzz::MemoryFile output;
    input.Fill(data, size);

    PatchIO plain;
    const std::int32_t result = plain.Read(input.Path());
    PatchIO explained;
    ReadFailure why;
    fuzz::Check(explained.Read(input.Path(), &why) == result, "the reason does not change the result");
    fuzz::Check(why.opened, "the file was opened");
    fuzz::Check(fuzz::SameSet(plain, explained), "the reason does not change what was read");

    if (result == 1) {
        fuzz::Check(why.expected.empty() && why.Message().empty(), "a success tells no reason");
        const std::string text = fuzz::WrittenText(plain, output);
        PatchIO again;
        output.Fill(text);
        fuzz::Check(again.Read(output.Path()) == 1, "the writer's text of a read set reads back");
        fuzz::Check(fuzz::WrittenText(again, output) == text, "and writes out the same text again");
    } else {
        fuzz::Check(!why.expected.empty(), "a failure names what was expected");
        fuzz::Check(why.line >= 1 && why.column >= 1, "a failure has a place");
        fuzz::Check(!why.Message().empty(), "a failure tells its reason");
    }
    return 0;
}
