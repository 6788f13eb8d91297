// Runs the conversion job on a worker thread and hands progress and the result to the UI thread.
#pragma once

#include <QObject>
#include <memory>
#include <thread>

#include "engine/image.h"
#include "exif/exif_data.h"
#include "job/conversion_job.h"
#include "pixel/progress.h"

namespace tavelune::gui {

/// One job at a time. The worker has its own copies of the source, its EXIF data and the
/// settings, so nothing the page holds is shared with it; the result replaces the caller's only
/// when the job succeeded, so a failed run leaves the shown result alone.
class ConversionRunner : public QObject {
    Q_OBJECT
public:
    explicit ConversionRunner(QObject* parent = nullptr);
    ~ConversionRunner() override;

    bool isRunning() const { return m_running; }
    /// False when a job is already running or no thread could be started.
    bool start(const Image& source, const ExifData* exif, const ConversionSettings& settings);
    /// The last successful result and its mat margins (valid after finished(true)).
    Image takeResult() { return std::move(m_result); }
    Rect margins() const { return m_margins; }
    /// Waits for a running job to end; used when the program quits.
    void wait();

signals:
    void progressChanged(int position);
    void finished(bool ok);

private:
    void onDone(bool ok);

    bool m_running = false;
    std::thread m_worker;
    std::unique_ptr<Progress> m_progress;
    Image m_source;
    ExifData m_exif;
    bool m_hasExif = false;
    Image m_workResult;
    Rect m_workMargins;
    Image m_result;
    Rect m_margins;
};

}  // namespace tavelune::gui
