// The histogram and EXIF panel: shows the core canvas and runs its calculation on a worker.
#pragma once

#include <QList>
#include <QWidget>
#include <atomic>
#include <cstdint>

#include "engine/image.h"
#include "histogram/histogram_panel.h"

class QAction;

namespace tavelune {
class ExifData;
}

namespace tavelune::gui {

class HistogramPanelWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 260;
    static constexpr int kHeight = 137;

    explicit HistogramPanelWidget(QWidget* parent = nullptr);
    ~HistogramPanelWidget() override;

    /// The panel is black until the first start; an empty picture gives the idle view.
    /// Stops any calculation, then counts a copy of picture on a worker.
    /// exif (may be null) is read on this thread only, when the result arrives, and must stay
    /// valid until the next start, stop or destruction. False, after a message box, when the
    /// worker cannot be started.
    bool startCalculation(const Image& picture, const ExifData* exif);
    /// Returns once the worker has ended; its result is dropped.
    void stopCalculation();
    /// From a start until its result is on screen.
    bool isCalculating() const { return m_pending; }
    /// Redraws the EXIF summary after the data changed; a running calculation draws it anyway.
    void refreshSummary();

    /// Copies the graph part (258 x 107) or the whole canvas to the clipboard as a picture.
    void copyHistogram();
    void copyHistogramAndExif();

    /// The context menu's items, in order.
    QList<QAction*> contextMenuActions() const { return {m_copyHistogram, m_copyAll}; }
    /// The panel's model, for snapshots and tests.
    HistogramPanel& model() { return m_model; }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

signals:
    /// The result of the latest start is on screen.
    void calculationFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void onWorkerRepaint(std::uint64_t generation);

    HistogramPanel m_model;
    Image m_picture;  // the worker counts this copy, so the owner may change its own at once
    const ExifData* m_exif = nullptr;
    // Bumped by every start and stop; a repaint request of an older worker is ignored.
    std::atomic<std::uint64_t> m_generation{0};
    bool m_pending = false;
    QAction* m_copyHistogram;
    QAction* m_copyAll;
};

}  // namespace tavelune::gui
