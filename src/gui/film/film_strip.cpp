// The film strip: previews drawn on a worker, shown as exclusive buttons.
#include "gui/film/film_strip.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include "engine/colour_profile.h"
#include "film/film_previews.h"
#include "film/film_registry.h"
#include "gui/controls/image_bridge.h"
#include "gui/support/background_job.h"
#include "gui/support/string_table.h"
#include "view/display_colour.h"

namespace tavelune::gui {

namespace {

struct StripDrawing {
    FilmPreviews previews;
    std::vector<Image> shown;  // see FilmStrip::m_shown
};

// The films see the numbers the conversion gives them: the file's own, or with "to sRGB" the
// picture turned into sRGB first (a CMYK photo's inks through its profile), which is then also
// what the screen takes.
StripDrawing drawStrip(const Image& source, const std::vector<std::uint8_t>& profile,
                       const Image& inks, const FilmSettings& settings,
                       const std::atomic<bool>* stop)
{
    StripDrawing drawing;
    if (settings.toSrgb && !profile.empty() && !isOurSrgbProfile(profile)) {
        Image srgb = inks;
        if (srgb.isEmpty()) {
            srgb = source;
            (void)convertToSrgb(srgb, profile);
        }
        drawing.previews = renderFilmPreviews(srgb, settings, stop);
        drawing.shown.resize(drawing.previews.pictures.size());
        return drawing;
    }
    drawing.previews = renderFilmPreviews(source, settings, stop);
    for (const Image& preview : drawing.previews.pictures)
        drawing.shown.push_back(srgbDisplayCopy(preview, profile));
    return drawing;
}

}  // namespace

/// One film's preview; checked when it is the chosen film.
class FilmPreviewButton : public QAbstractButton {
public:
    explicit FilmPreviewButton(QWidget* parent) : QAbstractButton(parent)
    {
        setCheckable(true);
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::PointingHandCursor);
        const int side = FilmStrip::kPreviewSide + 2 * kFrame;
        setFixedSize(side, side);
    }

    void setPicture(QImage picture)
    {
        m_picture = std::move(picture);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Mid));
        if (!m_picture.isNull()) {
            const QRect area = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
            QRect target(QPoint(), m_picture.size());
            target.moveCenter(area.center());
            painter.drawImage(target, m_picture);
        }
        if (isChecked() || hasFocus()) {
            QPen pen(isChecked() ? palette().color(QPalette::Highlight)
                                 : palette().color(QPalette::Dark));
            pen.setWidth(kFrame);
            painter.setPen(pen);
            painter.drawRect(rect().adjusted(1, 1, -1, -1));
        }
        if (!isEnabled())
            painter.fillRect(rect(), QColor(255, 255, 255, 140));
    }

private:
    static constexpr int kFrame = 2;
    QImage m_picture;
};

FilmStrip::FilmStrip(QWidget* parent)
    : QWidget(parent), m_group(new QButtonGroup(this)), m_job(new BackgroundJob(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    m_group->setExclusive(true);
    for (const FilmRow& film : filmRows()) {
        auto* button = new FilmPreviewButton(this);
        button->setObjectName(QStringLiteral("filmPreview%1").arg(film.code));
        button->setToolTip(text(film.textId));
        button->setAccessibleName(text(film.textId));
        m_group->addButton(button, film.code);
        m_buttons.push_back(button);
        layout->addWidget(button);
    }
    layout->addStretch();
    connect(m_group, &QButtonGroup::idClicked, this, &FilmStrip::filmChosen);
    m_previews.resize(m_buttons.size());
    m_shown.resize(m_buttons.size());
}

FilmStrip::~FilmStrip()
{
    m_job->discard();
    m_job->wait();
}

void FilmStrip::setPicture(const Image* picture, const std::vector<std::uint8_t>& icc,
                           const Image* inks)
{
    m_source = Image();
    if (!picture || !filmPreviewSource(*picture, kPreviewSide, m_source))
        m_source = Image();
    m_inks = Image();
    if (m_source.isEmpty() || !inks || inks->width() != picture->width() ||
        inks->height() != picture->height() || !filmPreviewSource(*inks, kPreviewSide, m_inks))
        m_inks = Image();
    m_profile = icc;
    scheduleDrawing();
}

void FilmStrip::setSettings(const FilmSettings& settings)
{
    m_settings = settings;
    scheduleDrawing();
}

void FilmStrip::setCurrentFilm(int code)
{
    if (QAbstractButton* button = m_group->button(code))
        button->setChecked(true);
}

const Image& FilmStrip::preview(int index) const
{
    return m_previews.at(size_t(index));
}

const Image& FilmStrip::shownPreview(int index) const
{
    const Image& shown = m_shown.at(size_t(index));
    return shown.isEmpty() ? m_previews.at(size_t(index)) : shown;
}

bool FilmStrip::isDrawing() const
{
    return m_scheduled || m_job->isRunning();
}

void FilmStrip::scheduleDrawing()
{
    // A settings change arrives as several control signals at once; one drawing follows them.
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        draw();
    });
}

void FilmStrip::draw()
{
    if (m_source.isEmpty()) {
        m_job->discard();
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            m_previews[i] = Image();
            m_shown[i] = Image();
            m_buttons[i]->setPicture(QImage());
        }
        emit previewsDrawn();
        return;
    }
    auto source = std::make_shared<const Image>(m_source);
    auto profile = std::make_shared<const std::vector<std::uint8_t>>(m_profile);
    auto inks = std::make_shared<const Image>(m_inks);
    const FilmSettings settings = m_settings;
    m_job->start<StripDrawing>(
        [source, profile, inks, settings](JobControl& control) {
            return drawStrip(*source, *profile, *inks, settings, control.stopFlag());
        },
        [this](StripDrawing drawn) {
            if (!drawn.previews.complete)
                return;
            std::vector<Image>& pictures = drawn.previews.pictures;
            for (size_t i = 0; i < m_buttons.size() && i < pictures.size(); ++i) {
                m_previews[i] = std::move(pictures[i]);
                m_shown[i] = std::move(drawn.shown[i]);
                // Film output carries no meaningful alpha; shown opaque.
                m_buttons[i]->setPicture(
                    toQImage(shownPreview(int(i))).convertToFormat(QImage::Format_RGB32));
            }
            emit previewsDrawn();
        });
}

}  // namespace tavelune::gui
