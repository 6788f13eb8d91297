// The tables are rebuilt from the pipeline the way LittleCMS 2 builds its own MatShaper8 data
// (cmsopt.c, OptimizeMatrixShaper), from the same public curve evaluators. SrgbConversion
// compares the two on sample colours before trusting these, so another LittleCMS that builds
// them otherwise only costs the speed.
#include "engine/matrix_shaper.h"

#include <lcms2_plugin.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavelune {
namespace {

std::int32_t toFixed14(double value)
{
    return std::int32_t(std::floor(value * 16384.0 + 0.5));
}

// LittleCMS's quick floor: the magic number leaves 16 bits of fraction, which rounds up values
// a hair under an integer; its tables are made with it.
int quickFloor(double value)
{
    double shifted = value + 68719476736.0 * 1.5;
    std::int32_t halves[2];
    std::memcpy(halves, &shifted, sizeof halves);
    return halves[0] >> 16;
}

std::uint16_t quickSaturateWord(double value)
{
    value += 0.5;
    if (value <= 0)
        return 0;
    if (value >= 65535.0)
        return 0xFFFF;
    return std::uint16_t(quickFloor(value - 32767.0) + 32767);
}

std::uint8_t wordToByte(std::uint16_t word)
{
    return std::uint8_t(((std::uint32_t(word) * 65281u + 8388608u) >> 24) & 0xFFu);
}

cmsBool catchMatrixShaper(cmsPipeline** lut, cmsUInt32Number, cmsUInt32Number* input,
                          cmsUInt32Number* output, cmsUInt32Number*)
{
    if (auto* into = static_cast<MatrixShaper8*>(cmsGetContextUserData(cmsGetPipelineContextID(*lut))))
        into->catchFrom(*lut, *input, *output);
    return FALSE;  // LittleCMS goes on to build its own transform, the fallback
}

cmsPluginOptimization catchingPlugin = {
    {cmsPluginMagicNumber, LCMS_VERSION, cmsPluginOptimizationSig, nullptr}, catchMatrixShaper};

}  // namespace

cmsContext MatrixShaper8::catchingContext(MatrixShaper8& into)
{
    return cmsCreateContext(&catchingPlugin, &into);
}

void MatrixShaper8::catchFrom(const cmsPipeline* lut, cmsUInt32Number input,
                              cmsUInt32Number output)
{
    m_caught = false;
    if (T_CHANNELS(input) != 3 || T_CHANNELS(output) != 3 || T_BYTES(input) != 1 ||
        T_BYTES(output) != 1)
        return;
    cmsStage* curves1 = nullptr;
    cmsStage* matrix1 = nullptr;
    cmsStage* matrix2 = nullptr;
    cmsStage* curves2 = nullptr;
    cmsMAT3 matrix;
    const cmsFloat64Number* offset = nullptr;
    if (cmsPipelineCheckAndRetreiveStages(lut, 4, cmsSigCurveSetElemType, cmsSigMatrixElemType,
                                          cmsSigMatrixElemType, cmsSigCurveSetElemType, &curves1,
                                          &matrix1, &matrix2, &curves2)) {
        const auto* first = static_cast<const _cmsStageMatrixData*>(cmsStageData(matrix1));
        const auto* second = static_cast<const _cmsStageMatrixData*>(cmsStageData(matrix2));
        if (first->Offset != nullptr)
            return;
        _cmsMAT3per(&matrix, reinterpret_cast<const cmsMAT3*>(second->Double),
                    reinterpret_cast<const cmsMAT3*>(first->Double));
        offset = second->Offset;
    } else if (cmsPipelineCheckAndRetreiveStages(lut, 3, cmsSigCurveSetElemType,
                                                 cmsSigMatrixElemType, cmsSigCurveSetElemType,
                                                 &curves1, &matrix1, &curves2)) {
        const auto* only = static_cast<const _cmsStageMatrixData*>(cmsStageData(matrix1));
        std::memcpy(&matrix, only->Double, sizeof matrix);
        offset = only->Offset;
    } else {
        return;
    }
    // An identity matrix is folded into the curves instead: another evaluator.
    if (_cmsMAT3isIdentity(&matrix) && offset == nullptr)
        return;
    const auto* in = static_cast<const _cmsStageToneCurvesData*>(cmsStageData(curves1));
    const auto* out = static_cast<const _cmsStageToneCurvesData*>(cmsStageData(curves2));
    if (in->nCurves != 3 || out->nCurves != 3)
        return;

    std::int32_t shaper[3][256];
    for (int k = 0; k < 3; ++k) {
        for (int level = 0; level < 256; ++level) {
            const float y = cmsEvalToneCurveFloat(in->TheCurves[k], cmsFloat32Number(level / 255.0));
            if (!(y < 131072.0))
                return;
            shaper[k][level] = toFixed14(y);
        }
    }
    for (int c = 0; c < 3; ++c) {
        // Where no sum of the largest terms leaves 32 bits, neither LittleCMS's order of adding
        // nor this one overflows, and both give the same sum.
        const std::int64_t constant = (offset ? toFixed14(offset[c]) : 0) + 0x2000;
        std::int64_t largest = std::abs(constant);
        for (int k = 0; k < 3; ++k) {
            const std::int64_t entry = toFixed14(matrix.v[c].n[k]);
            std::int64_t largestTerm = 0;
            for (int level = 0; level < 256; ++level) {
                const std::int64_t term = entry * shaper[k][level];
                largestTerm = std::max(largestTerm, std::abs(term));
                m_terms[k][level][c] = std::int32_t(k == 0 ? term + constant : term);
            }
            largest += largestTerm;
        }
        if (largest > std::numeric_limits<std::int32_t>::max())
            return;
        for (int i = 0; i <= 16384; ++i) {
            float value = cmsEvalToneCurveFloat(out->TheCurves[c], cmsFloat32Number(i / 16384.0));
            if (value < 0)
                value = 0;
            if (value > 1.0)
                value = 1.0;
            m_out[c][i] = wordToByte(quickSaturateWord(value * 65535.0));
        }
    }
    m_caught = true;
}

