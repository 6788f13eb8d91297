// Binds the histogram panel's canvas and worker to a widget, its menu and the clipboard.
#include "gui/histogram/histogram_panel_widget.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>

#include "engine/corvane_error.h"
#include "gui/controls/image_bridge.h"
#include "gui/controls/message_box.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {
namespace {

QString copyHistogramText()
{
    const QByteArray format = text(Strings::JoinTwoTexts).toUtf8();
    return QString::asprintf(format.constData(), text(Strings::CopyItem).toUtf8().constData(),
                             text(Strings::HistogramItem).toUtf8().constData());
}

// The canvas leaves some alpha values below 255; like a bitmap blit, the panel ignores them.
QImage opaqueImage(const Image& picture)
{
    return toQImage(picture).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

HistogramPanelWidget::HistogramPanelWidget(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
    // Every pixel is painted from the canvas, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_model.setInvalidate([this] {
        // Runs on the worker; the widget outlives it because the destructor stops it first.
        const std::uint64_t generation = m_generation.load();
        QMetaObject::invokeMethod(
            this, [this, generation] { onWorkerRepaint(generation); }, Qt::QueuedConnection);
    });

    m_copyHistogram = new QAction(copyHistogramText(), this);
    // "&&" is how a menu shows one ampersand.
    m_copyAll = new QAction(copyHistogramText() + " && Exif", this);
    connect(m_copyHistogram, &QAction::triggered, this, &HistogramPanelWidget::copyHistogram);
    connect(m_copyAll, &QAction::triggered, this, &HistogramPanelWidget::copyHistogramAndExif);
}

HistogramPanelWidget::~HistogramPanelWidget()
{
    stopCalculation();
}

bool HistogramPanelWidget::startCalculation(const Image& picture, const ExifData* exif)
{
    stopCalculation();
    m_picture = picture;
    m_exif = exif;
    m_pending = true;
    try {
        m_model.StartHistogram(&m_picture, nullptr);
    } catch (const CCorvaneError& error) {
        m_pending = false;
        update();
        showMessageBox(this, QString::fromUtf8(error.what()), QMessageBox::Critical);
        return false;
    }
    update();
    return true;
}

void HistogramPanelWidget::stopCalculation()
{
    m_model.StopHistogram();
    ++m_generation;
    m_pending = false;
    update();
}

void HistogramPanelWidget::refreshSummary()
{
    if (m_pending || m_model.IsCalculating())
        return;
    m_model.DrawSummary(&m_picture, m_exif, false);
    update();
}

void HistogramPanelWidget::onWorkerRepaint(std::uint64_t generation)
{
    if (generation != m_generation.load())
        return;
    if (m_pending && !m_model.IsCalculating()) {
        // The EXIF summary is drawn here rather than on the worker, so the EXIF list may edit
        // the data while the worker counts.
        m_model.DrawSummary(&m_picture, m_exif, false);
        m_pending = false;
        update();
        emit calculationFinished();
        return;
    }
    update();
}

void HistogramPanelWidget::paintEvent(QPaintEvent*)
{
    Image frame;
    if (!frame.create(kHistogramWidth, kHistogramHeight, 96.0f))
        return;
    m_model.paint(frame);
    QPainter painter(this);
    painter.setPen(QColor(48, 48, 48));
    painter.drawRect(0, 0, width() - 1, height() - 1);
    painter.drawImage(1, 1, opaqueImage(frame));
}

void HistogramPanelWidget::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu::exec(contextMenuActions(), event->globalPos(), nullptr, this);
}

void HistogramPanelWidget::copyHistogram()
{
    QGuiApplication::clipboard()->setImage(opaqueImage(m_model.copyGraph()));
}

void HistogramPanelWidget::copyHistogramAndExif()
{
    QGuiApplication::clipboard()->setImage(opaqueImage(m_model.copyAll()));
}

}  // namespace tavelune::gui
