// The one way the desktop program runs work off the UI thread and gets its outcome back on it.
#pragma once

#include <QFuture>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "pixel/progress.h"

namespace tavelune::gui {

class BackgroundJob;

/// What a job's work sees on its worker: whether to stop, where to report progress, and a way
/// to hand intermediate events to the UI thread.
class JobControl {
public:
    JobControl(BackgroundJob* owner, unsigned generation);
    JobControl(const JobControl&) = delete;
    JobControl& operator=(const JobControl&) = delete;

    /// True once the job was cancelled or a newer request replaced it.
    bool stopRequested() const { return m_stop.load(); }
    const std::atomic<bool>* stopFlag() const { return &m_stop; }
    /// Reaches BackgroundJob::progressChanged on the UI thread; only changed positions cross.
    Progress& progress() { return m_progress; }
    /// Runs call on the UI thread, unless the job has been replaced by then.
    void post(std::function<void()> call);

private:
    friend class BackgroundJob;

    BackgroundJob* m_owner;  // outlives the work: its destructor waits for every worker
    unsigned m_generation;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_lastPosition{-1};
    Progress m_progress;
};

/// Runs one request at a time on a worker of the program's job pool. Progress, events and the
/// result arrive on the UI thread, in the order the work produced them. A newer request asks
/// the older one to stop and drops whatever it still delivers, so only the newest result is
/// ever seen. Destroying the job stops and waits for every worker it started.
class BackgroundJob : public QObject {
    Q_OBJECT
public:
    explicit BackgroundJob(QObject* parent = nullptr);
    ~BackgroundJob() override;

    /// work(JobControl&) -> Result runs on a worker; done(Result) on the UI thread afterwards.
    /// Result must be default-constructible: a work that throws (out of memory) delivers
    /// Result{}, which each caller reads as its failure.
    template <class Result, class Work, class Done>
    void start(Work work, Done done)
    {
        std::shared_ptr<JobControl> control = begin();
        auto result = std::make_shared<Result>();
        QFuture<void> future = QtConcurrent::run(pool(), [control, result, work]() mutable {
            try {
                *result = work(*control);
            } catch (const std::exception&) {
                *result = Result();
            }
        });
        watch(std::move(future), control->m_generation,
              [result, done]() mutable { done(std::move(*result)); });
    }

    /// A request whose result has not been delivered yet.
    bool isRunning() const { return m_running; }
    /// Asks the running work to stop; it still delivers its result (the work decides what).
    void cancel();
    /// Asks the running work to stop and drops its result: nothing more is delivered for it.
    void discard();
    /// Blocks until every worker has ended; for teardown only.
    void wait();

signals:
    void progressChanged(int position);

private:
    friend class JobControl;

    std::shared_ptr<JobControl> begin();
    void watch(QFuture<void> future, unsigned generation, std::function<void()> deliver);
    bool isCurrent(unsigned generation) const { return generation == m_generation; }
    static QThreadPool* pool();

    unsigned m_generation = 0;  // touched on the UI thread only
    bool m_running = false;
    std::shared_ptr<JobControl> m_current;
    std::vector<QFuture<void>> m_futures;
};

}  // namespace tavelune::gui
