// Film page: the controls of FilmSettings, with the film box and film type rules.
#include "gui/film/film_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "film/film_page_rules.h"
#include "gui/controls/message_box.h"
#include "gui/film/film_strip.h"
#include "gui/film/lut_export_runner.h"
#include "gui/film/lut_size_dialog.h"
#include "gui/film/slider_scale.h"
#include "gui/support/string_table.h"
#include "job/lut_export.h"

namespace tavelune::gui {
namespace {

constexpr int kBandHeight = 20;
const QColor kBandColour(230, 237, 250);
const QColor kBandLineColour(81, 147, 195);

// Quarter stops as EV: "+0.25", "-1.5", "0".
QString exposureValueText(int quarters)
{
    if (quarters == 0)
        return QStringLiteral("0");
    QString value = QString::number(std::abs(quarters) / 4.0, 'f', 2);
    while (value.endsWith(QLatin1Char('0')))
        value.chop(1);
    if (value.endsWith(QLatin1Char('.')))
        value.chop(1);
    return (quarters > 0 ? QStringLiteral("+") : QStringLiteral("-")) + value;
}

// Steps of ten per cent.
QString saturationValueText(int steps)
{
    return (steps > 0 ? QStringLiteral("+") : QString()) + QString::number(steps * 10) +
           QLatin1Char('%');
}

QSlider* makeSlider(Qt::Orientation orientation, const SliderRange& range, const char* name,
                    QWidget* parent)
{
    auto* slider = new QSlider(orientation, parent);
    slider->setObjectName(name);
    slider->setRange(range.minimum, range.maximum);
    slider->setSingleStep(range.step);
    slider->setPageStep(range.step);
    return slider;
}

QLabel* makeReadout(const QString& widest, const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(1);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) +
                           2 * (label->frameWidth() + label->margin()) + 6);
    return label;
}

QCheckBox* makeBox(int textId, int tipId, const char* name, QWidget* parent)
{
    auto* box = new QCheckBox(text(textId), parent);
    box->setObjectName(name);
    if (tipId)
        box->setToolTip(text(tipId));
    return box;
}

// The save dialog; a name without .cube or .png gets the extension of the chosen filter.
QString askLutPath(QWidget* parent, const QString& suggested)
{
    const QString cubeFilter = text(Strings::LutCubeFilter);
    const QString haldFilter = text(Strings::LutHaldFilter);
    QString filter = cubeFilter;
    QString path =
        QFileDialog::getSaveFileName(parent, text(Strings::LutExportTitle), suggested,
                                     cubeFilter + QStringLiteral(";;") + haldFilter, &filter);
    LutFormat format;
    if (!path.isEmpty() && !lutFormatOfPath(QFile::encodeName(path).toStdString(), format))
        path += filter == haldFilter ? QStringLiteral(".png") : QStringLiteral(".cube");
    return path;
}

}  // namespace

// The labels, scales and readouts beside the controls; the layout and the value texts need them.
struct FilmPage::Captions {
    SliderScale* exposureScale;
    SliderScale* saturationScale;
    QLabel* film;
    QLabel* exposure;
    QLabel* exposureUnit;
    QLabel* saturationValue;
    QLabel* saturation;
    QLabel* sharpness;
    QLabel* sharpnessValue;
    QLabel* sharpnessTop;
    QLabel* sharpnessBottom;
};

FilmPage::FilmPage(QWidget* parent) : QWidget(parent)
{
    // Made in this order: it is the order Tab walks.
    Captions captions;
    createFilmControls();
    createSliders(captions);
    createCaptions(captions);
    layOutPage(captions);
    m_switchable = {captions.film,
                    m_filmList,
                    captions.exposure,
                    m_exposure,
                    captions.exposureUnit,
                    captions.exposureScale,
                    m_portraitBox,
                    m_highKeyBox,
                    m_blackCorrectionBox,
                    captions.saturation,
                    m_saturation,
                    captions.saturationScale,
                    captions.sharpness,
                    captions.sharpnessTop,
                    m_sharpness,
                    captions.sharpnessBottom,
                    m_lutButton,
                    captions.saturationValue,
                    captions.sharpnessValue,
                    m_strip};
    connectControls(captions);
    setSettings(FilmSettings{});
}

