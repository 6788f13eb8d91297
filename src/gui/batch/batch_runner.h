// Runs a batch on a worker thread and hands its events to the UI thread.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <thread>
#include <vector>

#include "engine/message_sink.h"
#include "job/batch_conversion.h"

namespace tavelune::gui {

/// One run at a time. Every event arrives on the UI thread by a queued call; the worker never
/// touches a widget. While a run goes the engine's message boxes are held back: each file's
/// failure comes back as its reason instead.
class BatchRunner : public QObject {
    Q_OBJECT
public:
    explicit BatchRunner(QObject* parent = nullptr);
    /// Cancels and waits, so no worker outlives the dialog.
    ~BatchRunner() override;

    bool isRunning() const { return m_running; }
    /// False when a run is going or no thread could be started.
    bool start(std::vector<std::string> files, const BatchSettings& settings);
    /// Files not yet begun are left; files in progress are finished (each written whole).
    void cancel();
    bool isCancelling() const { return m_running && m_cancel.load(); }
    /// The results of the last run, in list order (after finished()).
    const std::vector<BatchFileResult>& results() const { return m_results; }

signals:
    void fileStarted(int index);
    void fileProgress(int index, int percent);
    void fileFinished(int index, const tavelune::BatchFileResult& result);
    void finished(bool cancelled);

private:
    void onWorkerDone(std::vector<BatchFileResult> results);

    bool m_running = false;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
    MessageSink m_savedSink;
    std::vector<BatchFileResult> m_results;
};

}  // namespace tavelune::gui
