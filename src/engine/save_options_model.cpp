// Save-option rules: the JPEG quality's three views kept in step, the TIFF choice.
#include "engine/save_options_model.h"

#include <algorithm>
#include <charconv>


namespace tavelune {
namespace {

constexpr int kMinimumQuality = JpegOptionsModel::kSliderMinimum;
constexpr int kMaximumQuality = JpegOptionsModel::kSliderMaximum;

// The edit takes digits only; what is not a number counts as 0.
int parseQuality(const std::string& text)
{
    int value = 0;
    auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)stop;
    return error == std::errc() ? value : 0;
}

}  // namespace

const QualityPreset JpegOptionsModel::kPresets[kPresetCount] = {
    {"低", 10}, {"中", 30}, {"高", 60}, {"最佳", 80}};

int JpegOptionsModel::presetFor(int quality)
{
    if (quality < 30)
        return 0;
    if (quality < 60)
        return 1;
    if (quality < 80)
        return 2;
    return 3;
}

void JpegOptionsModel::open()
{
    m_qualityText = std::to_string(m_quality);
    follow(m_quality);
    m_keepExifBox = m_keepExif;
    m_stripMetadataBox = m_stripMetadata;
}

// The list and the slider follow a quality; the slider cannot leave its range.
void JpegOptionsModel::follow(int quality)
{
    m_preset = presetFor(quality);
    m_slider = std::clamp(quality, kMinimumQuality, kMaximumQuality);
}

void JpegOptionsModel::choosePreset(int item)
{
    if (item < 0 || item >= kPresetCount)
        return;
    m_quality = kPresets[item].quality;
    m_qualityText = std::to_string(m_quality);
    m_preset = item;
    m_slider = m_quality;
}

void JpegOptionsModel::editQuality(const std::string& text)
{
    m_qualityText = text;
    m_quality = parseQuality(text);
    follow(m_quality);
}

void JpegOptionsModel::moveSlider(int position)
{
    m_quality = std::clamp(position, kMinimumQuality, kMaximumQuality);
    m_slider = m_quality;
    m_qualityText = std::to_string(m_quality);
    m_preset = presetFor(m_quality);
}

bool JpegOptionsModel::qualityEditLostFocus()
{
    return replaceOutOfRangeQuality();
}

bool JpegOptionsModel::replaceOutOfRangeQuality()
{
    const int typed = parseQuality(m_qualityText);
    if (typed >= kMinimumQuality && typed <= kMaximumQuality)
        return false;
    m_quality = typed < kMinimumQuality ? kMinimumQuality : kMaximumQuality;
    m_qualityText = std::to_string(m_quality);
    follow(m_quality);
    return true;
}

bool JpegOptionsModel::accept()
{
    // OK by the Enter key leaves the edit without losing the focus; the encoder must still
    // never see a quality outside 1..100.
    const bool replaced = qualityEditLostFocus();
    m_quality = parseQuality(m_qualityText);
    m_keepExif = m_keepExifBox;
    m_stripMetadata = m_stripMetadataBox;
    return replaced;
}

void TiffOptionsModel::open()
{
    m_uncompressedSelected = m_compression == kUncompressed;
    m_keepExifBox = m_keepExif;
    m_stripMetadataBox = m_stripMetadata;
}

void TiffOptionsModel::accept()
{
    m_compression = m_uncompressedSelected ? kUncompressed : kLzw;
    m_keepExif = m_keepExifBox;
    m_stripMetadata = m_stripMetadataBox;
}

}  // namespace tavelune
