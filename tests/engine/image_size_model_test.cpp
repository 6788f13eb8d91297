// Image size dialog rules: starting values, the couplings of every edit, units, both boxes,
// validation messages with their focus, and the result.
#include "engine/image_size_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "pixel/units.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using F = SizeField;

struct Shown {
    const char* pixelWidth;
    const char* pixelHeight;
    const char* documentWidth;
    const char* documentHeight;
    const char* resolution;
};

void expectShown(const ImageSizeModel& model, const Shown& shown, const char* where)
{
    EXPECT_EQ(model.text(F::PixelWidth), shown.pixelWidth) << where;
    EXPECT_EQ(model.text(F::PixelHeight), shown.pixelHeight) << where;
    EXPECT_EQ(model.text(F::DocumentWidth), shown.documentWidth) << where;
    EXPECT_EQ(model.text(F::DocumentHeight), shown.documentHeight) << where;
    EXPECT_EQ(model.text(F::Resolution), shown.resolution) << where;
}

ImageSizeModel opened(int w, int h, double dpi)
{
    ImageSizeModel model;
    model.setValues(w, h, dpi);
    return model;
}

TEST(ImageSizeModel, SetValuesClampsRoundsAndShowsInches)
{
    struct Case {
        int w, h;
        double dpi;
        Shown shown;
        ImageSizeValues values;
    };
    const Case cases[] = {
        // 800 / 72 = 11.1111, 400 / 72 = 5.5556
        {800, 400, 72, {"800", "400", "11.111", "5.556", "72"}, {800, 400, 72}},
        {0, 900, 0.5, {"1", "800", "1", "800", "1"}, {1, 800, 1}},
        // 1 / 800 = 0.00125 rounds half up to 0.001, 3 / 800 to 0.004
        {-5, 3, 1234.5, {"1", "3", "0.001", "0.004", "800"}, {1, 3, 800}},
        {300, 200, 299.99951, {"300", "200", "1", "0.667", "300"}, {300, 200, 300}},
        {10, 10, std::nan(""), {"10", "10", "10", "10", "1"}, {10, 10, 1}},
    };
    for (const Case& c : cases) {
        ImageSizeModel model;
        model.setUnit(F::DocumentWidth, kUnitMillimetre);
        model.setUnit(F::Resolution, kPixelsPerCentimetre);
        model.setValues(c.w, c.h, c.dpi);
        expectShown(model, c.shown, c.shown.pixelWidth);
        EXPECT_EQ(model.unit(F::DocumentWidth), kUnitInch);
        EXPECT_EQ(model.unit(F::Resolution), kPixelsPerInch);
        EXPECT_EQ(model.getValues().width, c.values.width);
        EXPECT_EQ(model.getValues().height, c.values.height);
        EXPECT_EQ(model.getValues().dpi, c.values.dpi);
        EXPECT_TRUE(model.constrain());
        EXPECT_TRUE(model.resample());
    }
}

TEST(ImageSizeModel, PercentWidthGivesConstrainedPixels)
{
    ImageSizeModel model = opened(800, 400, 72);
    model.setUnit(F::PixelWidth, kSizeUnitPercent);
    EXPECT_EQ(model.text(F::PixelWidth), "100");
    model.edit(F::PixelWidth, "50");
    // 50 % of 800 = 400; height 400 * 400 / 800 = 200; 400 / 72 = 5.556, 200 / 72 = 2.778
    expectShown(model, {"50", "200", "5.556", "2.778", "72"}, "50 %");
    ASSERT_TRUE(model.accept().ok);
    EXPECT_EQ(model.getValues().width, 400);
    EXPECT_EQ(model.getValues().height, 200);
    EXPECT_EQ(model.getValues().dpi, 72.0);
}

