// Lattice sampling: the film runs over whole planes of 8-bit colours, then each lattice point
// blends the outputs around it.
#include "film/film_lut.h"

#include <cstdint>
#include <map>

#include "engine/image.h"
#include "film/film_step.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

// Where lattice point i of an axis falls between two 8-bit values.
struct AxisPoint {
    int low;  // index into the axis's codes
    int high;
    double t;  // weight of high
};

}  // namespace

bool sampleFilmLattice(const FilmSettings& settings, int size, FilmLattice& out)
{
    if (size < 2 || size > 256)
        return false;
    FilmSettings film = settings;
    film.sharpnessPosition = 5;

    // The 8-bit values any lattice point needs, each once.
    std::vector<int> codes;
    std::vector<AxisPoint> axis;
    for (int i = 0; i < size; ++i) {
        int num = i * 255;
        int low = num / (size - 1);
        int rem = num % (size - 1);
        auto indexOf = [&](int code) {
            if (codes.empty() || codes.back() != code)
                codes.push_back(code);
            return int(codes.size()) - 1;
        };
        int lowIndex = indexOf(low);
        int highIndex = rem == 0 ? lowIndex : indexOf(low + 1);
        axis.push_back({lowIndex, highIndex, double(rem) / (size - 1)});
    }
    const int k = int(codes.size());

    // One plane of red x green codes per blue code that a lattice plane needs.
    auto filmPlane = [&](int blue, Image& result) {
        Image plane;
        if (!plane.create(k, k, 72.0f))
            return false;
        for (int g = 0; g < k; ++g) {
            uint32_t* row = plane.rowFromTop(g);
            for (int r = 0; r < k; ++r)
                row[r] = makePixel(255, codes[size_t(r)], codes[size_t(g)], blue);
        }
        return runFilmStep(plane, result, film, nullptr, 100);
    };

    out.size = size;
    out.rgb.assign(size_t(size) * size * size * 3, 0.0f);
    // Planes by blue code; the lattice walks blue upwards, so planes below are done with.
    std::map<int, Image> planes;
    auto planeFor = [&](int blue) -> const Image* {
        auto found = planes.find(blue);
        if (found != planes.end())
            return &found->second;
        Image& result = planes[blue];
        return filmPlane(blue, result) ? &result : nullptr;
    };
    for (int b = 0; b < size; ++b) {
        const AxisPoint& pb = axis[size_t(b)];
        const Image* lower = planeFor(codes[size_t(pb.low)]);
        const Image* upper = planeFor(codes[size_t(pb.high)]);
        if (!lower || !upper)
            return false;
        planes.erase(planes.begin(), planes.find(codes[size_t(pb.low)]));
        for (int g = 0; g < size; ++g) {
            const AxisPoint& pg = axis[size_t(g)];
            for (int r = 0; r < size; ++r) {
                const AxisPoint& pr = axis[size_t(r)];
                float* dst = &out.rgb[((size_t(b) * size + g) * size + r) * 3];
                double sum[3] = {0, 0, 0};
                for (int corner = 0; corner < 8; ++corner) {
                    double w = (corner & 1 ? pr.t : 1 - pr.t) * (corner & 2 ? pg.t : 1 - pg.t) *
                               (corner & 4 ? pb.t : 1 - pb.t);
                    if (w == 0)
                        continue;
                    const Image& plane = corner & 4 ? *upper : *lower;
                    uint32_t p = plane.rowFromTop(
                        corner & 2 ? pg.high : pg.low)[corner & 1 ? pr.high : pr.low];
                    sum[0] += w * redOf(p);
                    sum[1] += w * greenOf(p);
                    sum[2] += w * blueOf(p);
                }
                for (int c = 0; c < 3; ++c) dst[c] = float(sum[c] / 255.0);
            }
        }
    }
    return true;
}

}  // namespace tavelune
