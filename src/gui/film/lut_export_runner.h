// Writes a film look's LUT on a worker thread and reports back on the UI thread.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <thread>

#include "job/lut_export.h"

namespace tavelune::gui {

/// One export at a time; the worker has its own copy of the path and the settings.
class LutExportRunner : public QObject {
    Q_OBJECT
public:
    explicit LutExportRunner(QObject* parent = nullptr);
    ~LutExportRunner() override;

    bool isRunning() const { return m_running; }
    /// False when an export is already running or no thread could be started.
    bool start(const QString& path, const FilmSettings& settings, const LutChoice& choice);

signals:
    /// error is the core's reason, empty on success.
    void finished(bool ok, const QString& path, const QString& error);

private:
    void wait();

    bool m_running = false;
    std::thread m_worker;
};

}  // namespace tavelune::gui
