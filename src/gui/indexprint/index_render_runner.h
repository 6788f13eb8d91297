// Renders an index sheet off the UI thread, with progress, cancel and the result handed back.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/image.h"
#include "indexprint/fit_rectangle.h"
#include "indexprint/index_items.h"
#include "indexprint/index_sheet.h"

namespace tavelune::gui {

class BackgroundJob;

/// Everything a render reads, copied so that the dialog stays free to change while it runs.
struct IndexRenderRequest {
    int style = 0;
    float dpi = 96;
    std::string title;
    std::string signature;
    std::string content;
    int fitMode = kFitFill;
    bool upright = true;
    int64_t numberFrom = -1;
    bool hasLogo = false;
    Image logo;  // with its colour key
    std::vector<IndexItem> items;
};

/// One render at a time. The sheet is drawn into a sheet of the runner's own and handed over
/// only when complete, so a cancelled or failed render never reaches what the dialog shows.
class IndexRenderRunner : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Done, Cancelled, Failed };
    Q_ENUM(Outcome)

    explicit IndexRenderRunner(QObject* parent = nullptr);
    ~IndexRenderRunner() override;

    bool isRunning() const;
    /// False when a render is running.
    bool start(IndexRenderRequest request);
    /// Asks the worker to stop before its next picture; finished(Cancelled) follows.
    void cancel();
    /// Stops a running render and forgets it; no signal follows.
    void abandon();
    /// The completed sheet after finished(Done); null otherwise.
    std::unique_ptr<IndexSheet> takeSheet() { return std::move(m_done); }
    /// The boxes the pictures of the last render met, in list order, whatever its outcome.
    std::vector<SheetPictureBoxes> takePictureBoxes() { return std::move(m_boxes); }
    /// Size of the sheet the last render tried to make (for a failure message).
    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }

signals:
    void progressChanged(int position);
    void finished(tavelune::gui::IndexRenderRunner::Outcome outcome);

private:
    BackgroundJob* m_job;
    std::unique_ptr<IndexSheet> m_done;
    std::vector<SheetPictureBoxes> m_boxes;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
};

}  // namespace tavelune::gui