void FilmPage::createFilmControls()
{
    m_enabledBox = makeBox(Strings::FilmEnabled, 0, "filmEnabled", this);
    // The band is always light, whatever the desktop's colours; a disabled page still looks it.
    QPalette bandPalette = m_enabledBox->palette();
    bandPalette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    bandPalette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    m_enabledBox->setPalette(bandPalette);

    m_filmList = new QComboBox(this);
    m_filmList->setObjectName("filmType");
    for (const FilmRow& film : filmRows()) m_filmList->addItem(text(film.textId), film.code);
    m_filmList->setToolTip(text(Strings::FilmTypeTip));

    m_strip = new FilmStrip(this);
    m_strip->setObjectName("filmStrip");
    m_strip->hide();

    m_lutButton = new QPushButton(text(Strings::LutExportButton), this);
    m_lutButton->setObjectName("exportLut");
    m_lutButton->setToolTip(text(Strings::LutExportTip));
    m_lutRunner = new LutExportRunner(this);
    m_lutPathChooser = askLutPath;
    m_lutFolder = QDir::homePath();
}

void FilmPage::createSliders(Captions& captions)
{
    m_exposure = makeSlider(Qt::Horizontal, kExposureRange, "exposure", this);
    m_exposure->setTickPosition(QSlider::TicksBelow);
    m_exposure->setTickInterval(4);
    m_exposure->setToolTip(text(Strings::ExposureTip));
    captions.exposureScale =
        new SliderScale(m_exposure, {{-8, "-2"}, {-4, "-1"}, {0, "0"}, {4, "1"}, {8, "2"}}, this);

    m_portraitBox = makeBox(Strings::Portrait, Strings::PortraitTip, "portrait", this);
    m_highKeyBox = makeBox(Strings::HighKey, Strings::HighKeyTip, "highKey", this);
    m_blackCorrectionBox =
        makeBox(Strings::BlackCorrection, Strings::BlackCorrectionTip, "blackCorrection", this);
    // The colour films leave the second option row empty rather than pulling the rows up.
    QSizePolicy keepPlace = m_blackCorrectionBox->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_blackCorrectionBox->setSizePolicy(keepPlace);

    // Colour management, not part of a look: it stays usable with the film switched off.
    m_toSrgbBox = makeBox(Strings::ToSrgb, Strings::ToSrgbTip, "toSrgb", this);

    m_saturation = makeSlider(Qt::Horizontal, kSaturationRange, "saturation", this);
    m_saturation->setTickPosition(QSlider::TicksBelow);
    m_saturation->setTickInterval(kSaturationTickInterval);
    m_saturation->setToolTip(text(Strings::SaturationTip));
    captions.saturationScale =
        new SliderScale(m_saturation, {{-10, "-100"}, {0, "0"}, {10, "100"}}, this);

    // Position 0 (strongest) at the top; the up key moves the handle up.
    m_sharpness = makeSlider(Qt::Vertical, kSharpnessRange, "sharpness", this);
    m_sharpness->setInvertedAppearance(true);
    m_sharpness->setInvertedControls(true);
    m_sharpness->setTickPosition(QSlider::TicksRight);
    m_sharpness->setTickInterval(1);
}

void FilmPage::createCaptions(Captions& captions)
{
    captions.film = new QLabel(text(Strings::FilmTypeLabel), this);
    captions.film->setBuddy(m_filmList);
    captions.exposure = new QLabel(text(Strings::ExposureLabel), this);
    captions.exposure->setBuddy(m_exposure);
    // Each slider says its value in the unit the photographer thinks in, in a sunken box so it
    // reads as a readout and not as one more mark of a scale.
    captions.exposureUnit =
        makeReadout("-1.75 " + text(Strings::ExposureUnit), "exposureValue", this);
    captions.saturationValue = makeReadout(QStringLiteral("-100%"), "saturationValue", this);
    captions.saturation = new QLabel(text(Strings::SaturationLabel), this);
    captions.saturation->setBuddy(m_saturation);
    captions.sharpness = new QLabel(text(Strings::Sharpness), this);
    captions.sharpnessValue = makeReadout(QStringLiteral("5"), "sharpnessValue", this);
    captions.sharpnessTop = new QLabel(QStringLiteral("5"), this);
    captions.sharpnessBottom = new QLabel(QStringLiteral("0"), this);
}

