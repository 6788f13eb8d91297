// The film page: the film simulation's settings, first of the tab pages under the pictures.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/image.h"
#include "film/film_settings.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;

namespace tavelune::gui {

class FilmStrip;
class LutExportRunner;

/// Binds the page's controls to FilmSettings. While a job runs the caller disables the
/// whole page with setEnabled(false); enabling it again keeps the controls that the
/// film box switched off disabled.
class FilmPage : public QWidget {
    Q_OBJECT
public:
    explicit FilmPage(QWidget* parent = nullptr);

    /// The settings the controls show; copy them on the UI thread before the job starts.
    FilmSettings settings() const;
    /// Shows settings; a film code the list does not hold selects the first film, and slider
    /// values are held to their ranges.
    void setSettings(const FilmSettings& settings);

    /// The picture the film strip previews (null: none), its colour profile (empty: sRGB) and
    /// FilmStrip::setPicture's inks; the strip keeps its own reduced copies. The strip is hidden until a caller that has a
    /// picture to show shows it.
    void setPreviewPicture(const Image* picture, const std::vector<std::uint8_t>& icc = {},
                           const Image* inks = nullptr);
    void setFilmStripShown(bool shown);
    const FilmStrip& filmStrip() const;

    /// Asks where the LUT goes, starting from a suggested path; empty when cancelled. The
    /// default is the save dialog; tests put their own answer in its place.
    using LutPathChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
    void setLutPathChooser(LutPathChooser chooser);
    bool isExportingLut() const;

signals:
    /// An export started by the button has ended; the page has already told the user of a
    /// failure.
    void lutExportFinished(bool ok, const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Captions;
    void createFilmControls();
    void createSliders(Captions& captions);
    void createCaptions(Captions& captions);
    QGridLayout* layOutBody(const Captions& captions);
    void layOutPage(const Captions& captions);
    void connectControls(const Captions& captions);
    void applyEnabledRule();
    void applyFilmTypeRule();
    void exportLut();
    void onLutExported(bool ok, const QString& path, const QString& error);

    QCheckBox* m_enabledBox;
    QComboBox* m_filmList;
    QSlider* m_exposure;
    QCheckBox* m_portraitBox;
    QCheckBox* m_toSrgbBox;
    QCheckBox* m_highKeyBox;
    QCheckBox* m_blackCorrectionBox;
    QSlider* m_sharpness;
    QSlider* m_saturation;
    QPushButton* m_lutButton;
    FilmStrip* m_strip;
    LutExportRunner* m_lutRunner;
    LutPathChooser m_lutPathChooser;
    QString m_lutFolder;           // where the last LUT went
    QList<QWidget*> m_switchable;  // every control the film box switches on and off
};

}  // namespace tavelune::gui
