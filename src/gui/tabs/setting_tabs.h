// The four setting pages of a conversion on their tabs: film, watermark, signature, border.
#pragma once

#include <QTabWidget>
#include <cstdint>
#include <vector>

#include "gui/overlay/tag_menu.h"
#include "job/conversion_job.h"

namespace tavelune::gui {

class BorderPage;
class FilmPage;
class OverlayPage;

/// What the photo page and the batch dialog both show: the pages in their order and with
/// their tab texts, read and written as one ConversionSettings (its tags are the caller's).
class SettingTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit SettingTabs(QWidget* parent = nullptr);

    /// The four pages' settings; tags are left at their defaults.
    ConversionSettings settings() const;
    void setSettings(const ConversionSettings& settings);
    /// The resolution the overlay and border pages convert inches and centimetres at.
    void setCurrentImageDpi(double dpi);
    /// The picture the watermark and signature tag menus read their example values from.
    void setTagPictureSource(const TagPictureSource& source);
    /// The picture the film page's strip previews every film on (null: none), tagged icc
    /// (empty: sRGB), and a CMYK picture's inks through that profile (null: none); the strip
    /// shows from the first call.
    void setPreviewPicture(const Image* picture, const std::vector<std::uint8_t>& icc = {},
                           const Image* inks = nullptr);
    FilmPage* filmPage() const { return m_film; }

private:
    FilmPage* m_film;
    OverlayPage* m_watermark;
    OverlayPage* m_signature;
    BorderPage* m_border;
};

}  // namespace tavelune::gui
