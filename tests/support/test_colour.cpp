#include "support/test_colour.h"

#include <lcms2.h>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace tavelune::reference {

namespace {

// The profile's bytes, named so that a listing or a screenshot tells it from LittleCMS's
// built-in ones; closes it.
std::vector<std::uint8_t> savedProfile(cmsHPROFILE profile, const char* description)
{
    std::vector<std::uint8_t> bytes;
    if (profile == nullptr)
        return bytes;
    if (cmsMLU* name = cmsMLUalloc(nullptr, 1)) {
        cmsMLUsetASCII(name, "en", "US", description);
        cmsWriteTag(profile, cmsSigProfileDescriptionTag, name);
        cmsMLUfree(name);
    }
    cmsUInt32Number size = 0;
    if (cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(size);
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
            bytes.clear();
    }
    cmsCloseProfile(profile);
    return bytes;
}

std::vector<std::uint8_t> matrixShaperProfile(const cmsCIExyYTRIPLE& primaries, cmsToneCurve* curve,
                                              const char* description)
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = curve ? cmsCreateRGBProfile(&white, &primaries, curves) : nullptr;
    if (curve)
        cmsFreeToneCurve(curve);
    return savedProfile(profile, description);
}

}  // namespace

std::vector<std::uint8_t> adobeRgbProfile()
{
    return matrixShaperProfile({{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}},
                               cmsBuildGamma(nullptr, 2.19921875),
                               "Adobe RGB (1998) primaries, made for tests");
}

std::vector<std::uint8_t> displayP3Profile()
{
    const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    return matrixShaperProfile({{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}},
                               cmsBuildParametricToneCurve(nullptr, 4, srgbCurve),
                               "Display P3, made for tests");
}

std::vector<std::uint8_t> sampledCurveProfile()
{
    // A gamma 1.8 curve with a lifted toe, as measured screens give them.
    std::vector<cmsUInt16Number> table(1024);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double x = double(i) / double(table.size() - 1);
        table[i] = cmsUInt16Number(65535.0 * (0.02 * x + 0.98 * std::pow(x, 1.8)) + 0.5);
    }
    return matrixShaperProfile({{0.7347, 0.2653, 1.0}, {0.1596, 0.8404, 1.0}, {0.0366, 0.0001, 1.0}},
                               cmsBuildTabulatedToneCurve16(nullptr, cmsUInt32Number(table.size()),
                                                            table.data()),
                               "Sampled curves, made for tests");
}

namespace {

int rgbToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo)
{
    double rgb[3] = {in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0};
    cmsCIELab lab;
    cmsDoTransform(static_cast<cmsHTRANSFORM>(cargo), rgb, &lab, 1);
    cmsFloat2LabEncoded(out, &lab);
    return TRUE;
}

}  // namespace

std::vector<std::uint8_t> rgbTableProfile()
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL,
                                             INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsPipeline* table = cmsPipelineAlloc(nullptr, 3, 3);
    cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 17, 3, 3, nullptr);
    cmsStage* before = cmsStageAllocToneCurves(nullptr, 3, nullptr);
    cmsStage* after = cmsStageAllocToneCurves(nullptr, 3, nullptr);
    bool made = false;
    if (toLab && profile && table && grid && before && after &&
        cmsStageSampleCLut16bit(grid, rgbToLab, toLab, 0) &&
        cmsPipelineInsertStage(table, cmsAT_END, before) &&
        cmsPipelineInsertStage(table, cmsAT_END, grid) &&
        cmsPipelineInsertStage(table, cmsAT_END, after)) {
        grid = before = after = nullptr;  // the table owns them
        cmsSetProfileVersion(profile, 4.3);
        cmsSetDeviceClass(profile, cmsSigDisplayClass);
        cmsSetColorSpace(profile, cmsSigRgbData);
        cmsSetPCS(profile, cmsSigLabData);
        made = cmsWriteTag(profile, cmsSigAToB0Tag, table) &&
               cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    }
    for (cmsStage* stage : {grid, before, after})
        if (stage)
            cmsStageFree(stage);
    if (table)
        cmsPipelineFree(table);
    if (toLab)
        cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    if (!made) {
        if (profile)
            cmsCloseProfile(profile);
        return {};
    }
    return savedProfile(profile, "RGB table, made for tests");
}

