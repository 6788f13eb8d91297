// HEIF files made with libheif's own encoders, and a hand-assembled EXIF block to put in them.
#include "support/test_heif.h"

#include <libheif/heif.h>

#include <cstring>

namespace tavelune::test {
namespace {

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> testExifBlock(const std::string& make, const std::string& model,
                                   int orientation)
{
    // IFD0 at 8: 4 entries; Exif IFD after it: 2 entries; then the values.
    const uint32_t ifd0 = 8, ifd0Size = 2 + 4 * 12 + 4;
    const uint32_t exif = ifd0 + ifd0Size, exifSize = 2 + 2 * 12 + 4;
    uint32_t data = exif + exifSize;
    std::vector<uint8_t> out = {'I', 'I', 42, 0};
    put32(out, ifd0);
    const uint32_t makeAt = data, modelAt = makeAt + uint32_t(make.size() + 1);
    const uint32_t rationalAt = modelAt + uint32_t(model.size() + 1);
    put16(out, 4);
    put16(out, 271), put16(out, 2), put32(out, uint32_t(make.size() + 1)), put32(out, makeAt);
    put16(out, 272), put16(out, 2), put32(out, uint32_t(model.size() + 1)), put32(out, modelAt);
    put16(out, 274), put16(out, 3), put32(out, 1), put32(out, uint32_t(orientation));
    put16(out, 34665), put16(out, 4), put32(out, 1), put32(out, exif);
    put32(out, 0);
    put16(out, 2);
    put16(out, 33434), put16(out, 5), put32(out, 1), put32(out, rationalAt);
    put16(out, 33437), put16(out, 5), put32(out, 1), put32(out, rationalAt + 8);
    put32(out, 0);
    out.insert(out.end(), make.begin(), make.end());
    out.push_back(0);
    out.insert(out.end(), model.begin(), model.end());
    out.push_back(0);
    put32(out, 1), put32(out, 250), put32(out, 4), put32(out, 1);
    return out;
}

bool writeTestHeif(const std::string& path, const Image& stored, const TestHeifOptions& options)
{
    const int width = stored.width(), height = stored.height();
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    heif_image_handle* handle = nullptr;
    heif_encoding_options* encoding = heif_encoding_options_alloc();
    heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
    bool ok = context && encoding && nclx &&
              heif_context_get_encoder_for_format(
                  context, options.avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder)
                      .code == heif_error_Ok;
    const bool ten = options.bitDepth == 10;
    ok = ok && heif_image_create(width, height, heif_colorspace_RGB,
                                 ten ? heif_chroma_interleaved_RRGGBB_LE : heif_chroma_interleaved_RGB,
                                 &image).code == heif_error_Ok;
    ok = ok && heif_image_add_plane(image, heif_channel_interleaved, width, height,
                                    options.bitDepth).code == heif_error_Ok;
    if (ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t p = stored.pixelAt(x, y);
                for (int k = 0; k < 3; ++k) {
                    if (ten) {
                        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3 + size_t(k);
                        const uint16_t v = i < options.tenBit.size() ? options.tenBit[i] : 0;
                        std::memcpy(plane + size_t(y) * size_t(stride) + size_t(x) * 6 + size_t(k) * 2,
                                    &v, 2);
                    } else {
                        plane[size_t(y) * size_t(stride) + size_t(x) * 3 + size_t(k)] =
                            uint8_t(p >> (16 - 8 * k));
                    }
                }
            }
        if (!options.icc.empty())
            ok = heif_image_set_raw_color_profile(image, "prof", options.icc.data(),
                                                  options.icc.size()).code == heif_error_Ok;
    }
    if (ok) {
        heif_encoder_set_lossy_quality(encoder, options.quality);
        // An explicit matrix: without one, aom is given a 10-bit RGB picture as identity-coded.
        nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_601_6;
        nclx->full_range_flag = 1;
        encoding->output_nclx_profile = nclx;
        encoding->image_orientation = heif_orientation(options.orientation);
        ok = heif_context_encode_image(context, image, encoder, encoding, &handle).code ==
             heif_error_Ok;
    }
    if (ok && !options.exif.empty())
        ok = heif_context_add_exif_metadata(context, handle, options.exif.data(),
                                            int(options.exif.size())).code == heif_error_Ok;
    if (ok)
        ok = heif_context_write_to_file(context, path.c_str()).code == heif_error_Ok;
    if (handle)
        heif_image_handle_release(handle);
    if (image)
        heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_nclx_color_profile_free(nclx);
    heif_encoding_options_free(encoding);
    heif_context_free(context);
    return ok;
}

}  // namespace tavelune::test
