// The sheet render on the job helper.
#include "gui/indexprint/index_render_runner.h"

#include "gui/support/background_job.h"

namespace tavelune::gui {

namespace {

// The sheet is drawn where it was made; the worker has ended before the result is read.
struct SheetHolder {
    std::unique_ptr<IndexSheet> sheet = std::make_unique<IndexSheet>();
};

struct Rendered {
    IndexRenderRunner::Outcome outcome = IndexRenderRunner::Outcome::Failed;
    std::shared_ptr<SheetHolder> holder;
};

}  // namespace

IndexRenderRunner::IndexRenderRunner(QObject* parent)
    : QObject(parent), m_job(new BackgroundJob(this))
{
    connect(m_job, &BackgroundJob::progressChanged, this, &IndexRenderRunner::progressChanged);
}

IndexRenderRunner::~IndexRenderRunner()
{
    m_job->discard();
    m_job->wait();
}

bool IndexRenderRunner::isRunning() const
{
    return m_job->isRunning();
}

void IndexRenderRunner::cancel()
{
    m_job->cancel();
}

void IndexRenderRunner::abandon()
{
    m_job->discard();
}

bool IndexRenderRunner::start(IndexRenderRequest request)
{
    if (isRunning())
        return false;
    auto holder = std::make_shared<SheetHolder>();
    IndexSheet& sheet = *holder->sheet;
    sheet.setLayout(request.style, request.dpi);
    IndexReading reading;
    reading.upright = request.upright;
    sheet.setReading(reading);
    m_pageWidth = sheet.layout().pageWidthPx;
    m_pageHeight = sheet.layout().pageHeightPx;
    auto r = std::make_shared<const IndexRenderRequest>(std::move(request));
    m_job->start<Rendered>(
        [r, holder](JobControl& control) {
            IndexSheet& drawn = *holder->sheet;
            const bool ok = drawn.render(r->style, r->dpi, r->title, r->signature, r->content,
                                         r->fitMode, r->numberFrom, r->hasLogo ? &r->logo : nullptr,
                                         r->items, &control.progress(), control.stopFlag());
            Rendered done;
            done.outcome = ok                ? Outcome::Done
                           : drawn.stopped() ? Outcome::Cancelled
                                             : Outcome::Failed;
            done.holder = holder;
            return done;
        },
        [this](Rendered done) {
            m_boxes = done.holder->sheet->pictureBoxes();
            if (done.outcome == Outcome::Done)
                m_done = std::move(done.holder->sheet);
            emit finished(done.outcome);
        });
    return true;
}

}  // namespace tavelune::gui
