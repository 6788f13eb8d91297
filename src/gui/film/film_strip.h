// A column of small previews of the current picture, one per film; a click chooses that film.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/image.h"
#include "film/film_settings.h"

class QButtonGroup;

namespace tavelune::gui {

class BackgroundJob;
class FilmPreviewButton;

/// Draws every film over a reduced copy of the picture on a worker; a newer picture or
/// setting replaces a drawing still under way. The strip keeps its own copy, so the picture
/// may change or go as soon as setPicture returns. The previews are shown through the
/// picture's colour profile, as the panes show the picture and the result.
class FilmStrip : public QWidget {
    Q_OBJECT
public:
    /// The longer side of each preview, in pixels.
    static constexpr int kPreviewSide = 40;

    explicit FilmStrip(QWidget* parent = nullptr);
    ~FilmStrip() override;

    /// Null or an empty picture clears the previews. icc: the picture's colour profile
    /// (empty: sRGB). inks (null: none): a CMYK picture read through icc, sRGB numbers the
    /// size of picture, which the films are drawn on when the look asks for sRGB.
    void setPicture(const Image* picture, const std::vector<std::uint8_t>& icc = {},
                    const Image* inks = nullptr);
    /// The look each preview shows (its film type replaced by the preview's own).
    void setSettings(const FilmSettings& settings);
    /// Marks the preview of this film code as the chosen one.
    void setCurrentFilm(int code);

    /// What the previews were drawn from, and what they show (empty until drawn).
    const Image& previewSource() const { return m_source; }
    const Image& preview(int index) const;
    /// What the screen gets of a preview: its numbers turned from the profile they are in
    /// into sRGB (the preview itself when they are sRGB).
    const Image& shownPreview(int index) const;
    int previewCount() const { return int(m_previews.size()); }
    bool isDrawing() const;

signals:
    void filmChosen(int code);
    /// Every preview shows the present picture and settings.
    void previewsDrawn();

private:
    void scheduleDrawing();
    void draw();

    Image m_source;
    std::vector<std::uint8_t> m_profile;  // of m_source
    Image m_inks;  // reduced as m_source
    FilmSettings m_settings;
    std::vector<Image> m_previews;
    std::vector<Image> m_shown;  // by preview; empty where the preview is sRGB already
    std::vector<FilmPreviewButton*> m_buttons;
    QButtonGroup* m_group;
    BackgroundJob* m_job;
    bool m_scheduled = false;
};

}  // namespace tavelune::gui
