// The batch worker: the core run on its own thread, events queued back to the UI.
#include "gui/batch/batch_runner.h"

#include <QMetaObject>
#include <QPointer>
#include <system_error>

namespace tavelune::gui {

BatchRunner::BatchRunner(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<tavelune::BatchFileResult>("tavelune::BatchFileResult");
}

BatchRunner::~BatchRunner()
{
    m_cancel = true;
    if (m_worker.joinable()) {
        m_worker.join();
    }
    if (m_running) {
        setMessageSink(std::move(m_savedSink));
    }
}

bool BatchRunner::start(std::vector<std::string> files, const BatchSettings& settings)
{
    if (m_running) {
        return false;
    }
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_cancel = false;
    m_results.clear();
    m_savedSink = setMessageSink([](const std::string&, const std::string&, MessageIcon) {});
    // The queued calls name this object as their context: Qt drops them if it is gone.
    auto post = [this](auto&& call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    };
    BatchObserver observer;
    observer.started = [this, post](size_t index, const std::string&) {
        post([this, index] { emit fileStarted(int(index)); });
    };
    observer.fileProgress = [this, post](size_t index, int percent) {
        post([this, index, percent] { emit fileProgress(int(index), percent); });
    };
    observer.finished = [this, post](size_t index, const BatchFileResult& result) {
        post([this, index, result] { emit fileFinished(int(index), result); });
    };
    try {
        m_worker = std::thread([this, post, files = std::move(files), settings, observer] {
            std::vector<BatchFileResult> results = runBatch(files, settings, observer, &m_cancel);
            post([this, results = std::move(results)]() mutable {
                onWorkerDone(std::move(results));
            });
        });
    } catch (const std::system_error&) {
        setMessageSink(std::move(m_savedSink));
        return false;
    }
    m_running = true;
    return true;
}

void BatchRunner::cancel()
{
    if (m_running) {
        m_cancel = true;
    }
}

void BatchRunner::onWorkerDone(std::vector<BatchFileResult> results)
{
    if (m_worker.joinable()) {
        m_worker.join();
    }
    setMessageSink(std::move(m_savedSink));
    m_results = std::move(results);
    m_running = false;
    emit finished(m_cancel.load());
}

}  // namespace tavelune::gui
