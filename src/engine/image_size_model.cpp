// Image size dialog rules. Values live in the edits' texts, so a value typed but not yet
// valid stays on screen and is judged again by OK.
#include "engine/image_size_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/engine_messages.h"
#include "engine/format_number.h"
#include "pixel/units.h"

namespace tavelune {
namespace {

constexpr double kCentimetresPerInch = 2.54;
constexpr double kInchesPerCentimetre = 0.39370078740157477;

bool withinPixels(double pixels)
{
    return pixels >= 1 && pixels <= ImageSizeModel::kMaxPixels;
}

bool withinResolution(double ppi)
{
    return ppi > 0 && ppi <= ImageSizeModel::kMaxPixelsPerInch;
}

double parseNumber(const std::string& text)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin < end && *begin == ' ') ++begin;
    double value = 0;
    auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
    (void)stop;
    if (error != std::errc() || !std::isfinite(value))
        return 0;
    return value;
}

template <typename... Args>
std::string formatted(const char* format, Args... args)
{
    char text[128];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

bool isPixelField(SizeField field)
{
    return field == SizeField::PixelWidth || field == SizeField::PixelHeight;
}

}  // namespace

ImageSizeModel::ImageSizeModel()
{
    setValues(1, 1, 72.0);
}

const std::vector<UnitItem>& ImageSizeModel::unitItems(SizeField field)
{
    static const std::vector<UnitItem> pixel = {{"像素", kSizeUnitPixels},
                                                {"百分比", kSizeUnitPercent}};
    static const std::vector<UnitItem> document = {
        {"英寸", kUnitInch}, {"厘米", kUnitCentimetre}, {"毫米", kUnitMillimetre}};
    static const std::vector<UnitItem> resolution = {{"像素/英寸", kPixelsPerInch},
                                                     {"像素/厘米", kPixelsPerCentimetre}};
    if (isPixelField(field))
        return pixel;
    return field == SizeField::Resolution ? resolution : document;
}

bool ImageSizeModel::isEnabled(SizeField field) const
{
    return isPixelField(field) ? m_resample : true;
}

void ImageSizeModel::setValues(int width, int height, double dpi)
{
    width = std::clamp(width, 1, kMaxPixels);
    height = std::clamp(height, 1, kMaxPixels);
    if (!(dpi >= 1.0))  // also a NaN
        dpi = 1.0;
    if (dpi > kMaxPixelsPerInch)
        dpi = kMaxPixelsPerInch;
    dpi = roundTo(dpi, 3);
    double documentWidth = convertUnit(kUnitInch, kUnitPixel, width, 3, dpi);
    double documentHeight = convertUnit(kUnitInch, kUnitPixel, height, 3, dpi);
    if (std::min(documentWidth, documentHeight) < 0.001) {
        dpi = std::min(width, height) * 1000.0;
        documentWidth = convertUnit(kUnitInch, kUnitPixel, width, 3, dpi);
        documentHeight = convertUnit(kUnitInch, kUnitPixel, height, 3, dpi);
    }
    m_startWidth = width;
    m_startHeight = height;
    m_startDpi = dpi;
    m_result = {width, height, dpi};
    m_text[index(SizeField::PixelWidth)] = formatNumber(width, 3);
    m_text[index(SizeField::PixelHeight)] = formatNumber(height, 3);
    m_text[index(SizeField::DocumentWidth)] = formatNumber(documentWidth, 3);
    m_text[index(SizeField::DocumentHeight)] = formatNumber(documentHeight, 3);
    m_text[index(SizeField::Resolution)] = formatNumber(dpi, 3);
    for (SizeField field : {SizeField::PixelWidth, SizeField::PixelHeight, SizeField::DocumentWidth,
                            SizeField::DocumentHeight, SizeField::Resolution})
        m_unit[index(field)] = unitItems(field).front().unit;
}

double ImageSizeModel::number(SizeField field) const
{
    return parseNumber(text(field));
}

double ImageSizeModel::resolutionPpi() const
{
    const double value = number(SizeField::Resolution);
    return unit(SizeField::Resolution) == kPixelsPerCentimetre ? value * kCentimetresPerInch
                                                               : value;
}

double ImageSizeModel::pixelsFromEntry(SizeField field, double entry) const
{
    if (unit(field) != kSizeUnitPercent)
        return entry;
    const int base = field == SizeField::PixelWidth ? m_startWidth : m_startHeight;
    return roundTo(entry * base / 100, 0);
}

