// The photo page's actions: their texts and their enabled states.
#include "gui/app/page_commands.h"

#include <QAction>
#include <QPushButton>
#include <iterator>

#include "gui/support/string_table.h"

namespace tavelune::gui {

PageCommands::PageCommands(QWidget* owner, const std::function<void(PageCommand)>& run)
{
    struct Row {
        PageCommand command;
        int text;
    };
    static constexpr Row rows[] = {
        {PageCommand::Open, Strings::OpenTip},
        {PageCommand::Save, Strings::SaveTip},
        {PageCommand::Apply, Strings::ApplyTip},
        {PageCommand::Rotate, Strings::RotateTip},
        {PageCommand::Mirror, Strings::MirrorTip},
        {PageCommand::Flip, Strings::FlipTip},
        {PageCommand::Close, Strings::CloseTip},
        {PageCommand::PictureSize, Strings::PictureSizeTip},
        {PageCommand::EditExif, Strings::ExifEditorTip},
        {PageCommand::ActualPixels, Strings::ActualPixelsTip},
        {PageCommand::FitWindow, Strings::FitWindowTip},
        {PageCommand::MatchPanes, Strings::SameViewTip},
        {PageCommand::FullScreen, Strings::FullScreenTip},
        {PageCommand::Copy, Strings::ViewCopy},
        {PageCommand::Paste, Strings::ViewPaste},
        {PageCommand::Loupe, Strings::LoupeTip},
    };
    m_actions.resize(std::size(rows));
    for (const Row& row : rows) {
        auto* action = new QAction(text(row.text), owner);
        action->setToolTip(text(row.text));
        const PageCommand command = row.command;
        QObject::connect(action, &QAction::triggered, owner, [run, command] { run(command); });
        owner->addAction(action);
        m_actions[size_t(row.command)] = action;
    }
}

QAction* PageCommands::action(PageCommand command) const
{
    return m_actions[size_t(command)];
}

void PageCommands::update(const PageState& state)
{
    const bool idle = !state.busy;
    const bool hasSource = idle && state.hasSource;
    for (PageCommand c : {PageCommand::Open, PageCommand::ActualPixels, PageCommand::FitWindow,
                          PageCommand::MatchPanes, PageCommand::FullScreen, PageCommand::Copy,
                          PageCommand::Paste}) {
        action(c)->setEnabled(idle);
    }
    for (PageCommand c :
         {PageCommand::Apply, PageCommand::Rotate, PageCommand::Mirror, PageCommand::Flip,
          PageCommand::Close, PageCommand::PictureSize, PageCommand::EditExif}) {
        action(c)->setEnabled(hasSource);
    }
    action(PageCommand::Save)->setEnabled(hasSource && state.resultCurrent);
    action(PageCommand::Loupe)->setEnabled(hasSource && state.resultCurrent);
}

void bindButton(QPushButton* button, QAction* action)
{
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
}

}  // namespace tavelune::gui