void MatrixShaper8::convert(std::uint32_t* pixels, std::size_t count) const
{
#if defined(__SSE2__)
    // A pixel's three sums in one vector (three loads instead of nine); two pixels' levels are
    // clamped together in 16 bits, where saturation keeps every level beyond 0..16384 beyond.
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_set1_epi16(16384);
    const auto sums = [&](std::uint32_t pixel) {
        const auto terms = [&](int channel, unsigned level) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(m_terms[channel][level]));
        };
        return _mm_srai_epi32(
            _mm_add_epi32(_mm_add_epi32(terms(0, (pixel >> 16) & 0xFF),
                                        terms(1, (pixel >> 8) & 0xFF)),
                          terms(2, pixel & 0xFF)),
            14);
    };
    const auto levels = [&](__m128i first, __m128i second) {
        return _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(first, second), zero), top);
    };
    const auto written = [&](std::uint32_t pixel, int red, int green, int blue) {
        return (pixel & 0xFF000000u) | (std::uint32_t(m_out[0][red]) << 16) |
               (std::uint32_t(m_out[1][green]) << 8) | m_out[2][blue];
    };
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const std::uint32_t first = pixels[i];
        const std::uint32_t second = pixels[i + 1];
        const __m128i both = levels(sums(first), sums(second));
        pixels[i] = written(first, _mm_extract_epi16(both, 0), _mm_extract_epi16(both, 1),
                            _mm_extract_epi16(both, 2));
        pixels[i + 1] = written(second, _mm_extract_epi16(both, 4), _mm_extract_epi16(both, 5),
                                _mm_extract_epi16(both, 6));
    }
    if (i < count) {
        const std::uint32_t last = pixels[i];
        const __m128i one = sums(last);
        const __m128i level = levels(one, one);
        pixels[i] = written(last, _mm_extract_epi16(level, 0), _mm_extract_epi16(level, 1),
                            _mm_extract_epi16(level, 2));
    }
#else
    const auto level = [](std::int32_t sum) {
        const std::int32_t shifted = sum >> 14;
        return shifted < 0 ? 0 : (shifted > 16384 ? 16384 : shifted);
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pixel = pixels[i];
        const auto* r = m_terms[0][(pixel >> 16) & 0xFF];
        const auto* g = m_terms[1][(pixel >> 8) & 0xFF];
        const auto* b = m_terms[2][pixel & 0xFF];
        pixels[i] = (pixel & 0xFF000000u) |
                    (std::uint32_t(m_out[0][level(r[0] + g[0] + b[0])]) << 16) |
                    (std::uint32_t(m_out[1][level(r[1] + g[1] + b[1])]) << 8) |
                    m_out[2][level(r[2] + g[2] + b[2])];
    }
#endif
}

}  // namespace tavelune
