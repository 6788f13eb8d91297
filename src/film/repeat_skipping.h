// Runs of one colour filmed once: smooth photographs repeat the pixel before in about half
// their pixels, and a pointwise film gives a repeated input the same output.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavelune {

/// dst[i] = film(src[i]) for n pixels through film(const uint32_t*, uint32_t*, size_t), which
/// is handed each colour of a run once where runs are common. dst may be src.
template <typename Film>
void runSkippingRepeats(const uint32_t* src, uint32_t* dst, size_t n, const Film& film)
{
    constexpr size_t kBlock = 1024;
    // Below this share of repeats, gathering the colours costs more than it saves.
    constexpr size_t kWorthwhileRepeats = kBlock / 4;
    uint32_t colours[kBlock];
    uint32_t filmed[kBlock];
    uint16_t colourOf[kBlock];  // by pixel: its entry in colours
    for (size_t begin = 0; begin < n;) {
        const size_t count = n - begin < kBlock ? n - begin : kBlock;
        const uint32_t* in = src + begin;
        // A 32-bit count: with a 64-bit one the compiler widens every compare, and the scan
        // took a twentieth of the film's time.
        uint32_t repeats = 0;
        for (size_t i = 1; i < count; ++i)
            repeats += in[i] == in[i - 1];
        if (size_t(repeats) * kBlock < kWorthwhileRepeats * count) {
            film(in, dst + begin, count);
            begin += count;
            continue;
        }
        // Without branches: whether a pixel repeats the one before is close to a coin toss.
        size_t last = 0;
        colours[0] = in[0];
        colourOf[0] = 0;
        for (size_t i = 1; i < count; ++i) {
            last += in[i] != in[i - 1];
            colours[last] = in[i];
            colourOf[i] = uint16_t(last);
        }
        film(colours, filmed, last + 1);
        uint32_t* out = dst + begin;
        for (size_t i = 0; i < count; ++i)
            out[i] = filmed[colourOf[i]];
        begin += count;
    }
}

}  // namespace tavelune
