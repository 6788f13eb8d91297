// The vector kernels of the fused films against the one-pixel path: every colour, every
// setting family, odd lengths and unaligned runs, on the AVX2 stages and on the AVX-512 ones.
#include "film/fused_vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "film/film_settings.h"
#include "film/fused_colour.h"
#include "film/fused_mono.h"
#include "film/fused_slide.h"
#include "film/slide_recipe.h"
#include "film/vector_path_switch.h"
#include "pixel/tone_kernels.h"

namespace tavelune {
namespace {

// A film under test: its one-pixel path and its run().
struct Film {
    std::string name;
    std::function<uint32_t(uint32_t)> pixel;
    std::function<void(const uint32_t*, uint32_t*, size_t)> run;
};

template <typename F>
Film filmOf(std::string name, std::shared_ptr<F> film)
{
    return {std::move(name), [film](uint32_t p) { return (*film)(p); },
            [film](const uint32_t* s, uint32_t* d, size_t n) { film->run(s, d, n); }};
}

struct Setting {
    int exposure;
    int saturation;
    bool portrait;  // high key for the monochrome film
    bool blackCorrection;
};

// Every exposure end and the middle, and the three saturation paths (reduce, none, second
// pass) at their ends and next to 0.
constexpr Setting kSettings[] = {
    {0, 0, false, false},  {0, 0, true, true},     {-8, -10, false, true}, {8, -1, true, false},
    {-3, 1, false, false}, {5, 10, true, true},    {8, 0, false, true},    {-8, 3, true, false},
    {1, -4, true, false},  {-1, 10, false, false},
};

std::vector<Film> filmsFor(const Setting& s)
{
    auto text = [&](const char* film) {
        char name[96];
        std::snprintf(name, sizeof name, "%s exposure %d saturation %d %s%s", film, s.exposure,
                      s.saturation, s.portrait ? "portrait/high key" : "",
                      s.blackCorrection ? " black correction" : "");
        return std::string(name);
    };
    return {
        filmOf(text("Velvia"),
               std::make_shared<FusedColourFilm>(s.exposure, s.saturation, s.portrait)),
        filmOf(text("E100 VS"),
               std::make_shared<FusedSlideFilm>(*slideRecipeFor(kFilmE100Vs), s.exposure,
                                                s.saturation, s.portrait)),
        filmOf(text("Astia"),
               std::make_shared<FusedSlideFilm>(*slideRecipeFor(kFilmAstia), s.exposure,
                                                s.saturation, s.portrait)),
        filmOf(text("T-Max"), std::make_shared<FusedMonoFilm>(s.exposure, s.saturation, s.portrait,
                                                              s.blackCorrection)),
    };
}

class FusedVector : public testing::Test {
protected:
    void SetUp() override
    {
        if (!fusedVectorAvailable())
            GTEST_SKIP() << "this CPU has no vector kernels";
        ASSERT_TRUE(fusedVectorEnabled());
    }
    void TearDown() override { setFusedVectorEnabled(true); }
};

// The film comparisons, once with the AVX2 stages alone and once with the AVX-512 ones.
enum class Stages { Avx2, Avx512 };

class FusedVectorFilm : public testing::TestWithParam<Stages> {
protected:
    void SetUp() override
    {
        if (!fusedVectorAvailable())
            GTEST_SKIP() << "this CPU has no vector kernels";
        if (GetParam() == Stages::Avx512 && !fusedVbmiAvailable())
            GTEST_SKIP() << "this CPU has no AVX-512 VBMI: its stages are not tested here";
        setFusedVbmiEnabled(GetParam() == Stages::Avx512);
        ASSERT_TRUE(fusedVectorEnabled());
        ASSERT_EQ(fusedVbmiEnabled(), GetParam() == Stages::Avx512);
    }
    void TearDown() override
    {
        setFusedVectorEnabled(true);
        setFusedVbmiEnabled(true);
    }
};

INSTANTIATE_TEST_SUITE_P(Stages, FusedVectorFilm, testing::Values(Stages::Avx2, Stages::Avx512),
                         [](const testing::TestParamInfo<Stages>& stages) {
                             return stages.param == Stages::Avx2 ? "Avx2" : "Avx512Vbmi";
                         });

void expectRunMatchesPixels(const Film& film, const std::vector<uint32_t>& src)
{
    std::vector<uint32_t> fast(src.size());
    film.run(src.data(), fast.data(), src.size());
    for (size_t i = 0; i < src.size(); ++i) {
        uint32_t expected = film.pixel(src[i]);
        if (fast[i] != expected) {
            ADD_FAILURE() << film.name << ": source " << std::hex << src[i] << " gives " << fast[i]
                          << ", one pixel at a time " << expected;
            return;
        }
    }
}

TEST_F(FusedVector, DivisionsAreExactOverTheirWholeRange)
{
    std::vector<int32_t> x;
    for (int32_t v = -255 * 255; v <= 255 * 255; ++v) x.push_back(v);
    std::vector<int32_t> q(x.size());
    divideBy255Vector(x.data(), q.data(), x.size());
    for (size_t i = 0; i < x.size(); ++i) ASSERT_EQ(q[i], x[i] / 255) << x[i];

    x.clear();
    for (int32_t v = 0; v <= 3 * 255; ++v) x.push_back(v);
    q.resize(x.size());
    divideBy3Vector(x.data(), q.data(), x.size());
    for (size_t i = 0; i < x.size(); ++i) ASSERT_EQ(q[i], x[i] / 3) << x[i];
}

TEST(FusedMixParts, GiveEveryMixerTermOfEveryPercent)
{
    for (int percent = -200; percent <= 200; ++percent) {
        const MixPart part = mixPartOf(percent);
        for (int level = 0; level < 256; ++level)
            ASSERT_EQ(mixPartTerm(part, level), mixTerm(level, percent))
                << "level " << level << " percent " << percent;
    }
}

// A path the CPU lacks must never be turned on: its instructions would stop the program.
TEST(VectorPathSwitch, TurnsOnOnlyWhatTheCpuHas)
{
    for (bool cpuHasIt : {false, true}) {
        VectorPathSwitch path(cpuHasIt);
        EXPECT_EQ(path.enabled(), cpuHasIt);
        path.setEnabled(false);
        EXPECT_FALSE(path.enabled());
        path.setEnabled(true);
        EXPECT_EQ(path.enabled(), cpuHasIt) << "CPU has it: " << cpuHasIt;
        EXPECT_EQ(path.available(), cpuHasIt);
    }
}

TEST_F(FusedVector, HsvAdjustmentOfEveryColour)
{
    struct Arguments {
        int hueShift, saturation, value, from, to;
    };
    // The desaturating step; a narrow band; shifts that wrap either way with value changes;
    // a band through hue 0.
    constexpr Arguments kAdjustments[] = {
        {0, -50, 0, 0, 359},        {0, 20, 0, 45, 75},    {180, -100, 30, 10, 350},
        {-170, 100, -100, 90, 270}, {37, 15, 60, 300, 20},
    };
    std::vector<uint32_t> all(size_t(1) << 24);
    for (uint32_t i = 0; i < all.size(); ++i) all[i] = 0xFF000000u | i;
    for (const Arguments& a : kAdjustments) {
        HsvAdjustment adjustment(a.hueShift, a.saturation, a.value, a.from, a.to);
        std::vector<uint32_t> fast = all;
        adjustHsvVector(adjustment.parts(), fast.data(), fast.size());
        for (size_t i = 0; i < all.size(); ++i) {
            uint32_t expected = adjustment.apply(all[i]);
            if (fast[i] != expected) {
                ADD_FAILURE() << "shift " << a.hueShift << " band " << a.from << ".." << a.to
                              << ": " << std::hex << all[i] << " gives " << fast[i]
                              << ", one pixel at a time " << expected;
                break;
            }
        }
    }
}

TEST_P(FusedVectorFilm, EveryColourAtEachFilmsDefaults)
{
    std::vector<uint32_t> all(size_t(1) << 24);
    for (uint32_t i = 0; i < all.size(); ++i) all[i] = 0xFF000000u | i;
    std::vector<Film> films = filmsFor(kSettings[0]);
    // Monochrome's other tables: high key with black correction.
    films.push_back(filmsFor(kSettings[1])[3]);
    for (const Film& film : films) expectRunMatchesPixels(film, all);
}

TEST_P(FusedVectorFilm, SpreadOfColoursForEverySettingFamily)
{
    // Every 13th colour, with the alpha byte varied: the films ignore the source's alpha.
    std::vector<uint32_t> some;
    for (uint32_t i = 0; i < (1u << 24); i += 13) some.push_back((i * 2654435761u) << 24 | i);
    for (const Setting& s : kSettings)
        for (const Film& film : filmsFor(s)) expectRunMatchesPixels(film, some);
}

TEST_P(FusedVectorFilm, AnyBandShapeOfASlideRecipe)
{
    // Bands through hue 0 (which greys have), wrapping round, one degree wide, shifts that
    // wrap past 0 and 360, no band at all; layers at part strength.
    const SlideBand shapes[][SlideRecipe::kMaxBands] = {
        {{0, 30, -20, 40}, {350, 20, 10, -30}, {200, 200, 5, 50}, {100, 359, 180, -100}},
        {{1, 2, 90, 100}, {44, 76, -7, 25}, {300, 359, 30, 10}, {59, 61, -180, 0}},
        {{10, 350, 170, 100}, {90, 270, -170, -100}, {}, {}},
    };
    std::vector<uint32_t> some;
    for (uint32_t i = 0; i < (1u << 24); i += 61) some.push_back(0xFF000000u | i);
    for (int count : {0, 2, 4}) {
        for (const auto& bands : shapes) {
            SlideRecipe recipe = *slideRecipeFor(kFilmE100Vs);
            recipe.strength = 180;
            recipe.bandCount = count;
            std::copy(std::begin(bands), std::end(bands), recipe.bands);
            for (const Setting& s : {kSettings[0], kSettings[2], kSettings[5]}) {
                auto film =
                    std::make_shared<FusedSlideFilm>(recipe, s.exposure, s.saturation, s.portrait);
                expectRunMatchesPixels(filmOf("bands from " + std::to_string(bands[0].from) +
                                                  " count " + std::to_string(count) +
                                                  " saturation " + std::to_string(s.saturation),
                                              film),
                                       some);
            }
        }
    }
}

TEST_P(FusedVectorFilm, OddLengthsAndUnalignedRunsTouchOnlyTheirPixels)
{
    std::vector<uint32_t> colours;
    for (uint32_t i = 0; i < 16400 + 8; ++i) colours.push_back(0xFF000000u | (i * 2654435761u));
    for (const Setting& s : {kSettings[0], kSettings[2], kSettings[5]}) {
        for (const Film& film : filmsFor(s)) {
            for (size_t n : {0, 1, 7, 8, 17, 16385}) {
                for (size_t offset : {0, 1, 3}) {
                    SCOPED_TRACE(film.name + " n " + std::to_string(n) + " offset " +
                                 std::to_string(offset));
                    std::vector<uint32_t> dst(n + 16, 0x12345678u);
                    film.run(colours.data() + offset, dst.data() + offset, n);
                    for (size_t i = 0; i < dst.size(); ++i) {
                        bool inside = i >= offset && i < offset + n;
                        uint32_t expected = inside ? film.pixel(colours[i]) : uint32_t(0x12345678u);
                        ASSERT_EQ(dst[i], expected) << "at " << i;
                    }
                    // In place, as the repeat skipping may run it.
                    std::vector<uint32_t> same(colours.begin(), colours.begin() + long(n + 16));
                    film.run(same.data() + offset, same.data() + offset, n);
                    for (size_t i = offset; i < offset + n; ++i)
                        ASSERT_EQ(same[i], dst[i]) << "in place at " << i;
                }
            }
        }
    }
}

TEST_P(FusedVectorFilm, TurnedOffRunsOnePixelAtATimeWithTheSameBytes)
{
    std::vector<uint32_t> some;
    for (uint32_t i = 0; i < (1u << 24); i += 4099) some.push_back(0xFF000000u | i);
    for (const Film& film : filmsFor(kSettings[5])) {
        std::vector<uint32_t> vector(some.size());
        std::vector<uint32_t> scalar(some.size());
        film.run(some.data(), vector.data(), some.size());
        setFusedVectorEnabled(false);
        EXPECT_FALSE(fusedVectorEnabled());
        film.run(some.data(), scalar.data(), some.size());
        setFusedVectorEnabled(true);
        EXPECT_EQ(vector, scalar) << film.name;
    }
}

}  // namespace
}  // namespace tavelune
