// Runs the conversion job off the UI thread and hands progress and the result to the UI thread.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/image.h"
#include "exif/exif_data.h"
#include "job/conversion_job.h"
#include "job/geometry_record.h"

namespace tavelune {
struct InksRead;
}

namespace tavelune::gui {

class BackgroundJob;

/// Where the page's source came from, for a job that must read the file again (an empty path:
/// a pasted picture). fit is the working size it was opened at, steps the turns since. read: a
/// CMYK file's inks as the page read them at the open (null: none), used while they describe
/// the file, so the first sRGB run does not decode it again.
struct SourceFile {
    std::string path;
    int fit = 0;
    GeometryRecord steps;
    std::shared_ptr<const InksRead> read;
};

/// One job at a time. The worker has its own copies of the source, its EXIF data and the
/// settings, so nothing the page holds is shared with it; the result replaces the caller's only
/// when the job succeeded, so a failed run leaves the shown result alone.
class ConversionRunner : public QObject {
    Q_OBJECT
public:
    explicit ConversionRunner(QObject* parent = nullptr);
    ~ConversionRunner() override;

    bool isRunning() const;
    /// False when a job is already running. With settings.film.toSrgb the source is first
    /// turned from profile (the file's colour profile; null or empty: sRGB) into sRGB; a CMYK
    /// JPEG's inks are read again from file through its profile instead (once per file).
    bool start(const Image& source, const ExifData* exif, const ConversionSettings& settings,
               const std::vector<std::uint8_t>* profile = nullptr, const SourceFile& file = {});
    /// The last successful result and its mat margins (valid after finished(true)).
    Image takeResult() { return std::move(m_result); }
    Rect margins() const { return m_margins; }
    /// Waits for a running job to end; used when the program quits.
    void wait();

signals:
    void progressChanged(int position);
    void finished(bool ok);

private:
    BackgroundJob* m_job;
    Image m_result;
    Rect m_margins;
    // The last CMYK file read through its profile, upright at working size: ticking and
    // unticking the sRGB box must not decode a large file on every run.
    std::shared_ptr<const InksRead> m_inks;
};

}  // namespace tavelune::gui