TEST(ImageSizeModel, PixelEditsFollowTheConstrainBoxAndLimits)
{
    ImageSizeModel model = opened(800, 400, 72);
    model.edit(F::PixelHeight, "100");
    expectShown(model, {"200", "100", "2.778", "1.389", "72"}, "height 100");
    model.edit(F::PixelHeight, "401");  // the width would be 802
    expectShown(model, {"200", "401", "2.778", "1.389", "72"}, "height 401");

    model.setValues(800, 400, 72);
    model.setConstrain(false);
    model.edit(F::PixelWidth, "300");  // 300 / 72 = 4.1667
    expectShown(model, {"300", "400", "4.167", "5.556", "72"}, "unconstrained");
    model.edit(F::PixelWidth, "801");
    model.edit(F::PixelWidth, "0");
    expectShown(model, {"0", "400", "4.167", "5.556", "72"}, "out of range");

    // document sizes come out in their own units: 400 px at 72 dpi = 14.111 cm
    model.setUnit(F::DocumentWidth, kUnitCentimetre);
    model.edit(F::PixelWidth, "400");
    EXPECT_EQ(model.text(F::DocumentWidth), "14.111");
}

TEST(ImageSizeModel, ResolutionPerCentimetreComesBackPerInch)
{
    ImageSizeModel model = opened(100, 50, 72);
    model.setUnit(F::Resolution, kPixelsPerCentimetre);
    EXPECT_EQ(model.text(F::Resolution), "28.35");  // 72 * 0.3937 = 28.346, shown with 2
    model.edit(F::Resolution, "118.11");
    // 118.11 * 2.54 = 299.9994 ppi; the document keeps 1.389 x 0.694 in, so the pixels are
    // ceil(1.389 * 299.9994) = 417 and ceil(0.694 * 299.9994) = 209
    expectShown(model, {"417", "209", "1.389", "0.694", "118.11"}, "118.11 ppcm");
    ASSERT_TRUE(model.accept().ok);
    EXPECT_EQ(model.getValues().width, 417);
    EXPECT_EQ(model.getValues().height, 209);
    EXPECT_NEAR(model.getValues().dpi, 300.0, 0.001);
}

TEST(ImageSizeModel, ResolutionEditResamplesOrRescalesTheDocument)
{
    ImageSizeModel model = opened(800, 400, 72);
    model.edit(F::Resolution, "144");  // 11.111 in at 144 ppi would be 1600 px: too many
    expectShown(model, {"800", "400", "11.111", "5.556", "144"}, "resample, too large");
    model.edit(F::Resolution, "36");  // ceil(11.111 * 36) = 400, ceil(5.556 * 36) = 201
    expectShown(model, {"400", "201", "11.111", "5.556", "36"}, "resample");

    model.setResample(false);
    model.edit(F::Resolution, "144");  // 800 / 144, 400 / 144
    expectShown(model, {"800", "400", "5.556", "2.778", "144"}, "no resample");
    model.edit(F::Resolution, "0");
    model.edit(F::Resolution, "801");
    expectShown(model, {"800", "400", "5.556", "2.778", "801"}, "out of range");
}

TEST(ImageSizeModel, DocumentEditWithResampleSetsPixels)
{
    ImageSizeModel model = opened(800, 400, 72);
    model.edit(F::DocumentWidth, "5");  // 360 px, height 180 px = 2.5 in
    expectShown(model, {"360", "180", "5", "2.5", "72"}, "5 in");
    model.edit(F::DocumentWidth, "12");  // 864 px
    expectShown(model, {"360", "180", "12", "2.5", "72"}, "12 in");

    model.setConstrain(false);
    model.edit(F::DocumentHeight, "2");
    expectShown(model, {"360", "144", "12", "2", "72"}, "unconstrained");

    model.setConstrain(true);  // back to the start
    model.setUnit(F::DocumentWidth, kUnitMillimetre);
    EXPECT_EQ(model.text(F::DocumentWidth), "282.219");  // 11.111 * 25.4
    // ceil(100 * 72 * 0.03937) = ceil(283.46) = 284; height 142 = 1.972 in
    model.edit(F::DocumentWidth, "100");
    expectShown(model, {"284", "142", "100", "1.972", "72"}, "100 mm");
}

