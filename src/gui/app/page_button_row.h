// The row under the photo page's panes: its command buttons, the progress bar and Apply.
#pragma once

#include <QWidget>

class QProgressBar;

namespace tavelune::gui {

class PageCommands;

/// Every button triggers its command's action and follows its enabled state.
class PageButtonRow : public QWidget {
    Q_OBJECT
public:
    PageButtonRow(const PageCommands& commands, QWidget* parent);

    /// The conversion's progress, 0 to 100.
    QProgressBar* progressBar() const { return m_progress; }

private:
    QProgressBar* m_progress = nullptr;
};

}  // namespace tavelune::gui
