// Runs a batch off the UI thread and hands its events to the UI thread.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "job/batch_conversion.h"

namespace tavelune::gui {

class BackgroundJob;

/// One run at a time. Every event arrives on the UI thread; the worker never touches a widget.
/// While a run goes the engine's message boxes are held back: each file's failure comes back as
/// its reason instead.
class BatchRunner : public QObject {
    Q_OBJECT
public:
    explicit BatchRunner(QObject* parent = nullptr);
    /// Cancels and waits, so no worker outlives the dialog.
    ~BatchRunner() override;

    bool isRunning() const;
    /// False when a run is going.
    bool start(std::vector<std::string> files, const BatchSettings& settings);
    /// Files not yet begun are left; files in progress are finished (each written whole).
    void cancel();
    bool isCancelling() const { return isRunning() && m_cancelling; }
    /// Called on the worker once a file is done, before its result is handed on; while it
    /// waits the run waits. Lets a test catch a run in the middle; set before start().
    using FileGate = std::function<void(size_t index)>;
    void setFileGate(FileGate gate) { m_gate = std::move(gate); }
    /// The results of the last run, in list order (after finished()).
    const std::vector<BatchFileResult>& results() const { return m_results; }

signals:
    void fileStarted(int index);
    void fileProgress(int index, int percent);
    void fileFinished(int index, const tavelune::BatchFileResult& result);
    void finished(bool cancelled);

private:
    BackgroundJob* m_job;
    bool m_cancelling = false;
    FileGate m_gate;
    std::vector<BatchFileResult> m_results;
};

}  // namespace tavelune::gui
