// tavelune-cli lut, run as a program: the files it writes, bad use, and other programs
// applying its LUTs to reproduce tavelune-cli convert.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "film/film_step.h"
#include "pixel/pixel.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::runTaveluneCli;
using test::shellQuote;

// The film's output for one colour, from the reference chain.
uint32_t filmOf(uint32_t colour, const FilmSettings& settings)
{
    Image source;
    source.create(1, 1, 72.0f, &colour);
    Image result;
    EXPECT_TRUE(runFilmStep(source, result, settings, nullptr, 92, FilmEngine::Reference));
    return result.pixels()[0];
}

// 16-bit RGB samples of a square PNG, top row first; empty when it is not one. The vector
// lives on the heap so that no destructor is skipped when libpng longjmps.
std::vector<uint16_t> read16BitPng(const std::string& path, int& side)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return {};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<uint16_t>* samples = new std::vector<uint16_t>;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        delete samples;
        return {};
    }
    png_init_io(png, file);
    png_read_png(png, info, PNG_TRANSFORM_SWAP_ENDIAN, nullptr);
    side = int(png_get_image_width(png, info));
    png_bytepp rows = png_get_rows(png, info);
    if (png_get_bit_depth(png, info) == 16 && png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB &&
        png_get_image_height(png, info) == png_uint_32(side)) {
        samples->resize(size_t(side) * side * 3);
        for (int y = 0; y < side; ++y)
            std::memcpy(samples->data() + size_t(y) * side * 3, rows[y], size_t(side) * 6);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    std::vector<uint16_t> out = std::move(*samples);
    delete samples;
    return out;
}

TEST(LutCommand, CubeFileHoldsTheLatticeWithTheFilmsOwnCorners)
{
    test::TempDir dir;
    const std::string cube = dir.file("look.CUBE");
    auto run = runTaveluneCli("lut --film e100vs --portrait --exposure 2 --size 65 -o " +
                              shellQuote(cube));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, cube + "\n");
    std::ifstream in(cube);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "TITLE \"Tavelune E100 VS, exposure +2, saturation +0, portrait\"");
    std::getline(in, line);
    EXPECT_EQ(line, "LUT_3D_SIZE 65");
    std::getline(in, line);
    std::getline(in, line);
    std::vector<std::array<double, 3>> rows;
    double r, g, b;
    while (in >> r >> g >> b) rows.push_back({r, g, b});
    ASSERT_EQ(rows.size(), size_t(65 * 65 * 65));
    FilmSettings settings;
    settings.filmType = kFilmE100Vs;
    settings.portrait = true;
    settings.exposure = 2;
    // The corners are 8-bit colours; red runs fastest.
    const size_t last = 64;
    for (auto [index, colour] : {std::pair{size_t(0), 0xFF000000u},
                                 {last, 0xFFFF0000u},
                                 {last * 65, 0xFF00FF00u},
                                 {last * 65 * 65, 0xFF0000FFu},
                                 {rows.size() - 1, 0xFFFFFFFFu}}) {
        uint32_t expected = filmOf(colour, settings);
        EXPECT_NEAR(rows[index][0] * 255, redOf(expected), 1e-3) << std::hex << colour;
        EXPECT_NEAR(rows[index][1] * 255, greenOf(expected), 1e-3) << std::hex << colour;
        EXPECT_NEAR(rows[index][2] * 255, blueOf(expected), 1e-3) << std::hex << colour;
    }
}

TEST(LutCommand, HaldPngIsSixteenBitsWithExactPointsOnEightBitValues)
{
    test::TempDir dir;
    const std::string hald = dir.file("look.png");
    auto run = runTaveluneCli("lut --film astia --saturation 3 -o " + shellQuote(hald));
    ASSERT_EQ(run.status, 0) << run.err;
    int side = 0;
    std::vector<uint16_t> samples = read16BitPng(hald, side);
    ASSERT_EQ(side, 512);
    ASSERT_EQ(samples.size(), size_t(512 * 512 * 3));
    FilmSettings settings;
    settings.filmType = kFilmAstia;
    settings.saturation = 3;
    // Level 8: 64 points an axis, and points 0, 21, 42, 63 fall on 0, 85, 170, 255.
    for (int b = 0; b < 64; b += 21)
        for (int g = 0; g < 64; g += 21)
            for (int r = 0; r < 64; r += 21) {
                uint32_t expected =
                    filmOf(makePixel(255, r / 21 * 85, g / 21 * 85, b / 21 * 85), settings);
                const uint16_t* v = &samples[size_t(r + 64 * g + 4096 * b) * 3];
                EXPECT_EQ(v[0], redOf(expected) * 257) << r << " " << g << " " << b;
                EXPECT_EQ(v[1], greenOf(expected) * 257) << r << " " << g << " " << b;
                EXPECT_EQ(v[2], blueOf(expected) * 257) << r << " " << g << " " << b;
            }
}

