// The conversion job on the job helper, with its own copies of everything it reads.
#include "gui/app/conversion_runner.h"

#include <memory>

#include "engine/colour_profile.h"
#include "exif/exif_entry.h"
#include "gui/support/background_job.h"
#include "gui/support/shown_boxes.h"
#include "job/inks_through_profile.h"

namespace tavelune::gui {

namespace {

struct Input {
    Image source;
    ExifData exif;
    bool hasExif = false;
    ConversionSettings settings;
    std::vector<std::uint8_t> profile;
    SourceFile file;
    std::shared_ptr<const InksRead> inks;  // the last read, perhaps of another file
};

struct Output {
    ImageStatus status = ImageError::FilmFailed;
    Image result;
    Rect margins;
    std::shared_ptr<const InksRead> inks;
};

// The source with its inks through the file's profile; false leaves it as it is.
bool sourceThroughInks(Input& input, std::shared_ptr<const InksRead>& inks)
{
    const std::vector<std::uint8_t>& icc = input.profile;
    if (input.file.path.empty() || !readsInksThroughProfile(input.file.path, icc))
        return false;
    auto current = [&](const std::shared_ptr<const InksRead>& read) {
        return read && read->describes(input.file.path, icc, input.file.fit);
    };
    if (current(input.file.read))
        inks = input.file.read;
    else if (!current(inks))
        inks = readInks(input.file.path, icc, input.file.fit);
    Image picture = inks->picture;
    if (!followWorkingPicture(picture, input.file.steps, input.source))
        return false;
    input.source = std::move(picture);
    return true;
}

}  // namespace

ConversionRunner::ConversionRunner(QObject* parent)
    : QObject(parent), m_job(new BackgroundJob(this))
{
    connect(m_job, &BackgroundJob::progressChanged, this, &ConversionRunner::progressChanged);
}

ConversionRunner::~ConversionRunner()
{
    wait();
}

bool ConversionRunner::isRunning() const
{
    return m_job->isRunning();
}

void ConversionRunner::wait()
{
    m_job->wait();
}

bool ConversionRunner::start(const Image& source, const ExifData* exif,
                             const ConversionSettings& settings,
                             const std::vector<std::uint8_t>* profile, const SourceFile& file)
{
    if (isRunning()) {
        return false;
    }
    auto input = std::make_shared<Input>();
    input->source = source;
    input->hasExif = exif != nullptr;
    input->settings = settings;
    if (profile && settings.film.toSrgb && !isOurSrgbProfile(*profile))
        input->profile = *profile;
    input->file = file;
    input->inks = m_inks;
    // The information tags read entries only; the file's raw segments stay with the page.
    if (exif) {
        for (const auto& entry : exif->entries()) {
            input->exif.entries().push_back(std::make_unique<ExifEntry>(*entry));
        }
    }
    m_job->start<Output>(
        [input](JobControl& control) {
            Output out;
            out.inks = input->inks;
            if (!input->profile.empty() && !sourceThroughInks(*input, out.inks))
                (void)convertToSrgb(input->source, input->profile);
            out.status =
                runConversionJob(input->source, input->hasExif ? &input->exif : nullptr,
                                 input->settings, &control.progress(), out.result, out.margins);
            return out;
        },
        [this](Output out) {
            const bool ok = out.status.ok();
            if (out.inks)
                m_inks = std::move(out.inks);
            if (ok) {
                m_result = std::move(out.result);
                m_margins = out.margins;
            }
            // A failed film step stops silently; a frame or text too large is explained, and
            // a mat picture not read or a text cut is told.
            if (ok || out.status.code() != ImageError::FilmFailed)
                showNotices(imageNotices(out.status));
            emit finished(ok);
        });
    return true;
}

}  // namespace tavelune::gui
