// Writes a film look's LUT off the UI thread and reports back on the UI thread.
#pragma once

#include <QObject>
#include <QString>

#include "job/lut_export.h"

namespace tavelune::gui {

class BackgroundJob;

/// One export at a time; the worker has its own copy of the path and the settings.
class LutExportRunner : public QObject {
    Q_OBJECT
public:
    explicit LutExportRunner(QObject* parent = nullptr);
    ~LutExportRunner() override;

    bool isRunning() const;
    /// False when an export is already running.
    bool start(const QString& path, const FilmSettings& settings, const LutChoice& choice);

signals:
    /// error is the core's reason, empty on success.
    void finished(bool ok, const QString& path, const QString& error);

private:
    BackgroundJob* m_job;
};

}  // namespace tavelune::gui