TEST(ImageSizeModel, DocumentEditWithoutResampleSetsResolution)
{
    ImageSizeModel model = opened(800, 400, 72);
    model.setResample(false);
    model.edit(F::DocumentWidth, "4");  // 800 / 4 = 200 ppi; 400 / 200 = 2 in
    expectShown(model, {"800", "400", "4", "2", "200"}, "4 in");
    model.edit(F::DocumentWidth, "0.5");  // 1600 ppi
    model.edit(F::DocumentWidth, "0");
    expectShown(model, {"800", "400", "0", "2", "200"}, "out of range");

    model.setUnit(F::Resolution, kPixelsPerCentimetre);
    model.setUnit(F::DocumentWidth, kUnitCentimetre);
    // 10 cm = 3.937 in; 800 / 3.937 = 203.2 ppi = 80.0 ppcm; 400 / 203.2 = 1.969 in
    model.edit(F::DocumentWidth, "10");
    expectShown(model, {"800", "400", "10", "1.969", "80"}, "10 cm");
    ASSERT_TRUE(model.accept().ok);
    EXPECT_EQ(model.getValues().width, 800);
    EXPECT_NEAR(model.getValues().dpi, 203.2, 1e-9);
}

TEST(ImageSizeModel, UnitChangesConvertTheShownValue)
{
    ImageSizeModel model = opened(300, 200, 72);
    model.setConstrain(false);
    model.edit(F::PixelWidth, "7");
    model.setUnit(F::PixelWidth, kSizeUnitPercent);
    EXPECT_EQ(model.text(F::PixelWidth), "2.33");  // 7 / 300, two decimals
    model.setUnit(F::PixelWidth, kSizeUnitPixels);
    EXPECT_EQ(model.text(F::PixelWidth), "7");  // 2.33 % of 300 = 6.99, rounded

    EXPECT_EQ(model.text(F::DocumentHeight), "2.778");
    model.setUnit(F::DocumentHeight, kUnitCentimetre);
    EXPECT_EQ(model.text(F::DocumentHeight), "7.056");  // 2.778 * 2.54 = 7.05612
    model.setUnit(F::DocumentHeight, kUnitMillimetre);
    EXPECT_EQ(model.text(F::DocumentHeight), "70.56");
    model.setUnit(F::DocumentHeight, kUnitInch);
    EXPECT_EQ(model.text(F::DocumentHeight), "2.778");

    model.setUnit(F::Resolution, kPixelsPerCentimetre);
    EXPECT_EQ(model.text(F::Resolution), "28.35");
    model.setUnit(F::Resolution, kPixelsPerInch);
    EXPECT_EQ(model.text(F::Resolution), "72.01");  // 28.35 * 2.54 = 72.009

    // codes the list does not hold change nothing
    model.setUnit(F::PixelHeight, kUnitInch);
    model.setUnit(F::DocumentWidth, kSizeUnitPercent);
    EXPECT_EQ(model.unit(F::PixelHeight), kSizeUnitPixels);
    EXPECT_EQ(model.unit(F::DocumentWidth), kUnitInch);
}

TEST(ImageSizeModel, ConstrainBoxRestoresStartOnlyWhenTicked)
{
    ImageSizeModel model = opened(800, 400, 72);
    model.edit(F::PixelWidth, "200");
    model.setUnit(F::DocumentWidth, kUnitCentimetre);
    model.setConstrain(false);
    EXPECT_FALSE(model.constrain());
    EXPECT_EQ(model.text(F::PixelWidth), "200");
    model.setConstrain(true);
    EXPECT_TRUE(model.constrain());
    expectShown(model, {"800", "400", "11.111", "5.556", "72"}, "restored");
    EXPECT_EQ(model.unit(F::DocumentWidth), kUnitInch);
}