void ImageSizeModel::showPixels(SizeField field, double pixels)
{
    if (unit(field) == kSizeUnitPercent) {
        const int base = field == SizeField::PixelWidth ? m_startWidth : m_startHeight;
        m_text[index(field)] = formatNumber(roundTo(pixels * 100 / base, 0), 3);
    } else {
        m_text[index(field)] = formatNumber(pixels, 3);
    }
}

void ImageSizeModel::showDocument(SizeField field, double pixels, double ppi)
{
    m_text[index(field)] = formatNumber(convertUnit(unit(field), kUnitPixel, pixels, 3, ppi), 3);
}

void ImageSizeModel::edit(SizeField field, const std::string& text)
{
    if (!isEnabled(field))
        return;
    switch (field) {
        case SizeField::PixelWidth:
        case SizeField::PixelHeight:
            editPixelSize(field, text);
            break;
        case SizeField::DocumentWidth:
        case SizeField::DocumentHeight:
            editDocumentSize(field, text);
            break;
        case SizeField::Resolution:
            editResolution(text);
            break;
    }
}

void ImageSizeModel::editPixelSize(SizeField edited, const std::string& text)
{
    const bool isWidth = edited == SizeField::PixelWidth;
    const SizeField other = isWidth ? SizeField::PixelHeight : SizeField::PixelWidth;
    m_text[index(edited)] = text;
    const double own = pixelsFromEntry(edited, parseNumber(text));
    double theirs = pixelsFromEntry(other, number(other));
    if (m_constrain)
        theirs = isWidth ? roundTo(m_startHeight * own / m_startWidth, 0)
                         : roundTo(m_startWidth * own / m_startHeight, 0);
    if (!withinPixels(own) || !withinPixels(theirs))
        return;
    showPixels(other, theirs);
    const double ppi = resolutionPpi();
    // With the resolution edit cleared there is nothing to measure the document by.
    if (!(ppi > 0))
        return;
    showDocument(SizeField::DocumentWidth, isWidth ? own : theirs, ppi);
    showDocument(SizeField::DocumentHeight, isWidth ? theirs : own, ppi);
}

void ImageSizeModel::editResolution(const std::string& text)
{
    m_text[index(SizeField::Resolution)] = text;
    const double ppi = resolutionPpi();
    if (!withinResolution(ppi))
        return;
    if (m_resample) {
        const int width =
            toPixelsCeil(number(SizeField::DocumentWidth), unit(SizeField::DocumentWidth), ppi);
        const int height =
            toPixelsCeil(number(SizeField::DocumentHeight), unit(SizeField::DocumentHeight), ppi);
        if (!withinPixels(width) || !withinPixels(height))
            return;
        showPixels(SizeField::PixelWidth, width);
        showPixels(SizeField::PixelHeight, height);
    } else {
        showDocument(SizeField::DocumentWidth,
                     pixelsFromEntry(SizeField::PixelWidth, number(SizeField::PixelWidth)), ppi);
        showDocument(SizeField::DocumentHeight,
                     pixelsFromEntry(SizeField::PixelHeight, number(SizeField::PixelHeight)), ppi);
    }
}

void ImageSizeModel::editDocumentSize(SizeField edited, const std::string& text)
{
    const bool isWidth = edited == SizeField::DocumentWidth;
    const SizeField ownPixels = isWidth ? SizeField::PixelWidth : SizeField::PixelHeight;
    const SizeField otherPixels = isWidth ? SizeField::PixelHeight : SizeField::PixelWidth;
    const SizeField otherDocument = isWidth ? SizeField::DocumentHeight : SizeField::DocumentWidth;
    m_text[index(edited)] = text;
    const double entry = parseNumber(text);
    const double ppi = resolutionPpi();
    if (m_resample) {
        const int own = toPixelsCeil(entry, unit(edited), ppi);
        if (!withinPixels(own))
            return;
        if (!m_constrain) {
            showPixels(ownPixels, own);
            return;
        }
        const double theirs = isWidth ? roundTo(m_startHeight * double(own) / m_startWidth, 0)
                                      : roundTo(m_startWidth * double(own) / m_startHeight, 0);
        if (!withinPixels(theirs))
            return;
        showPixels(ownPixels, own);
        showPixels(otherPixels, theirs);
        showDocument(otherDocument, theirs, ppi);
        return;
    }
    const double own = pixelsFromEntry(ownPixels, number(ownPixels));
    const double theirs = pixelsFromEntry(otherPixels, number(otherPixels));
    const double inches = convertUnit(kUnitInch, unit(edited), entry, 3, ppi);
    const double resolution = roundTo(own / inches, 3);
    if (!withinResolution(resolution))
        return;
    showDocument(otherDocument, theirs, resolution);
    const bool perCentimetre = unit(SizeField::Resolution) == kPixelsPerCentimetre;
    m_text[index(SizeField::Resolution)] =
        formatNumber(perCentimetre ? roundTo(resolution * kInchesPerCentimetre, 3) : resolution, 3);
}

