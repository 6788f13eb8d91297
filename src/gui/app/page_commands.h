// The photo page's commands as actions, and when each of them may run.
#pragma once

#include <functional>
#include <vector>

class QAction;
class QPushButton;
class QWidget;

namespace tavelune::gui {

/// Buttons, shortcuts and menus trigger these.
enum class PageCommand {
    Open,
    Save,
    Apply,
    Rotate,
    Mirror,
    Flip,
    Close,
    PictureSize,
    EditExif,
    ActualPixels,
    FitWindow,
    MatchPanes,
    FullScreen,
    Copy,
    Paste,
    Loupe,  // checkable: the result pane's 1:1 loupe
};

/// What the commands' enabled states follow.
struct PageState {
    bool busy = false;
    bool hasSource = false;
    /// A result is shown and it was made from the source as it is now.
    bool resultCurrent = false;
};

/// One action per command, owned by owner, whose shortcuts then work wherever owner's window
/// is active. Triggering one calls run with its command.
class PageCommands {
public:
    PageCommands(QWidget* owner, const std::function<void(PageCommand)>& run);

    QAction* action(PageCommand command) const;
    /// Each command is enabled exactly when state allows it (nothing while busy).
    void update(const PageState& state);

private:
    std::vector<QAction*> m_actions;  // by command
};

/// A push button with its own text and icon that triggers action and follows its enabled state.
void bindButton(QPushButton* button, QAction* action);

}  // namespace tavelune::gui
