// The block tokeniser against the byte-by-byte Tokeniser over the same
// streams, which it promises to match token for token and result for
// result, read from a stream and from memory; the places it tells must be
// where the tokens stand. The fuzz bytes land right at the end of the first block, after a
// filler, so that tokens, long tokens and zero bytes straddle the place
// where one block ends and the next is read.
//
// Input: one byte f (the filler: runs of f / 2 token characters between
// zero bytes, which are always delimiters), one byte o (the fuzz bytes start
// o bytes before the block ends), one byte n, n bytes of delimiter text,
// then the rest of the stream. Runs reach past the 79 characters of a
// token; far longer runs only cost time (the block tokeniser scans a run
// to its end for each token it takes from it).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "text/BlockTokeniser.h"
#include "text/Tokeniser.h"

namespace {

constexpr std::size_t kHeader = 3;
// Calls after the end, to check that the end stays the end.
constexpr int kCallsAfterEnd = 2;

std::FILE* StreamOver(std::string& bytes) {
    std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "r");
    fuzz::Check(stream != nullptr, "the memory stream opens");
    return stream;
}

// The offset of each line's first byte.
std::vector<std::size_t> LineStarts(const std::string& bytes) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n') starts.push_back(i + 1);
    return starts;
}

// The token stands at its place: its bytes are there, or the end is.
void CheckPlace(const std::string& bytes, const std::vector<std::size_t>& lines, const TextPosition& at,
                const std::string& token) {
    fuzz::Check(at.line >= 1 && static_cast<std::size_t>(at.line) <= lines.size(), "the line is in the text");
    const std::size_t offset = lines[static_cast<std::size_t>(at.line - 1)] + static_cast<std::size_t>(at.column - 1);
    if (token.empty()) {
        fuzz::Check(offset == bytes.size(), "an empty token stands at the end");
        return;
    }
    fuzz::Check(bytes.compare(offset, token.size(), token) == 0, "the token stands at its place");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) return 0;
    const std::size_t run = data[0] / 2u;
    const std::size_t before = data[1];
    const std::size_t declared = data[2];
    const std::size_t delimiterBytes = declared < size - kHeader ? declared : size - kHeader;
    const std::string delimiters(reinterpret_cast<const char*>(data + kHeader), delimiterBytes);
    const std::uint8_t* rest = data + kHeader + delimiterBytes;
    const std::size_t restSize = size - kHeader - delimiterBytes;

    std::string bytes;
    while (bytes.size() < BlockTokeniser::kBlockSize - before) bytes += std::string(run, 'q') + '\0';
    bytes.resize(BlockTokeniser::kBlockSize - before);
    bytes.append(reinterpret_cast<const char*>(rest), restSize);
    std::string copy = bytes;
    std::FILE* blockStream = StreamOver(bytes);
    std::FILE* byteStream = StreamOver(copy);

    BlockTokeniser blocks(blockStream);
    Tokeniser bytewise(byteStream);
    BlockTokeniser placed(bytes.data(), bytes.size());
    blocks.SetDelimiters(delimiters.c_str());
    bytewise.SetDelimiters(delimiters.c_str());
    placed.SetDelimiters(delimiters.c_str());
    placed.TrackPositions();
    const std::vector<std::size_t> lines = LineStarts(bytes);
    fuzz::Check(std::string(blocks.GetDelimiters()) == bytewise.GetDelimiters(), "the same delimiter set");

    int afterEnd = 0;
    while (afterEnd < kCallsAfterEnd) {
        const std::int32_t answer = blocks.NextToken();
        fuzz::Check(answer == bytewise.NextToken(), "NextToken answers as Tokeniser's");
        const std::string token = blocks.GetToken();
        fuzz::Check(token == bytewise.GetToken(), "the token is Tokeniser's");
        fuzz::Check(static_cast<std::size_t>(blocks.GetTokenLength()) == token.size(), "the length is the token's");
        fuzz::Check(placed.NextToken() == answer && token == placed.GetToken(), "memory reads as the stream");
        CheckPlace(bytes, lines, placed.TokenPosition(), token);
        if (answer == 0) ++afterEnd;
    }
    std::fclose(blockStream);
    std::fclose(byteStream);
    return 0;
}
