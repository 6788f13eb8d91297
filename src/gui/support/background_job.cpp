// The job pool, the hand-over of results and the dropping of replaced ones.
#include "gui/support/background_job.h"

#include <QFutureWatcher>
#include <QMetaObject>
#include <algorithm>

namespace tavelune::gui {

JobControl::JobControl(BackgroundJob* owner, unsigned generation)
    : m_owner(owner), m_generation(generation), m_progress([this](int position) {
          if (m_lastPosition.exchange(position) != position) {
              post([owner = m_owner, position] { emit owner->progressChanged(position); });
          }
      })
{
}

void JobControl::post(std::function<void()> call)
{
    BackgroundJob* owner = m_owner;
    const unsigned generation = m_generation;
    QMetaObject::invokeMethod(
        owner,
        [owner, generation, call = std::move(call)] {
            if (owner->isCurrent(generation)) {
                call();
            }
        },
        Qt::QueuedConnection);
}

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob()
{
    cancel();
    wait();
}

QThreadPool* BackgroundJob::pool()
{
    // Jobs are few and long (a conversion, a batch, a sheet, a save): each gets a thread at
    // once, as it would with a thread of its own, instead of queueing behind another.
    static QThreadPool jobs;
    static const bool sized = [] {
        jobs.setMaxThreadCount(std::max(8, QThread::idealThreadCount()));
        return true;
    }();
    (void)sized;
    return &jobs;
}

std::shared_ptr<JobControl> BackgroundJob::begin()
{
    if (m_current) {
        m_current->m_stop = true;
    }
    m_current = std::make_shared<JobControl>(this, ++m_generation);
    m_running = true;
    return m_current;
}

void BackgroundJob::watch(QFuture<void> future, unsigned generation, std::function<void()> deliver)
{
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation, deliver = std::move(deliver)] {
                watcher->deleteLater();
                std::erase_if(m_futures, [](const QFuture<void>& f) { return f.isFinished(); });
                if (!isCurrent(generation)) {
                    return;  // replaced by a newer request
                }
                m_running = false;
                m_current.reset();
                deliver();
            });
    watcher->setFuture(future);
    m_futures.push_back(std::move(future));
}

void BackgroundJob::cancel()
{
    if (m_current) {
        m_current->m_stop = true;
    }
}

void BackgroundJob::discard()
{
    cancel();
    ++m_generation;
    m_running = false;
    m_current.reset();
}

void BackgroundJob::wait()
{
    for (QFuture<void>& future : m_futures) {
        future.waitForFinished();
    }
}

}  // namespace tavelune::gui
