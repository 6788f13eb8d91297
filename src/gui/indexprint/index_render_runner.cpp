// The sheet render on its worker; every hand-over to the UI thread is queued.
#include "gui/indexprint/index_render_runner.h"

#include <QMetaObject>
#include <system_error>

namespace tavelune::gui {

IndexRenderRunner::IndexRenderRunner(QObject* parent) : QObject(parent) {}

IndexRenderRunner::~IndexRenderRunner()
{
    abandon();
}

void IndexRenderRunner::join()
{
    if (m_worker.joinable())
        m_worker.join();
}

void IndexRenderRunner::cancel()
{
    m_stop = true;
}

void IndexRenderRunner::abandon()
{
    m_stop = true;
    join();
    m_running = false;
    m_work.reset();
}

bool IndexRenderRunner::start(IndexRenderRequest request)
{
    if (m_running)
        return false;
    join();
    m_request = std::move(request);
    m_stop = false;
    m_work = std::make_unique<IndexSheet>();
    m_work->setLayout(m_request.style, m_request.dpi);
    m_pageWidth = m_work->layout().pageWidthPx;
    m_pageHeight = m_work->layout().pageHeightPx;
    // Only changed positions are sent, so the UI thread gets one event per step at most.
    // Reports of an abandoned render may still be queued; the generation tells them apart.
    const unsigned generation = ++m_generation;
    auto last = std::make_shared<std::atomic<int>>(-1);
    m_progress = std::make_unique<Progress>([this, last, generation](int position) {
        if (last->exchange(position) != position) {
            QMetaObject::invokeMethod(
                this,
                [this, position, generation] {
                    if (generation == m_generation)
                        emit progressChanged(position);
                },
                Qt::QueuedConnection);
        }
    });
    m_running = true;
    try {
        // The destructor joins the worker, so `this` outlives every call made from it.
        m_worker = std::thread([this, generation] {
            const IndexRenderRequest& r = m_request;
            const bool ok = m_work->render(r.style, r.dpi, r.title, r.signature, r.content,
                                           r.fitMode, r.numberFrom, r.hasLogo ? &r.logo : nullptr,
                                           r.items, m_progress.get(), &m_stop);
            const Outcome outcome = ok                  ? Outcome::Done
                                    : m_work->stopped() ? Outcome::Cancelled
                                                        : Outcome::Failed;
            QMetaObject::invokeMethod(
                this,
                [this, outcome, generation] {
                    if (generation == m_generation)
                        onDone(outcome);
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_running = false;
        m_work.reset();
        return false;
    }
    return true;
}

void IndexRenderRunner::onDone(Outcome outcome)
{
    if (!m_running)
        return;
    join();
    m_running = false;
    if (outcome == Outcome::Done)
        m_done = std::move(m_work);
    m_work.reset();
    emit finished(outcome);
}

}  // namespace tavelune::gui
