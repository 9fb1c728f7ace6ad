// PNG through stb's single-header coders, for builds without libpng (the
// Windows cross builds). The implementations are compiled here, once.
#include <cstdio>
#include <cstring>
#include <memory>

#include "support/Image.h"
#include "support/OutputFile.h"

#if defined(__GNUC__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wconversion"
#  pragma GCC diagnostic ignored "-Wsign-conversion"
#  pragma GCC diagnostic ignored "-Wold-style-cast"
#  pragma GCC diagnostic ignored "-Wcast-qual"
#  pragma GCC diagnostic ignored "-Wshadow"
#  pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#  pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#  pragma GCC diagnostic ignored "-Wunused-function"
#  pragma GCC diagnostic ignored "-Wdouble-promotion"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_FILTERS
#include <stb/stb_image_write.h>
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
#if defined(__GNUC__)
#  pragma GCC diagnostic pop
#endif

namespace support {

namespace {

void WriteToFile(void* file, void* data, int size) {
    std::fwrite(data, 1, static_cast<std::size_t>(size), static_cast<std::FILE*>(file));
}

}  // namespace

bool WritePng(const std::string& path, const Image& image, std::string* why) {
    OutputFile file(path);
    const bool ok = file.IsOpen() &&
                    stbi_write_png_to_func(WriteToFile, file.File(), image.width, image.height, 3, image.rgb.data(),
                                           image.width * 3) != 0 &&
                    file.Commit();
    if (!ok && why) *why = file.Failure().empty() ? "cannot write " + path : file.Failure();
    return ok;
}

bool ReadPng(const std::string& path, Image& image, std::string* why) {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load(path.c_str(), &width, &height, &channels, 3),
                                                     stbi_image_free);
    if (!pixels) {
        if (why) *why = stbi_failure_reason() ? stbi_failure_reason() : "not a PNG file";
        return false;
    }
    image = Image(width, height);
    std::memcpy(image.rgb.data(), pixels.get(), image.rgb.size());
    return true;
}

}  // namespace support
