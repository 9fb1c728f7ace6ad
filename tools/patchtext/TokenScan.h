// One streaming pass over a patch text file that splits it into tokens with
// the reader's own tokeniser, and tells where chosen tokens stand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace support {
class Percentage;
}

namespace patchtool {

struct TokenAt {
    std::int64_t line = 0;    // from 1; 0 when the file has no such token
    std::int64_t column = 0;  // from 1, in bytes
    std::string text;
};

struct TokenScan {
    bool opened = false;
    std::vector<TokenAt> wanted;  // in the order asked for
    std::int64_t tokens = 0;      // in the whole file
    std::int64_t longTokens = 0;  // cut at the length limit
    TokenAt firstLongToken;
};

// Scans path for the tokens with the given ordinals (from 0). progress, when
// given, advances by the bytes read.
TokenScan ScanTokens(const std::string& path, const std::vector<std::int64_t>& ordinals,
                     support::Percentage* progress = nullptr);

// The first count tokens of path (fewer when the file is shorter or cannot
// be opened).
std::vector<TokenAt> PeekTokens(const std::string& path, std::size_t count);

}  // namespace patchtool
