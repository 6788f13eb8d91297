// The conversion job on its worker, with every hand-over to the UI thread queued.
#include "gui/app/conversion_runner.h"

#include <QMetaObject>

#include "engine/corvane_error.h"
#include "exif/exif_entry.h"

namespace tavelune::gui {

ConversionRunner::ConversionRunner(QObject* parent) : QObject(parent) {}

ConversionRunner::~ConversionRunner()
{
    wait();
}

void ConversionRunner::wait()
{
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

bool ConversionRunner::start(const Image& source, const ExifData* exif,
                             const ConversionSettings& settings)
{
    if (m_running) {
        return false;
    }
    wait();
    m_source = source;
    m_hasExif = exif != nullptr;
    // The information tags read entries only; the file's raw segments stay with the page.
    m_exif.Clear();
    if (exif) {
        for (const auto& entry : exif->entries()) {
            m_exif.entries().push_back(std::make_unique<ExifEntry>(*entry));
        }
    }
    m_workResult = Image();
    m_workMargins = Rect();
    // The bar only moves when the position changes, so the UI thread gets at most 100 events.
    auto last = std::make_shared<std::atomic<int>>(-1);
    // The destructor joins the worker, so `this` outlives every call made from it; a queued call
    // whose context object is gone is dropped by Qt.
    m_progress = std::make_unique<Progress>([this, last](int position) {
        if (last->exchange(position) != position) {
            QMetaObject::invokeMethod(
                this, [this, position] { emit progressChanged(position); }, Qt::QueuedConnection);
        }
    });
    m_running = true;
    try {
        m_worker = startConversion(m_source, m_hasExif ? &m_exif : nullptr, settings, *m_progress,
                                   m_workResult, m_workMargins, [this](bool ok) {
                                       QMetaObject::invokeMethod(
                                           this, [this, ok] { onDone(ok); }, Qt::QueuedConnection);
                                   });
    } catch (const CCorvaneError&) {
        m_running = false;
        return false;
    }
    return true;
}

void ConversionRunner::onDone(bool ok)
{
    wait();
    m_running = false;
    if (ok) {
        m_result = std::move(m_workResult);
        m_margins = m_workMargins;
    }
    m_workResult = Image();
    emit finished(ok);
}

}  // namespace tavelune::gui
