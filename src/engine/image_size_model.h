// The image size dialog's rules without its widgets: pixel size, document size and resolution
// with their units, the constrain and resample boxes, validation on OK and the result.
#pragma once

#include <string>
#include <vector>

namespace tavelune {

/// The five edits of the dialog, each with its unit list.
enum class SizeField { PixelWidth, PixelHeight, DocumentWidth, DocumentHeight, Resolution };

/// Item data of the pixel-size lists (the document lists use kUnitInch, kUnitCentimetre and
/// kUnitMillimetre of film/units.h).
inline constexpr int kSizeUnitPixels = 0;
inline constexpr int kSizeUnitPercent = 6;
/// Item data of the resolution list.
inline constexpr int kPixelsPerInch = 0;
inline constexpr int kPixelsPerCentimetre = 1;

struct UnitItem {
    const char* text;
    int unit;
};

struct ImageSizeValues {
    int width = 1;
    int height = 1;
    double dpi = 72.0;  // pixels per inch
};

/// Which range a failed check asks for; a front end with its own texts formats them from
/// low and high.
enum class SizeRule {
    None,
    WholePixels,      // "%lu to %lu" whole pixels
    PercentRange,     // "%.3f to %.3f" percent
    ResolutionRange,  // "%.3f to %lu" pixels per inch
};

/// What OK found: when not ok, the message shown and the edit that gets the focus back
/// (its text selected when selectText is set).
struct SizeValidation {
    bool ok = true;
    std::string message;
    SizeField focus = SizeField::PixelWidth;
    bool selectText = false;
    SizeRule rule = SizeRule::None;
    double low = 0;
    double high = 0;
};

/// The edits hold text, as the widgets do, and every rule reads and writes that text. Edit
/// handlers stand for the user typing into the edit that has the focus: the model's own
/// updates of other edits never run their handlers. Changes to disabled controls are ignored.
class ImageSizeModel {
public:
    /// The largest width or height in pixels the dialog accepts.
    static constexpr int kMaxPixels = 800;
    /// The highest resolution in pixels per inch the dialog accepts.
    static constexpr int kMaxPixelsPerInch = 800;

    ImageSizeModel();

    /// Starting size and resolution: sizes clamped to 1..800, dpi to 1..800 and rounded to
    /// 3 decimals; every list back to its first item.
    void setValues(int width, int height, double dpi);
    /// The result of the last successful accept(), or the starting values.
    ImageSizeValues getValues() const { return m_result; }

    const std::string& text(SizeField field) const { return m_text[index(field)]; }
    int unit(SizeField field) const { return m_unit[index(field)]; }
    bool constrain() const { return m_constrain; }
    bool resample() const { return m_resample; }
    /// The pixel width and height edits, their unit lists and the constrain box.
    bool pixelControlsEnabled() const { return m_resample; }
    bool isEnabled(SizeField field) const;

    static const std::vector<UnitItem>& unitItems(SizeField field);

    void edit(SizeField field, const std::string& text);
    /// Chooses a list item by its unit code; codes the list does not hold are ignored.
    void setUnit(SizeField field, int unit);
    void setConstrain(bool ticked);
    void setResample(bool ticked);

    /// The checks of OK, in order, without side effects.
    SizeValidation validate() const;
    /// OK: on a failure returns it for the front end to show and focus; else stores the
    /// result.
    SizeValidation accept();

private:
    static size_t index(SizeField field) { return static_cast<size_t>(field); }
    double number(SizeField field) const;
    double resolutionPpi() const;
    double pixelsFromEntry(SizeField field, double entry) const;
    void showPixels(SizeField field, double pixels);
    void showDocument(SizeField field, double pixels, double ppi);
    void editPixelSize(SizeField edited, const std::string& text);
    void editResolution(const std::string& text);
    void editDocumentSize(SizeField edited, const std::string& text);
    SizeValidation checkPixels(SizeField field) const;

    int m_startWidth = 1;
    int m_startHeight = 1;
    double m_startDpi = 72.0;
    std::string m_text[5];
    int m_unit[5] = {};
    bool m_constrain = true;
    bool m_resample = true;
    ImageSizeValues m_result;
};

}  // namespace tavelune
