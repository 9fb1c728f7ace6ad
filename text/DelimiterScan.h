// Finds delimiters 64 bytes at a time, for delimiter sets of up to eight
// bytes (the patch format's has seven, the zero byte included). On x86-64
// every byte is compared with every delimiter at once: with SSE2 (which
// every such processor has), or where the processor has AVX2 with a nibble
// lookup that classifies 32 bytes in a few instructions. Elsewhere the same
// masks come from a loop over the class table. The tokeniser's
// byte-by-byte rules stay the reference: this only tells, for 64 bytes,
// which of them are delimiters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64) || defined(__SSE2__)
#  include <immintrin.h>
#  define GANTLINE_SCAN_SSE2 1
#  if defined(__GNUC__) && defined(__x86_64__)
#    define GANTLINE_SCAN_AVX2 1
#  endif
#endif

class DelimiterScan {
public:
    static constexpr int kMaxDelimiters = 8;

    // Takes the delimiters of a class table (256 entries, non-zero for a
    // delimiter). Answers false, and is then unusable, when there are more
    // than kMaxDelimiters of them (or none).
    bool Build(const unsigned char* isDelimiter) {
        unsigned char found[kMaxDelimiters];
        int count = 0;
        for (int c = 0; c < 256; ++c) {
            if (!isDelimiter[c]) continue;
            if (count == kMaxDelimiters) return usable_ = false;
            found[count++] = static_cast<unsigned char>(c);
        }
        // Unused slots repeat the first delimiter, so every comparison counts.
        for (int k = count; k < kMaxDelimiters; ++k) found[k] = count > 0 ? found[0] : 0;
        // The nibble tables: delimiter k sets bit k in the entries of its
        // low and its high half. A byte is that delimiter exactly when bit k
        // is set in both of its entries, as no other delimiter has bit k.
        std::memset(low_, 0, sizeof low_);
        std::memset(high_, 0, sizeof high_);
        for (int k = 0; k < count; ++k) {
            low_[found[k] & 15] = static_cast<unsigned char>(low_[found[k] & 15] | 1u << k);
            high_[found[k] >> 4] = static_cast<unsigned char>(high_[found[k] >> 4] | 1u << k);
        }
        std::memcpy(classes_, isDelimiter, sizeof classes_);
#if defined(GANTLINE_SCAN_SSE2)
        for (int k = 0; k < kMaxDelimiters; ++k) delimiters_[k] = _mm_set1_epi8(static_cast<char>(found[k]));
#endif
        mask64_ = &DelimiterScan::Mask64Portable;
        maskRun_ = &DelimiterScan::RunOf<&DelimiterScan::Mask64Portable>;
#if defined(GANTLINE_SCAN_SSE2)
        mask64_ = &DelimiterScan::Mask64Sse2;
        maskRun_ = &DelimiterScan::RunOf<&DelimiterScan::Mask64Sse2>;
#endif
#if defined(GANTLINE_SCAN_AVX2)
        if (__builtin_cpu_supports("avx2")) {
            mask64_ = &DelimiterScan::Mask64Avx2;
            maskRun_ = &DelimiterScan::MaskRunAvx2;
        }
#endif
        return usable_ = count > 0;
    }
    bool Usable() const { return usable_; }

    // Bit i is set when p[i] is a delimiter, for the 64 bytes at p.
    std::uint64_t Mask64(const unsigned char* p) const { return (this->*mask64_)(p); }
    // Mask64 of each of count stretches of 64 bytes from p on, into masks:
    // a whole block's in one call.
    void MaskRun(const unsigned char* p, std::size_t count, std::uint64_t* masks) const {
        (this->*maskRun_)(p, count, masks);
    }

private:
    using Mask64Fn = std::uint64_t (DelimiterScan::*)(const unsigned char*) const;
    template <Mask64Fn mask64>
    void RunOf(const unsigned char* p, std::size_t count, std::uint64_t* masks) const {
        for (std::size_t i = 0; i < count; ++i) masks[i] = (this->*mask64)(p + 64 * i);
    }

    std::uint64_t Mask64Portable(const unsigned char* p) const {
        std::uint64_t mask = 0;
        for (unsigned i = 0; i < 64; ++i) mask |= classes_[p[i]] ? std::uint64_t{1} << i : 0u;
        return mask;
    }
#if defined(GANTLINE_SCAN_SSE2)
    std::uint64_t Mask64Sse2(const unsigned char* p) const {
        std::uint64_t mask = 0;
        for (int part = 0; part < 4; ++part) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part));
            __m128i hits = _mm_cmpeq_epi8(bytes, delimiters_[0]);
            for (int k = 1; k < kMaxDelimiters; ++k) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, delimiters_[k]));
            mask |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(hits))} << (16 * part);
        }
        return mask;
    }
#endif
#if defined(GANTLINE_SCAN_AVX2)
    __attribute__((target("avx2"))) std::uint64_t Mask64Avx2(const unsigned char* p) const {
        const __m256i low = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low_)));
        const __m256i high = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(high_)));
        const __m256i nibble = _mm256_set1_epi8(0x0f);
        std::uint64_t mask = 0;
        for (int part = 0; part < 2; ++part) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * part));
            const __m256i lows = _mm256_shuffle_epi8(low, _mm256_and_si256(bytes, nibble));
            const __m256i highs = _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
            const __m256i none = _mm256_cmpeq_epi8(_mm256_and_si256(lows, highs), _mm256_setzero_si256());
            const auto others = static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
            mask |= std::uint64_t{~others} << (32 * part);
        }
        return mask;
    }
    // The loop inside the processor-specific code, so that Mask64Avx2 is
    // inlined into it.
    __attribute__((target("avx2"))) void MaskRunAvx2(const unsigned char* p, std::size_t count,
                                                     std::uint64_t* masks) const {
        for (std::size_t i = 0; i < count; ++i) masks[i] = Mask64Avx2(p + 64 * i);
    }
#endif

#if defined(GANTLINE_SCAN_SSE2)
    __m128i delimiters_[kMaxDelimiters];
#endif
    Mask64Fn mask64_ = &DelimiterScan::Mask64Portable;
    void (DelimiterScan::*maskRun_)(const unsigned char*, std::size_t,
                                    std::uint64_t*) const = &DelimiterScan::RunOf<&DelimiterScan::Mask64Portable>;
    unsigned char low_[16] = {};
    unsigned char high_[16] = {};
    unsigned char classes_[256] = {};
    bool usable_ = false;
};

// The index of the lowest set bit of a non-zero mask.
inline unsigned LowestBit(std::uint64_t mask) {
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctzll(mask));
#else
    unsigned n = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++n;
    }
    return n;
#endif
}
