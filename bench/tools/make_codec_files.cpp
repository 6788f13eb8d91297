// Makes the camera raw and HEIF files the codec benchmarks read, from any picture we can open:
//   make_codec_files SOURCE OUTPUT WIDTHxHEIGHT [--preview WIDTHxHEIGHT] [--orientation N]
// OUTPUT's extension chooses DNG, HEIC or AVIF. A DNG may carry a JPEG preview as cameras do.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/format_dispatch.h"
#include "engine/jpeg_codec.h"
#include "support/test_dng.h"
#include "support/test_heif.h"

using namespace tavelune;

namespace {

bool readSize(const char* text, int& width, int& height)
{
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

Image scaled(const Image& source, int width, int height)
{
    Image out = source;
    if (!out.resize(width, height, kBicubic))
        out.destroyPixels();
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0, height = 0, previewWidth = 0, previewHeight = 0, orientation = 1;
    if (argc < 4 || !readSize(argv[3], width, height)) {
        std::fprintf(stderr, "usage: %s SOURCE OUTPUT WIDTHxHEIGHT [--preview WxH] "
                             "[--orientation N]\n", argv[0]);
        return 2;
    }
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--preview" && readSize(argv[i + 1], previewWidth, previewHeight))
            continue;
        if (option == "--orientation")
            orientation = std::atoi(argv[i + 1]);
        else
            return 2;
    }
    Image source;
    if (!openImage(argv[1], source)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string output = argv[2];
    const std::string kind = output.substr(output.find_last_of('.') + 1);
    const Image picture = scaled(source, width, height);
    bool ok = !picture.isEmpty();
    if (ok && kind == "dng") {
        test::TestDngOptions options;
        options.orientation = orientation;
        ok = test::writeTestDng(output, picture, options);
        if (ok && previewWidth > 0) {
            // Stored as the sensor is: unturned.
            const bool turned = orientation == 6 || orientation == 8;
            Image preview = scaled(picture, previewWidth, previewHeight);
            if (turned)
                preview.rotate(orientation == 6 ? 270 : 90);
            std::vector<std::uint8_t> jpeg;
            ok = !preview.isEmpty() && encodeJpegStream(preview, 90, jpeg) &&
                 test::appendDngPreview(output, jpeg);
        }
    } else if (ok && (kind == "heic" || kind == "avif")) {
        test::TestHeifOptions options;
        options.avif = kind == "avif";
        options.exif = test::testExifBlock("Tavelune", "Test Phone", 1);
        ok = test::writeTestHeif(output, picture, options);
    } else {
        ok = false;
    }
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
    return ok ? 0 : 1;
}
