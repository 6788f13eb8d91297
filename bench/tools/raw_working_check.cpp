// How a camera raw's working copy compares with its full-size development once reduced to the
// working size: the time of each road and the largest channel's mean difference in levels.
//   raw_working_check RAW [WORKING_SIZE]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/fit_within.h"
#include "exif/exif_data.h"
#include "job/file_conversion.h"

using namespace tavelune;

namespace {

double seconds(const std::chrono::steady_clock::time_point& since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const int fit = argc > 2 ? std::atoi(argv[2]) : 800;
    ExifData exif;
    Image working, full;
    Rect fullSize;
    auto start = std::chrono::steady_clock::now();
    if (const WorkingPictureOpen opened =
            openWorkingPicture(argv[1], working, exif, fit, true, &fullSize);
        !opened) {
        std::fprintf(stderr, "%s\n", imageErrorReason(opened.status.failure()).c_str());
        return 1;
    }
    const double workingTime = seconds(start);
    start = std::chrono::steady_clock::now();
    if (const WorkingPictureOpen opened = openWorkingPicture(argv[1], full, exif, 0, true);
        !opened) {
        std::fprintf(stderr, "%s\n", imageErrorReason(opened.status.failure()).c_str());
        return 1;
    }
    const double fullTime = seconds(start);
    if (full.width() != fullSize.right || full.height() != fullSize.bottom) {
        std::printf("full size %d x %d, working copy claimed %d x %d\n", full.width(),
                    full.height(), fullSize.right, fullSize.bottom);
        return 1;
    }
    // The working road's own reduction, from the full development.
    fitWithin(full, fit);
    if (full.width() != working.width() || full.height() != working.height())
        return 1;
    double sums[3] = {0, 0, 0};
    for (std::size_t i = 0; i < full.pixelCount(); ++i)
        for (int c = 0; c < 3; ++c)
            sums[c] += std::abs(int((full.pixels()[i] >> (8 * c)) & 0xFF) -
                                int((working.pixels()[i] >> (8 * c)) & 0xFF));
    const double worst = *std::max_element(sums, sums + 3) / double(full.pixelCount());
    std::printf("%s: %d x %d, working copy %d x %d in %.2f s, full development %.2f s, "
                "mean difference at the working size %.2f levels\n",
                argv[1], fullSize.right, fullSize.bottom, working.width(), working.height(),
                workingTime, fullTime, worst);
    return 0;
}
