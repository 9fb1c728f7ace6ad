// The screenshot encoder: a PNG that a reader accepts, checked chunk by
// chunk, with the pixels stored unchanged.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "wintest/PngFile.h"

namespace {

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

struct Chunk {
    std::string type;
    std::string data;
    bool crcMatches;
};

std::vector<Chunk> Chunks(const std::string& png) {
    std::vector<Chunk> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian(png, at);
        const std::string typed = png.substr(at + 4, 4 + length);
        const std::uint32_t crc = BigEndian(png, at + 8 + length);
        chunks.push_back({typed.substr(0, 4), typed.substr(4),
                          crc == wintest::Crc32(reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size())});
        at += 12 + length;
    }
    return chunks;
}

TEST(PngFile, KnownChecksums) {
    const std::string text = "123456789";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    EXPECT_EQ(wintest::Crc32(bytes, text.size()), 0xCBF43926u);
    EXPECT_EQ(wintest::Adler32(bytes, text.size()), 0x091E01DEu);
}

TEST(PngFile, HeaderDataAndEndChunksWithPixelsStored) {
    wintest::RgbImage image;
    image.width = 2;
    image.height = 2;
    image.rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    const std::string png = wintest::EncodePng(image);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(BigEndian(chunks[0].data, 0), 2u);
    EXPECT_EQ(BigEndian(chunks[0].data, 4), 2u);
    EXPECT_EQ(chunks[0].data.substr(8), std::string("\x08\x02\x00\x00\x00", 5));
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    for (const Chunk& chunk : chunks) EXPECT_TRUE(chunk.crcMatches) << chunk.type;

    // zlib header, one final stored block of two 7-byte scanlines, Adler-32.
    const std::string& z = chunks[1].data;
    ASSERT_EQ(z.size(), 2u + 5u + 14u + 4u);
    EXPECT_EQ(static_cast<std::uint8_t>(z[2]), 1u);  // final, stored
    EXPECT_EQ(static_cast<std::uint8_t>(z[3]), 14u);
    EXPECT_EQ(z[7], '\0');
    EXPECT_EQ(z.substr(8, 6), std::string("\xff\x00\x00\x00\xff\x00", 6));
    EXPECT_EQ(z[14], '\0');
    EXPECT_EQ(z.substr(15, 6), std::string("\x00\x00\xff\x0a\x14\x1e", 6));
}

TEST(PngFile, LargeImagesSplitIntoStoredBlocks) {
    wintest::RgbImage image;
    image.width = 200;
    image.height = 200;  // 120200 bytes of scanlines: two stored blocks
    image.rgb.assign(200 * 200 * 3, 7);
    const std::vector<Chunk> chunks = Chunks(wintest::EncodePng(image));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[1].data.size(), 2u + 2 * 5u + 120200u + 4u);
}

}  // namespace
