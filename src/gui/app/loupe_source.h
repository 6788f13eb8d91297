// The full-size result behind the result pane's loupe: made once on a worker, then kept.
#pragma once

#include <QObject>
#include <QSize>
#include <memory>

#include "engine/image.h"
#include "job/full_size_job.h"

namespace tavelune::gui {

class BackgroundJob;

/// Holds the full-size rendering of the shown result while that result stands (its picture
/// and settings unchanged): the first request starts it, later looks read it. A shown result
/// without a larger original (a small or pasted picture) is its own full size.
class LoupeSource : public QObject {
    Q_OBJECT
public:
    enum class State { None, Computing, Ready, Failed };

    explicit LoupeSource(QObject* parent = nullptr);
    ~LoupeSource() override;

    /// What the shown result was made from; forgets the full size of the one before (a
    /// rendering under way is stopped). The EXIF data and metadata are copied.
    void setJob(const FullSizeJob& job, const Image& shown);
    /// No result to look at.
    void clear();
    /// Starts the full-size rendering unless it is done, failed or under way.
    void request();

    State state() const { return m_state; }
    /// Of the rendering under way, 0 to 90.
    int progress() const { return m_progress; }
    /// The full-size result; empty unless Ready.
    const Image& fullSize() const;
    /// The shown result's size, which points given to the loupe refer to.
    QSize shownSize() const { return m_shownSize; }

signals:
    void stateChanged(State state);
    void progressChanged(int position);

private:
    struct Work;
    void setState(State state);

    BackgroundJob* m_job;
    std::shared_ptr<Work> m_work;
    std::shared_ptr<const Image> m_full;
    QSize m_shownSize;
    State m_state = State::None;
    int m_progress = 0;
};

}  // namespace tavelune::gui
