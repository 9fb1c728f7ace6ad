// PNG through libpng's simplified interface, which reports errors in the
// image record instead of jumping out of the caller.
#include <png.h>

#include <cstring>

#include "support/Image.h"
#include "support/OutputFile.h"

namespace support {

bool WritePng(const std::string& path, const Image& image, std::string* why) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    OutputFile file(path);
    if (!file.IsOpen()) {
        if (why) *why = file.Failure();
        return false;
    }
    const int ok = png_image_write_to_stdio(&png, file.File(), 0, image.rgb.data(), 0, nullptr);
    if (!ok && why) *why = png.message;
    png_image_free(&png);
    if (!ok) return false;
    if (!file.Commit()) {
        if (why) *why = file.Failure();
        return false;
    }
    return true;
}

bool ReadPng(const std::string& path, Image& image, std::string* why) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        if (why) *why = png.message;
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image = Image(static_cast<int>(png.width), static_cast<int>(png.height));
    const int ok = png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr);
    if (!ok && why) *why = png.message;
    png_image_free(&png);
    return ok != 0;
}

}  // namespace support