namespace {

// Inks (0..65535, 65535 full) to Lab for the profile's table: each ink takes away some of the
// other colours too, and black darkens everything.
int inksToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo)
{
    const cmsHTRANSFORM toLab = static_cast<cmsHTRANSFORM>(cargo);
    const double c = in[0] / 65535.0, m = in[1] / 65535.0, y = in[2] / 65535.0,
                 k = in[3] / 65535.0;
    const double light = 1.0 - 0.9 * k;
    double rgb[3] = {(1.0 - c) * (1.0 - 0.12 * m) * (1.0 - 0.05 * y) * light,
                     (1.0 - m) * (1.0 - 0.2 * c) * (1.0 - 0.08 * y) * light,
                     (1.0 - y) * (1.0 - 0.15 * c) * (1.0 - 0.1 * m) * light};
    cmsCIELab lab;
    cmsDoTransform(toLab, rgb, &lab, 1);
    cmsFloat2LabEncoded(out, &lab);
    return TRUE;
}

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

}  // namespace

std::vector<std::uint8_t> cmykProfile()
{
    std::vector<std::uint8_t> bytes;
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL,
                                             INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsPipeline* table = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 9, 4, 3, nullptr);
    cmsMLU* name = cmsMLUalloc(nullptr, 1);
    // A version 4 table from inks is written as curves, grid, curves: the curves are flat.
    cmsStage* inks = cmsStageAllocToneCurves(nullptr, 4, nullptr);
    cmsStage* light = cmsStageAllocToneCurves(nullptr, 3, nullptr);
    if (toLab && profile && table && grid && name && inks && light &&
        cmsStageSampleCLut16bit(grid, inksToLab, toLab, 0) &&
        cmsPipelineInsertStage(table, cmsAT_END, inks) &&
        cmsPipelineInsertStage(table, cmsAT_END, grid) &&
        cmsPipelineInsertStage(table, cmsAT_END, light)) {
        grid = inks = light = nullptr;  // the table owns them
        cmsSetProfileVersion(profile, 4.3);
        cmsSetDeviceClass(profile, cmsSigOutputClass);
        cmsSetColorSpace(profile, cmsSigCmykData);
        cmsSetPCS(profile, cmsSigLabData);
        cmsMLUsetASCII(name, "en", "US", "Test CMYK inks");
        cmsUInt32Number size = 0;
        if (cmsWriteTag(profile, cmsSigAToB0Tag, table) &&
            cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ()) &&
            cmsWriteTag(profile, cmsSigProfileDescriptionTag, name) &&
            cmsSaveProfileToMem(profile, nullptr, &size)) {
            bytes.resize(size);
            if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
                bytes.clear();
        }
    }
    for (cmsStage* stage : {grid, inks, light})
        if (stage)
            cmsStageFree(stage);
    if (name)
        cmsMLUfree(name);
    if (table)
        cmsPipelineFree(table);
    if (profile)
        cmsCloseProfile(profile);
    if (toLab)
        cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    return bytes;
}

bool writeCmykJpeg(const std::string& path, int width, int height,
                   const std::vector<std::uint8_t>& icc)
{
    if (icc.empty() || icc.size() > 65519 || width <= 0 || height <= 0)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<JpegFailure*>(common->err)->jump, 1);
    };
    std::vector<JSAMPLE> row(std::size_t(width) * 4);
    if (setjmp(failure.jump)) {
        jpeg_destroy_compress(&info);
        std::fclose(file);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JOCTET> segment = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1};
    segment.insert(segment.end(), icc.begin(), icc.end());
    jpeg_write_marker(&info, JPEG_APP0 + 2, segment.data(), unsigned(segment.size()));
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            JSAMPLE* ink = row.data() + std::size_t(x) * 4;
            ink[0] = JSAMPLE(255 * x / width);
            ink[1] = JSAMPLE(255 * y / height);
            ink[2] = JSAMPLE(255 - 255 * (x + y) / (width + height));
            ink[3] = JSAMPLE((x / 64 + y / 64) % 3 * 60);
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

