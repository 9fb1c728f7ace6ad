// A minimal PNG encoder for screenshots: 8-bit RGB, no compression
// (stored deflate blocks), which every PNG reader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
};

// The PNG file's bytes.
std::string EncodePng(const RgbImage& image);

// Writes the image as a PNG file; false when the file cannot be written.
bool WritePng(const std::string& path, const RgbImage& image);

// The CRC of PNG chunks and the Adler-32 of zlib streams.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

}  // namespace wintest
