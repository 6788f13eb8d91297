// The batch on the job helper; the core's observer events are posted back to the UI thread.
#include "gui/batch/batch_runner.h"

#include "gui/support/background_job.h"

namespace tavelune::gui {

BatchRunner::BatchRunner(QObject* parent) : QObject(parent), m_job(new BackgroundJob(this))
{
    qRegisterMetaType<tavelune::BatchFileResult>("tavelune::BatchFileResult");
}

BatchRunner::~BatchRunner()
{
    m_job->cancel();
    m_job->wait();
}

bool BatchRunner::isRunning() const
{
    return m_job->isRunning();
}

bool BatchRunner::start(std::vector<std::string> files, const BatchSettings& settings)
{
    if (isRunning()) {
        return false;
    }
    m_cancelling = false;
    m_results.clear();
    m_job->start<std::vector<BatchFileResult>>(
        [this, files = std::move(files), settings, gate = m_gate](JobControl& control) {
            // The observer's calls are posted, so `this` is only used on the UI thread.
            BatchObserver observer;
            observer.started = [this, &control](size_t index, const std::string&) {
                control.post([this, index] { emit fileStarted(int(index)); });
            };
            observer.fileProgress = [this, &control](size_t index, int percent) {
                control.post([this, index, percent] { emit fileProgress(int(index), percent); });
            };
            observer.finished = [this, &control, &gate](size_t index,
                                                        const BatchFileResult& result) {
                if (gate)
                    gate(index);
                control.post([this, index, result] { emit fileFinished(int(index), result); });
            };
            return runBatch(files, settings, observer, control.stopFlag());
        },
        [this](std::vector<BatchFileResult> results) {
            m_results = std::move(results);
            emit finished(m_cancelling);
        });
    return true;
}

void BatchRunner::cancel()
{
    if (isRunning()) {
        m_cancelling = true;
        m_job->cancel();
    }
}

}  // namespace tavelune::gui