TEST(LutCommand, BadUseExitsWithTwoAndWritesNothing)
{
    test::TempDir dir;
    const std::string cube = shellQuote(dir.file("x.cube"));
    const std::string png = shellQuote(dir.file("x.png"));
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"lut", "-o FILE"},
        {"lut --sharpness 2 -o " + cube, "not a colour transform"},
        {"lut --size 17 -o " + cube, "33 or 65"},
        {"lut --level 10 -o " + png, "8 or 12"},
        {"lut --size 33 -o " + png, "--size is for a .cube"},
        {"lut --level 8 -o " + cube, "--level is for a .png"},
        {"lut -o " + shellQuote(dir.file("x.jpg")), ".cube or .png"},
        {"lut --quality 80 -o " + cube, "unknown option --quality"},
        {"lut --film kodachrome -o " + cube, "--film must be"},
        {"lut stray -o " + cube, "unexpected argument"},
    };
    for (const Case& c : cases) {
        auto run = runTaveluneCli(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    auto help = runTaveluneCli("lut --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("sharpening is not a colour transform"), std::string::npos);
}

bool onPath(const std::string& program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Share of pixels whose channels all lie within 2 levels of the reference.
double shareWithinTwoLevels(const std::string& reference, const std::string& other)
{
    Image a, b;
    if (!openImage(reference, a) || !openImage(other, b) || a.width() != b.width() ||
        a.height() != b.height())
        return 0.0;
    size_t close = 0;
    for (size_t i = 0; i < a.pixelCount(); ++i) {
        bool near = true;
        for (int c = 0; c < 3; ++c)
            near = near && std::abs(channelOf(a.pixels()[i], c) - channelOf(b.pixels()[i], c)) <= 2;
        close += near;
    }
    return double(close) / double(a.pixelCount());
}

// Trilinear interpolation between exact lattice points keeps 99 % of the pixels within 2
// levels for every smooth look. Positive exposure (a steep curve near black) and negative
// saturation (whole HSV percents over every colour) are left out: no lattice follows them.
const char* const kPeerCases[] = {
    "--film velvia", "--film velvia --saturation 4",
    "--film e100vs", "--film e100vs --portrait --saturation 3",
    "--film astia",  "--film astia --portrait --exposure -3 --saturation 2",
    "--film tmax",   "--film tmax --no-high-key --black-correction --exposure -3",
};

void expectPeerReproduces(const std::string& peer, const std::string& lutOption,
                          const std::string& lutFile,
                          const std::function<std::string(const std::string&, const std::string&,
                                                          const std::string&)>& command)
{
    test::TempDir dir;
    const std::string photo = dir.file("photo.bmp");
    ASSERT_EQ(runTaveluneCli("convert --no-film " + shellQuote(test::samplePath("coffee.png")) +
                             " " + shellQuote(photo))
                  .status,
              0);
    for (const char* options : kPeerCases) {
        SCOPED_TRACE(peer + " " + options);
        const std::string lut = dir.file(lutFile);
        const std::string reference = dir.file("reference.bmp");
        const std::string applied = dir.file("applied.png");
        ASSERT_EQ(runTaveluneCli(std::string("lut ") + options + " " + lutOption + " -o " +
                                 shellQuote(lut))
                      .status,
                  0);
        ASSERT_EQ(runTaveluneCli(std::string("convert --sharpness 5 ") + options + " " +
                                 shellQuote(photo) + " " + shellQuote(reference))
                      .status,
                  0);
        ASSERT_EQ(std::system(command(photo, lut, applied).c_str()), 0);
        double share = shareWithinTwoLevels(reference, applied);
        std::printf("%s %s: %.2f %% within 2 levels\n", peer.c_str(), options, 100 * share);
        EXPECT_GE(share, 0.99);
    }
}

TEST(LutPeers, ImageMagickHaldClutReproducesConvert)
{
    if (!onPath("convert"))
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    expectPeerReproduces(
        "ImageMagick", "--level 12", "hald.png",
        [](const std::string& photo, const std::string& lut, const std::string& out) {
            return "convert " + shellQuote(photo) + " " + shellQuote(lut) +
                   " -hald-clut -depth 8 " + shellQuote(out);
        });
}

TEST(LutPeers, FfmpegLut3dReproducesConvert)
{
    if (!onPath("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed (it is large, so CI does not install it)";
    expectPeerReproduces(
        "ffmpeg", "--size 65", "look.cube",
        [](const std::string& photo, const std::string& lut, const std::string& out) {
            return "ffmpeg -loglevel error -y -i " + shellQuote(photo) +
                   " -vf lut3d=file=" + shellQuote(lut) + " -pix_fmt rgb24 " + shellQuote(out);
        });
}

}  // namespace
}  // namespace tavelune