QGridLayout* FilmPage::layOutBody(const Captions& captions)
{
    auto* body = new QGridLayout;
    body->addWidget(captions.film, 0, 0);
    body->addWidget(m_filmList, 0, 1, 1, 2);
    body->addWidget(captions.exposure, 1, 0);
    body->addWidget(m_exposure, 1, 1);
    body->addWidget(captions.exposureUnit, 1, 2);
    body->addWidget(captions.exposureScale, 2, 1);
    body->addWidget(m_portraitBox, 3, 1, 1, 2);
    body->addWidget(m_highKeyBox, 3, 1, 1, 2);
    body->addWidget(m_blackCorrectionBox, 4, 1, 1, 2);
    body->addWidget(captions.saturation, 5, 0);
    body->addWidget(m_saturation, 5, 1);
    body->addWidget(captions.saturationValue, 5, 2);
    body->addWidget(captions.saturationScale, 6, 1);
    // The LUT button sits below, not beside the film list: the strip needs that width.
    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(m_toSrgbBox);
    lastRow->addStretch(1);
    lastRow->addWidget(m_lutButton);
    body->addLayout(lastRow, 7, 0, 1, 3);
    body->setColumnStretch(1, 1);
    body->setRowStretch(8, 1);
    return body;
}

void FilmPage::layOutPage(const Captions& captions)
{
    auto* sharpnessColumn = new QVBoxLayout;
    auto* sharpnessHeader = new QHBoxLayout;
    sharpnessHeader->setSpacing(4);
    sharpnessHeader->addWidget(captions.sharpness);
    sharpnessHeader->addWidget(captions.sharpnessValue);
    sharpnessColumn->addLayout(sharpnessHeader);
    sharpnessColumn->addWidget(captions.sharpnessTop, 0, Qt::AlignHCenter);
    sharpnessColumn->addWidget(m_sharpness, 1, Qt::AlignHCenter);
    sharpnessColumn->addWidget(captions.sharpnessBottom, 0, Qt::AlignHCenter);

    auto* columns = new QHBoxLayout;
    columns->setContentsMargins(8, 6, 8, 6);
    columns->addLayout(layOutBody(captions), 1);
    // Upright beside the film list: it costs the page no height, and the panes keep theirs.
    columns->addSpacing(8);
    columns->addWidget(m_strip);
    columns->addSpacing(12);
    columns->addLayout(sharpnessColumn);

    auto* band = new QHBoxLayout;
    band->setContentsMargins(6, 0, 6, 0);
    band->addWidget(m_enabledBox);
    band->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bandHolder = new QWidget(this);
    bandHolder->setFixedHeight(kBandHeight);
    bandHolder->setLayout(band);
    layout->addWidget(bandHolder);
    layout->addSpacing(1);  // the band's lower line
    layout->addLayout(columns, 1);
}

void FilmPage::connectControls(const Captions& captions)
{
    auto showValues = [this, captions] {
        captions.exposureUnit->setText(exposureValueText(m_exposure->value()) + QLatin1Char(' ') +
                                       text(Strings::ExposureUnit));
        captions.saturationValue->setText(saturationValueText(m_saturation->value()));
        // The position runs from the strongest at the top; the level is what sharpens.
        captions.sharpnessValue->setText(
            QString::number(kSharpnessRange.maximum - m_sharpness->value()));
    };
    for (QSlider* slider : {m_exposure, m_saturation, m_sharpness})
        connect(slider, &QSlider::valueChanged, this, showValues);
    showValues();

    connect(m_enabledBox, &QCheckBox::toggled, this, [this] { applyEnabledRule(); });
    connect(m_filmList, &QComboBox::currentIndexChanged, this, [this] {
        applyFilmTypeRule();
        m_strip->setCurrentFilm(m_filmList->currentData().toInt());
    });
    connect(m_strip, &FilmStrip::filmChosen, this, [this](int code) {
        m_filmList->setCurrentIndex(std::max(0, m_filmList->findData(code)));
    });
    // The strip shows the look the options make now; the film type alone changes nothing in it.
    auto showLook = [this] { m_strip->setSettings(settings()); };
    for (QSlider* slider : {m_exposure, m_saturation, m_sharpness})
        connect(slider, &QSlider::valueChanged, this, showLook);
    for (QCheckBox* box : {m_portraitBox, m_highKeyBox, m_blackCorrectionBox, m_toSrgbBox})
        connect(box, &QCheckBox::toggled, this, showLook);
    connect(m_lutButton, &QPushButton::clicked, this, [this] { exportLut(); });
    connect(m_lutRunner, &LutExportRunner::finished, this, &FilmPage::onLutExported);
}