Image lcmsSrgbFromCmykJpeg(const std::string& path, const std::vector<std::uint8_t>& icc)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<JpegFailure*>(common->err)->jump, 1);
    };
    Image picture;
    std::vector<JSAMPLE> inks;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&info);
    const int width = int(info.output_width), height = int(info.output_height);
    inks.resize(size_t(width) * size_t(height) * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = inks.data() + size_t(info.output_scanline) * size_t(width) * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    const bool inverted = info.saw_Adobe_marker;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);

    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE to = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        from && to ? cmsCreateTransform(from, inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, to,
                                        TYPE_RGB_8, INTENT_PERCEPTUAL,
                                        cmsFLAGS_BLACKPOINTCOMPENSATION)
                   : nullptr;
    if (transform && picture.create(width, height, 72.0f)) {
        std::vector<std::uint8_t> rgb(size_t(width) * 3);
        for (int y = 0; y < height; ++y) {
            cmsDoTransform(transform, inks.data() + size_t(y) * size_t(width) * 4, rgb.data(),
                           cmsUInt32Number(width));
            for (int x = 0; x < width; ++x)
                picture.rowFromTop(y)[x] = 0xFF000000u | (std::uint32_t(rgb[3 * x]) << 16) |
                                           (std::uint32_t(rgb[3 * x + 1]) << 8) | rgb[3 * x + 2];
        }
    } else {
        picture = Image();
    }
    if (transform)
        cmsDeleteTransform(transform);
    if (from)
        cmsCloseProfile(from);
    if (to)
        cmsCloseProfile(to);
    return picture;
}

Image lcmsSrgbCopy(const Image& picture, const std::vector<std::uint8_t>& icc)
{
    Image copy = picture;
    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE to = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        from && to ? cmsCreateTransform(from, TYPE_BGRA_8, to, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                                        cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA)
                   : nullptr;
    if (transform) {
        cmsDoTransform(transform, copy.pixels(), copy.pixels(), cmsUInt32Number(copy.pixelCount()));
        cmsDeleteTransform(transform);
    } else {
        copy = Image();
    }
    if (from)
        cmsCloseProfile(from);
    if (to)
        cmsCloseProfile(to);
    return copy;
}

int largestChannelDifference(const Image& a, const Image& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return 256;
    int most = 0;
    for (size_t i = 0; i < a.pixelCount(); ++i)
        for (int shift : {0, 8, 16})
            most = std::max(most, std::abs(int((a.pixels()[i] >> shift) & 0xFF) -
                                           int((b.pixels()[i] >> shift) & 0xFF)));
    return most;
}

Image patchChart(int patch)
{
    static constexpr std::uint32_t kPatches[3][8] = {
        {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF00FFFF, 0xFFFF00FF, 0xFFFFFF00, 0xFF000000,
         0xFFFFFFFF},
        {0xFFC08060, 0xFFE0B090, 0xFF8C5A3C, 0xFF3C6E28, 0xFF5A8C32, 0xFF28506E, 0xFF406080,
         0xFFA0C020},
        {0xFF101010, 0xFF303030, 0xFF606060, 0xFF808080, 0xFFA0A0A0, 0xFFC8C8C8, 0xFFB03020,
         0xFF2080B0},
    };
    Image chart;
    if (!chart.create(8 * patch, 3 * patch, 72.0f))
        return chart;
    for (int y = 0; y < 3 * patch; ++y)
        for (int x = 0; x < 8 * patch; ++x)
            chart.rowFromTop(y)[x] = kPatches[y / patch][x / patch];
    return chart;
}

}  // namespace tavelune::reference
