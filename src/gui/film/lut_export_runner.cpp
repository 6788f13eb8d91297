// The LUT export on the job helper.
#include "gui/film/lut_export_runner.h"

#include <QFile>
#include <string>

#include "gui/support/background_job.h"

namespace tavelune::gui {

namespace {

struct Exported {
    bool ok = false;
    QString error;
};

}  // namespace

LutExportRunner::LutExportRunner(QObject* parent) : QObject(parent), m_job(new BackgroundJob(this))
{
}

LutExportRunner::~LutExportRunner()
{
    m_job->wait();
}

bool LutExportRunner::isRunning() const
{
    return m_job->isRunning();
}

bool LutExportRunner::start(const QString& path, const FilmSettings& settings,
                            const LutChoice& choice)
{
    if (isRunning())
        return false;
    const std::string file = QFile::encodeName(path).toStdString();
    m_job->start<Exported>(
        [file, settings, choice](JobControl&) {
            std::string error;
            Exported done;
            done.ok = exportFilmLut(file, settings, choice, &error);
            done.error = QString::fromStdString(error);
            return done;
        },
        [this, path](Exported done) { emit finished(done.ok, path, done.error); });
    return true;
}

}  // namespace tavelune::gui