TEST(ImageSizeModel, ResampleBoxLocksThePixelSize)
{
    ImageSizeModel model = opened(800, 400, 72);
    model.setConstrain(false);
    model.edit(F::PixelWidth, "200");
    model.setResample(false);
    expectShown(model, {"800", "400", "11.111", "5.556", "72"}, "restored");
    EXPECT_TRUE(model.constrain());
    EXPECT_FALSE(model.pixelControlsEnabled());
    EXPECT_FALSE(model.isEnabled(F::PixelWidth));
    EXPECT_FALSE(model.isEnabled(F::PixelHeight));
    EXPECT_TRUE(model.isEnabled(F::Resolution));
    // disabled controls do not react
    model.edit(F::PixelWidth, "100");
    model.setUnit(F::PixelHeight, kSizeUnitPercent);
    model.setConstrain(false);
    EXPECT_EQ(model.text(F::PixelWidth), "800");
    EXPECT_EQ(model.unit(F::PixelHeight), kSizeUnitPixels);
    EXPECT_TRUE(model.constrain());

    model.setResample(true);
    EXPECT_TRUE(model.pixelControlsEnabled());
    EXPECT_TRUE(model.constrain());
    model.edit(F::PixelWidth, "100");
    EXPECT_EQ(model.text(F::PixelHeight), "50");
}

TEST(ImageSizeModel, ValidationNamesTheFirstBadEditAndItsRange)
{
    struct Step {
        F field;
        int unit;  // -1: leave the unit
        const char* text;
    };
    struct Case {
        std::vector<Step> steps;
        const char* message;
        F focus;
        bool select;
        SizeRule rule;
        double low, high;
    };
    const Case cases[] = {
        {{{F::PixelWidth, -1, "400.5"}},
         "要求 1 到 800 之间的整数! ",
         F::PixelWidth,
         false,
         SizeRule::WholePixels,
         1,
         800},
        {{{F::PixelWidth, -1, "0"}},
         "要求 1 到 800 之间的整数! ",
         F::PixelWidth,
         false,
         SizeRule::WholePixels,
         1,
         800},
        // 0.05 % of 800 is 0.4 pixels; the range is 100 / 800 .. 800 * 100 / 800
        {{{F::PixelWidth, kSizeUnitPercent, "0.05"}},
         "要求 0.125 到 100.000 之间的数值! ",
         F::PixelWidth,
         false,
         SizeRule::PercentRange,
         0.125,
         100},
        {{{F::PixelHeight, -1, "900"}},
         "要求 1 到 800 之间的整数! ",
         F::PixelHeight,
         false,
         SizeRule::WholePixels,
         1,
         800},
        {{{F::PixelHeight, kSizeUnitPercent, "300"}},
         "要求 0.250 到 200.000 之间的数值! ",
         F::PixelHeight,
         false,
         SizeRule::PercentRange,
         0.25,
         200},
        {{{F::Resolution, -1, "0"}},
         "要求 0.001 到 800 之间的数值! ",
         F::Resolution,
         true,
         SizeRule::ResolutionRange,
         0.001,
         800},
        // 400 ppcm is 1016 ppi
        {{{F::Resolution, kPixelsPerCentimetre, "400"}},
         "要求 0.001 到 800 之间的数值! ",
         F::Resolution,
         true,
         SizeRule::ResolutionRange,
         0.001,
         800},
        // the first failing check wins
        {{{F::Resolution, -1, "0"}, {F::PixelHeight, -1, "0"}},
         "要求 1 到 800 之间的整数! ",
         F::PixelHeight,
         false,
         SizeRule::WholePixels,
         1,
         800},
    };
    for (const Case& c : cases) {
        ImageSizeModel model = opened(800, 400, 72);
        model.setConstrain(false);
        for (const Step& step : c.steps) {
            if (step.unit >= 0)
                model.setUnit(step.field, step.unit);
            model.edit(step.field, step.text);
        }
        test::MessageCollector collector;
        SizeValidation result = model.accept();
        EXPECT_FALSE(result.ok) << c.message;
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(result.focus, c.focus) << c.message;
        EXPECT_EQ(result.selectText, c.select) << c.message;
        EXPECT_EQ(result.rule, c.rule) << c.message;
        EXPECT_DOUBLE_EQ(result.low, c.low) << c.message;
        EXPECT_DOUBLE_EQ(result.high, c.high) << c.message;
        EXPECT_TRUE(collector.texts().empty()) << "the front end shows it";
        EXPECT_EQ(model.getValues().width, 800) << "no result stored";
    }
}

}  // namespace
}  // namespace tavelune
