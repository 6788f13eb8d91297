// PNG output of a picture, for the CLI's histogram and the docs' pictures.
#include "cli/png_writer.h"

#include <cstdio>
#include <vector>

#include "engine/png_rows.h"
#include "engine/safe_write.h"

namespace tavelune::cli {

bool writePngFile(const std::string& path, const Image& image, std::string* error)
{
    if (image.isEmpty()) {
        if (error != nullptr)
            *error = "empty picture";
        return false;
    }
    const int width = image.width();
    const int height = image.height();
    std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * 3 *
                                     static_cast<std::size_t>(height));
    std::vector<unsigned char*> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        unsigned char* out = bytes.data() + std::size_t(y) * std::size_t(width) * 3;
        rows[std::size_t(y)] = out;
        const uint32_t* in = image.rowFromTop(y);
        for (int x = 0; x < width; ++x) {
            *out++ = static_cast<unsigned char>(in[x] >> 16);
            *out++ = static_cast<unsigned char>(in[x] >> 8);
            *out++ = static_cast<unsigned char>(in[x]);
        }
    }
    return writeViaTemporary(
        path,
        [&](const std::string& temporaryPath) {
            std::FILE* file = std::fopen(temporaryPath.c_str(), "wb");
            if (file == nullptr)
                return false;
            const bool written = writeRgbPngRows(file, rows.data(), width, height, 8, image.dpi());
            return std::fclose(file) == 0 && written;
        },
        error);
}

}  // namespace tavelune::cli
