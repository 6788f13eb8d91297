// The LUT export on its worker; the result reaches the UI thread by a queued call.
#include "gui/film/lut_export_runner.h"

#include <QFile>
#include <QMetaObject>
#include <system_error>

namespace tavelune::gui {

LutExportRunner::LutExportRunner(QObject* parent) : QObject(parent) {}

LutExportRunner::~LutExportRunner()
{
    wait();
}

void LutExportRunner::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool LutExportRunner::start(const QString& path, const FilmSettings& settings,
                            const LutChoice& choice)
{
    if (m_running)
        return false;
    wait();
    m_running = true;
    try {
        // The destructor joins the worker, so `this` outlives the queued call's posting; Qt
        // drops a queued call whose context object is gone.
        m_worker = std::thread([this, path, settings, choice] {
            std::string error;
            bool ok =
                exportFilmLut(QFile::encodeName(path).toStdString(), settings, choice, &error);
            QString reason = QString::fromStdString(error);
            QMetaObject::invokeMethod(
                this,
                [this, ok, path, reason] {
                    wait();
                    m_running = false;
                    emit finished(ok, path, reason);
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_running = false;
        return false;
    }
    return true;
}

}  // namespace tavelune::gui