void FilmPage::setPreviewPicture(const Image* picture, const std::vector<std::uint8_t>& icc,
                                 const Image* inks)
{
    m_strip->setPicture(picture, icc, inks);
}

void FilmPage::setFilmStripShown(bool shown)
{
    m_strip->setVisible(shown);
}

const FilmStrip& FilmPage::filmStrip() const
{
    return *m_strip;
}

FilmSettings FilmPage::settings() const
{
    FilmSettings settings;
    settings.enabled = m_enabledBox->isChecked();
    settings.filmType = m_filmList->currentData().toInt();
    settings.exposure = m_exposure->value();
    settings.portrait = m_portraitBox->isChecked();
    settings.highKey = m_highKeyBox->isChecked();
    settings.blackCorrection = m_blackCorrectionBox->isChecked();
    settings.sharpnessPosition = m_sharpness->value();
    settings.saturation = m_saturation->value();
    settings.toSrgb = m_toSrgbBox->isChecked();
    return settings;
}

void FilmPage::setSettings(const FilmSettings& settings)
{
    m_enabledBox->setChecked(settings.enabled);
    m_filmList->setCurrentIndex(std::max(0, filmListIndex(settings.filmType)));
    m_exposure->setValue(settings.exposure);
    m_portraitBox->setChecked(settings.portrait);
    m_highKeyBox->setChecked(settings.highKey);
    m_blackCorrectionBox->setChecked(settings.blackCorrection);
    m_sharpness->setValue(settings.sharpnessPosition);
    m_saturation->setValue(settings.saturation);
    m_toSrgbBox->setChecked(settings.toSrgb);
    applyEnabledRule();
    applyFilmTypeRule();
    m_strip->setCurrentFilm(m_filmList->currentData().toInt());
    m_strip->setSettings(this->settings());
}

void FilmPage::applyEnabledRule()
{
    const bool on = m_enabledBox->isChecked();
    for (QWidget* control : m_switchable) control->setEnabled(on);
    m_lutButton->setEnabled(on && !m_lutRunner->isRunning());
}

void FilmPage::setLutPathChooser(LutPathChooser chooser)
{
    m_lutPathChooser = chooser ? std::move(chooser) : LutPathChooser(askLutPath);
}

bool FilmPage::isExportingLut() const
{
    return m_lutRunner->isRunning();
}

void FilmPage::exportLut()
{
    // Read before any dialog, so the LUT holds what the page showed when the button was pressed.
    const FilmSettings look = settings();
    // File names say which look the LUT holds.
    const FilmRow* film = findFilm(look.filmType);
    const QString stem = QString::fromUtf8((film ? *film : filmRows().front()).lutStem);
    const QString suggested = QDir(m_lutFolder).filePath(stem + ".cube");
    const QString path = m_lutPathChooser(this, suggested);
    if (path.isEmpty())
        return;
    LutFormat format;
    if (!lutFormatOfPath(QFile::encodeName(path).toStdString(), format)) {
        showMessageBox(this, text(Strings::LutNeedsExtension).arg(path), QMessageBox::Warning);
        return;
    }
    LutSizeDialog sizeDialog(format, this);
    if (sizeDialog.exec() != QDialog::Accepted)
        return;
    m_lutFolder = QFileInfo(path).absolutePath();
    if (!m_lutRunner->start(path, look, LutChoice{format, sizeDialog.size()})) {
        showMessageBox(this, text(Strings::LutExportFailed).arg(path, QString()),
                       QMessageBox::Warning);
        return;
    }
    m_lutButton->setEnabled(false);
    m_lutButton->setCursor(Qt::BusyCursor);
}

void FilmPage::onLutExported(bool ok, const QString& path, const QString& error)
{
    m_lutButton->unsetCursor();
    applyEnabledRule();
    if (!ok)
        showMessageBox(this, text(Strings::LutExportFailed).arg(path, error), QMessageBox::Warning);
    emit lutExportFinished(ok, path);
}

void FilmPage::applyFilmTypeRule()
{
    const FilmOptionsShown shown = filmOptionsShown(m_filmList->currentData().toInt());
    m_portraitBox->setVisible(shown.portrait);
    m_highKeyBox->setVisible(shown.highKey);
    m_blackCorrectionBox->setVisible(shown.blackCorrection);
}

void FilmPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(0, 0, width(), kBandHeight, kBandColour);
    painter.fillRect(0, kBandHeight, width(), 1, kBandLineColour);
}

}  // namespace tavelune::gui