void ImageSizeModel::setUnit(SizeField field, int newUnit)
{
    if (!isEnabled(field))
        return;
    const std::vector<UnitItem>& items = unitItems(field);
    if (std::none_of(items.begin(), items.end(),
                     [&](const UnitItem& item) { return item.unit == newUnit; }))
        return;
    const int oldUnit = unit(field);
    if (newUnit == oldUnit)
        return;
    const double value = number(field);
    m_unit[index(field)] = newUnit;
    std::string& shown = m_text[index(field)];
    switch (field) {
        case SizeField::PixelWidth:
        case SizeField::PixelHeight: {
            const int base = field == SizeField::PixelWidth ? m_startWidth : m_startHeight;
            shown = newUnit == kSizeUnitPercent ? formatNumber(roundTo(value * 100 / base, 2), 2)
                                                : formatNumber(roundTo(value * base / 100, 0), 3);
            break;
        }
        case SizeField::DocumentWidth:
        case SizeField::DocumentHeight:
            shown = formatNumber(convertUnit(newUnit, oldUnit, value, 3, resolutionPpi()), 3);
            break;
        case SizeField::Resolution:
            shown =
                formatNumber(newUnit == kPixelsPerInch ? roundTo(value * kCentimetresPerInch, 3)
                                                       : roundTo(value * kInchesPerCentimetre, 3),
                             2);
            break;
    }
}

void ImageSizeModel::setConstrain(bool ticked)
{
    if (!m_resample || ticked == m_constrain)
        return;
    m_constrain = ticked;
    if (ticked)
        setValues(m_startWidth, m_startHeight, m_startDpi);
}

void ImageSizeModel::setResample(bool ticked)
{
    if (ticked == m_resample)
        return;
    m_resample = ticked;
    if (!ticked) {
        setValues(m_startWidth, m_startHeight, m_startDpi);
        m_constrain = true;
    }
}

SizeValidation ImageSizeModel::checkPixels(SizeField field) const
{
    const double pixels = pixelsFromEntry(field, number(field));
    if (pixels == std::floor(pixels) && withinPixels(pixels))
        return {};
    if (unit(field) != kSizeUnitPercent)
        return {false,
                formatted(messages::kWholeNumberBetween, 1ul, (unsigned long)kMaxPixels),
                field,
                false,
                SizeRule::WholePixels,
                1,
                kMaxPixels};
    const double base = field == SizeField::PixelWidth ? m_startWidth : m_startHeight;
    const double low = roundTo(100 / base, 3);
    const double high = roundTo(kMaxPixels * 100 / base, 3);
    return {false,
            formatted(messages::kNumberBetween, low, high),
            field,
            false,
            SizeRule::PercentRange,
            low,
            high};
}

SizeValidation ImageSizeModel::validate() const
{
    for (SizeField field : {SizeField::PixelWidth, SizeField::PixelHeight}) {
        SizeValidation check = checkPixels(field);
        if (!check.ok)
            return check;
    }
    if (!withinResolution(resolutionPpi()))
        return {false,
                formatted(messages::kResolutionBetween, 0.001, (unsigned long)kMaxPixelsPerInch),
                SizeField::Resolution,
                true,
                SizeRule::ResolutionRange,
                0.001,
                kMaxPixelsPerInch};
    return {};
}

SizeValidation ImageSizeModel::accept()
{
    SizeValidation check = validate();
    if (!check.ok)
        return check;
    m_result = {int(pixelsFromEntry(SizeField::PixelWidth, number(SizeField::PixelWidth))),
                int(pixelsFromEntry(SizeField::PixelHeight, number(SizeField::PixelHeight))),
                resolutionPpi()};
    return check;
}

}  // namespace tavelune
