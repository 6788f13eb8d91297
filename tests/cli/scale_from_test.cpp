// tavelune-cli convert --scale-from: lengths chosen on a small picture, drawn on a large one.
#include <gtest/gtest.h>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "job/full_size_job.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::runTaveluneCli;
using test::shellQuote;

TEST(ScaleFrom, FrameAndSignatureScaleToTheActualWidthAsTheDesktopDoes)
{
    test::TempDir dir;
    const std::string input = dir.file("large.jpg");
    ASSERT_TRUE(test::writeSamplePhoto(input, 2400, 1600, 90));

    const std::string options =
        " --border-preset white-black --signature-text Tavelune --signature-size 14 ";
    const std::string scaled = dir.file("scaled.jpg");
    const std::string plain = dir.file("plain.jpg");
    ASSERT_EQ(runTaveluneCli("convert" + options + "--scale-from 800 " + shellQuote(input) + " " +
                             shellQuote(scaled))
                  .status,
              0);
    ASSERT_EQ(
        runTaveluneCli("convert" + options + shellQuote(input) + " " + shellQuote(plain)).status,
        0);
    Image a, b;
    ASSERT_TRUE(openImage(scaled, a));
    ASSERT_TRUE(openImage(plain, b));
    // White mat 17, 17, 17 and 32 pixels at 800 wide: three times that at 2400.
    EXPECT_EQ(a.width(), 2400 + 6 * 17);
    EXPECT_EQ(a.height(), 1600 + 3 * 17 + 3 * 32);
    EXPECT_EQ(b.width(), 2400 + 2 * 17);

    // The desktop's full-size save of a working picture 800 wide gives the same pixels.
    FullSizeJob job;
    job.path = input;
    job.geometry = GeometryRecord(2400, 1600);
    job.workingWidth = 800;
    job.workingHeight = 533;
    job.settings.border.enabled = true;
    job.settings.border.applyPreset(kPresetWhiteMatBlackBorder);
    job.settings.signature.enabled = true;
    job.settings.signature.text = "Tavelune";
    job.settings.signature.font.height = -14;
    const std::string desktop = dir.file("desktop.jpg");
    ASSERT_EQ(saveFullSize(job, desktop, {}, nullptr, nullptr), FullSizeOutcome::Saved);
    Image c;
    ASSERT_TRUE(openImage(desktop, c));
    ASSERT_EQ(c.width(), a.width());
    ASSERT_EQ(c.height(), a.height());
    EXPECT_TRUE(std::equal(a.pixels(), a.pixels() + a.pixelCount(), c.pixels()));
}

TEST(ScaleFrom, HelpExplainsTheOption)
{
    const auto run = runTaveluneCli("convert --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--scale-from WIDTH"), std::string::npos);
}

}  // namespace
}  // namespace tavelune
