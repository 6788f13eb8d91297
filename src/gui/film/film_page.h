// The film page: the film simulation's settings, first of the tab pages under the pictures.
#pragma once

#include <QWidget>

#include "film/film_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace tavelune::gui {

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyEnabledRule();
    void applyFilmTypeRule();

    QCheckBox* m_enabledBox;
    QComboBox* m_filmList;
    QSlider* m_exposure;
    QCheckBox* m_portraitBox;
    QCheckBox* m_highKeyBox;
    QCheckBox* m_blackCorrectionBox;
    QSlider* m_sharpness;
    QSlider* m_saturation;
    QList<QWidget*> m_switchable;  // every control the film box switches on and off
};

}  // namespace tavelune::gui
