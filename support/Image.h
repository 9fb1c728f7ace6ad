// An 8-bit RGB picture, row by row from the top.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace support {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes per pixel

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3) {}
    std::uint8_t* At(int x, int y) {
        return rgb.data() +
               (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    }
    const std::uint8_t* At(int x, int y) const {
        return rgb.data() +
               (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    }
};

// Writes image as an 8-bit RGB PNG. Answers false when the file cannot be
// written; why tells the reason.
bool WritePng(const std::string& path, const Image& image, std::string* why = nullptr);
// Reads a PNG of any kind into 8-bit RGB.
bool ReadPng(const std::string& path, Image& image, std::string* why = nullptr);

}  // namespace support
