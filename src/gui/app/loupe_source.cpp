// The loupe's full-size result: the save's full-size rendering, run once and kept in memory.
#include "gui/app/loupe_source.h"

#include <atomic>

#include "engine/picture_metadata.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "gui/support/background_job.h"

namespace tavelune::gui {

// What the worker reads; the page may open another picture while it runs.
struct LoupeSource::Work {
    FullSizeJob job;
    ExifData exif;
    PictureMetadata metadata;
    std::atomic<int> cancel{0};
};

namespace {

struct Rendered {
    bool ok = false;
    std::shared_ptr<const Image> full;
};

}  // namespace

LoupeSource::LoupeSource(QObject* parent) : QObject(parent), m_job(new BackgroundJob(this))
{
    connect(m_job, &BackgroundJob::progressChanged, this, [this](int position) {
        m_progress = position;
        emit progressChanged(position);
    });
}

LoupeSource::~LoupeSource()
{
    clear();
    m_job->wait();
}

const Image& LoupeSource::fullSize() const
{
    static const Image none;
    return m_state == State::Ready && m_full ? *m_full : none;
}

void LoupeSource::clear()
{
    if (m_work)
        m_work->cancel.store(1);
    m_job->discard();
    m_work.reset();
    m_full.reset();
    m_shownSize = QSize();
    m_progress = 0;
    setState(State::None);
}

void LoupeSource::setJob(const FullSizeJob& job, const Image& shown)
{
    clear();
    if (shown.isEmpty())
        return;
    m_shownSize = QSize(shown.width(), shown.height());
    if (job.path.empty() || fullSizeFactor(job) <= 0.0) {
        // Already at the original's pixels.
        m_full = std::make_shared<const Image>(shown);
        setState(State::Ready);
        return;
    }
    m_work = std::make_shared<Work>();
    m_work->job = job;
    m_work->job.exif = nullptr;
    if (job.exif) {
        for (const auto& entry : job.exif->entries())
            m_work->exif.entries().push_back(std::make_unique<ExifEntry>(*entry));
        m_work->job.exif = &m_work->exif;
    }
    m_work->job.metadata = nullptr;
    if (job.metadata) {
        m_work->metadata = *job.metadata;
        m_work->job.metadata = &m_work->metadata;
    }
}

void LoupeSource::request()
{
    if (m_state != State::None || !m_work)
        return;
    m_progress = 0;
    setState(State::Computing);
    m_job->start<Rendered>(
        [work = m_work](JobControl& control) {
            // The render's boxes stay in its result; the loupe says so in its own place.
            auto full = std::make_shared<Image>();
            Rect margins;
            const FullSizeResult rendered =
                renderFullSize(work->job, &control.progress(), &work->cancel, *full, margins);
            return Rendered{rendered == FullSizeOutcome::Saved && !full->isEmpty(),
                            std::move(full)};
        },
        [this](Rendered rendered) {
            m_full = rendered.ok ? std::move(rendered.full) : nullptr;
            setState(rendered.ok ? State::Ready : State::Failed);
        });
}

void LoupeSource::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

}  // namespace tavelune::gui
