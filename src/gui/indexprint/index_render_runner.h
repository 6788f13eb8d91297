// Renders an index sheet on a worker thread, with progress, cancel and the result handed back.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/image.h"
#include "indexprint/fit_rectangle.h"
#include "indexprint/index_items.h"
#include "indexprint/index_sheet.h"
#include "pixel/progress.h"

namespace tavelune::gui {

/// Everything a render reads, copied so that the dialog stays free to change while it runs.
struct IndexRenderRequest {
    int style = 0;
    float dpi = 96;
    std::string title;
    std::string signature;
    std::string content;
    int fitMode = kFitFill;
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

    bool isRunning() const { return m_running; }
    /// False when a render is running or no thread could be started.
    bool start(IndexRenderRequest request);
    /// Asks the worker to stop before its next picture; finished(Cancelled) follows.
    void cancel();
    /// Stops a running render and waits for the worker; no signal follows.
    void abandon();
    /// The completed sheet after finished(Done); null otherwise.
    std::unique_ptr<IndexSheet> takeSheet() { return std::move(m_done); }
    /// Size of the sheet the last render tried to make (for a failure message).
    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }

signals:
    void progressChanged(int position);
    void finished(tavelune::gui::IndexRenderRunner::Outcome outcome);

private:
    void onDone(Outcome outcome);
    void join();

    bool m_running = false;
    unsigned m_generation = 0;  // touched on the UI thread only
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<Progress> m_progress;
    IndexRenderRequest m_request;
    std::unique_ptr<IndexSheet> m_work;
    std::unique_ptr<IndexSheet> m_done;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
};

}  // namespace tavelune::gui
