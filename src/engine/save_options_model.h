// The JPEG and TIFF save-option dialogs' rules without their widgets.
#pragma once

#include <string>

namespace tavelune {

struct QualityPreset {
    const char* text;
    int quality;
};

/// Quality (1..100), whether to keep the source's EXIF data and whether to remove the rest of
/// its metadata. The preset list, the slider and the number edit stay coupled; the edit holds
/// text as the widget does.
class JpegOptionsModel {
public:
    static constexpr int kPresetCount = 4;
    /// The slider: range 1..100, arrow keys move 1, page keys 10.
    static constexpr int kSliderMinimum = 1;
    static constexpr int kSliderMaximum = 100;
    static constexpr int kSliderLine = 1;
    static constexpr int kSliderPage = 10;
    static const QualityPreset kPresets[kPresetCount];

    /// The preset item a quality selects: below 30, 30..59, 60..79, 80 and above.
    static int presetFor(int quality);

    int quality() const { return m_quality; }
    bool keepExif() const { return m_keepExif; }
    bool stripMetadata() const { return m_stripMetadata; }
    /// Before opening, callers may change the defaults (75, true, false).
    void setQuality(int quality) { m_quality = quality; }
    void setKeepExif(bool keep) { m_keepExif = keep; }
    void setStripMetadata(bool strip) { m_stripMetadata = strip; }

    /// Shows the values: edit, preset, slider and box.
    void open();

    const std::string& qualityText() const { return m_qualityText; }
    int presetIndex() const { return m_preset; }
    int sliderPosition() const { return m_slider; }
    bool keepExifBox() const { return m_keepExifBox; }
    bool stripMetadataBox() const { return m_stripMetadataBox; }

    void choosePreset(int item);
    /// The user typing into the quality edit (it has the focus).
    void editQuality(const std::string& text);
    void moveSlider(int position);
    void setKeepExifBox(bool ticked) { m_keepExifBox = ticked; }
    void setStripMetadataBox(bool ticked) { m_stripMetadataBox = ticked; }
    /// Leaving the edit: a value outside 1..100 is replaced by the nearest limit. Returns
    /// whether it was, in which case the front end shows the quality range message.
    bool qualityEditLostFocus();
    bool replaceOutOfRangeQuality();
    /// OK: takes the edit's number (out-of-range values handled as on leaving the edit) and
    /// the box. Returns whether the range message is due, as qualityEditLostFocus.
    bool accept();

private:
    void follow(int quality);

    int m_quality = 75;
    bool m_keepExif = true;
    std::string m_qualityText;
    int m_preset = 0;
    int m_slider = 1;
    bool m_keepExifBox = true;
    bool m_stripMetadata = false;
    bool m_stripMetadataBox = false;
};

/// TIFF compression (1 none, 5 LZW), whether to keep the source's EXIF data and whether to
/// remove the rest of its metadata.
class TiffOptionsModel {
public:
    static constexpr int kUncompressed = 1;
    static constexpr int kLzw = 5;

    int compression() const { return m_compression; }
    bool keepExif() const { return m_keepExif; }
    bool stripMetadata() const { return m_stripMetadata; }
    void setCompression(int compression) { m_compression = compression; }
    void setKeepExif(bool keep) { m_keepExif = keep; }
    void setStripMetadata(bool strip) { m_stripMetadata = strip; }

    /// "不压缩" is selected for compression 1, "LZW 压缩" for anything else.
    void open();
    bool uncompressedSelected() const { return m_uncompressedSelected; }
    bool keepExifBox() const { return m_keepExifBox; }
    bool stripMetadataBox() const { return m_stripMetadataBox; }
    void selectUncompressed(bool uncompressed) { m_uncompressedSelected = uncompressed; }
    void setKeepExifBox(bool ticked) { m_keepExifBox = ticked; }
    void setStripMetadataBox(bool ticked) { m_stripMetadataBox = ticked; }
    void accept();

private:
    int m_compression = kLzw;
    bool m_keepExif = true;
    bool m_uncompressedSelected = false;
    bool m_keepExifBox = true;
    bool m_stripMetadata = false;
    bool m_stripMetadataBox = false;
};

}  // namespace tavelune
