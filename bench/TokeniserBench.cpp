// Tokeniser::NextToken and BlockTokeniser::NextToken alone over the
// generated set's file, per byte, against the plain fgetc/strchr tokeniser.
// Before the timings all three must split the file into the same tokens.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "BenchSupport.h"
#include "ReferenceReader.h"
#include "text/BlockTokeniser.h"
#include "text/Tokeniser.h"

namespace {

constexpr const char* kDelimiters = "\r\t\n {}";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Token count and a hash of every token's text, to compare two tokenisers.
struct TokenSummary {
    std::int64_t tokens = 0;
    std::uint64_t hash = 1469598103934665603ull;

    void Add(const char* token) {
        ++tokens;
        for (const char* p = token; *p; ++p) hash = (hash ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
        hash = (hash ^ 0xffu) * 1099511628211ull;
    }
    bool operator==(const TokenSummary& other) const { return tokens == other.tokens && hash == other.hash; }
};

template <typename Tokens, typename Token>
TokenSummary Walk(Tokens& tokens, Token token) {
    TokenSummary summary;
    for (;;) {
        const std::int32_t more = tokens.NextToken();
        if (*token(tokens) != '\0') summary.Add(token(tokens));
        if (more == 0) return summary;
    }
}

TokenSummary WalkOurs(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) return {};
    Tokeniser tokens(file.get());
    tokens.SetDelimiters(kDelimiters);
    return Walk(tokens, [](const Tokeniser& t) { return t.GetToken(); });
}

TokenSummary WalkBlock(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) return {};
    BlockTokeniser tokens(file.get());
    tokens.SetDelimiters(kDelimiters);
    return Walk(tokens, [](const BlockTokeniser& t) { return t.GetToken(); });
}

TokenSummary WalkReference(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "r"));
    if (!file) return {};
    reference::PlainTokeniser tokens(file.get(), kDelimiters);
    return Walk(tokens, [](const reference::PlainTokeniser& t) { return t.Token(); });
}

std::string CheckSameTokens() {
    const std::string& path = bench::GeneratedFile();
    const TokenSummary ours = WalkOurs(path);
    if (ours.tokens == 0) return "no tokens read";
    if (!(ours == WalkReference(path))) return "Tokeniser and the plain tokeniser differ";
    return ours == WalkBlock(path) ? std::string() : "BlockTokeniser and Tokeniser differ";
}

// The timed loop: tokens only, nothing done with them but counting.
template <typename Tokens>
std::int64_t CountTokens(Tokens& tokens) {
    std::int64_t count = 0;
    while (tokens.NextToken() != 0) ++count;
    return count + 1;
}

std::int64_t CountOurs(std::FILE* file) {
    Tokeniser tokens(file);
    tokens.SetDelimiters(kDelimiters);
    return CountTokens(tokens);
}

std::int64_t CountBlock(std::FILE* file) {
    BlockTokeniser tokens(file);
    tokens.SetDelimiters(kDelimiters);
    return CountTokens(tokens);
}

std::int64_t CountReference(std::FILE* file) {
    reference::PlainTokeniser tokens(file, kDelimiters);
    return CountTokens(tokens);
}

template <std::int64_t (*Count)(std::FILE*)>
void Tokenise(benchmark::State& state) {
    const std::string& path = bench::GeneratedFile();
    std::int64_t tokens = 0;
    for (auto _ : state) {
        FilePtr file(std::fopen(path.c_str(), "r"));
        if (!file) state.SkipWithError("cannot open the generated file");
        if (!file) break;
        tokens = Count(file.get());
        benchmark::DoNotOptimize(tokens);
    }
    bench::SetThroughput(state, bench::FileBytes(path), tokens);
}

void NextToken(benchmark::State& state) { Tokenise<CountOurs>(state); }
void NextTokenReference(benchmark::State& state) { Tokenise<CountReference>(state); }
void BlockNextToken(benchmark::State& state) { Tokenise<CountBlock>(state); }

BENCHMARK(NextToken)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(NextTokenReference)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BlockNextToken)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckSameTokens); }
