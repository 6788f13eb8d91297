// The photo page's button row.
#include "gui/app/page_button_row.h"

#include <QAction>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include "gui/app/page_commands.h"
#include "gui/controls/icons.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

PageButtonRow::PageButtonRow(const PageCommands& commands, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    // command, icon, object name, set apart from the button before it
    const struct {
        PageCommand command;
        ButtonIcon icon;
        const char* name;
        bool gapBefore;
    } buttons[] = {
        {PageCommand::Open, ButtonIcon::Open, "openButton", false},
        {PageCommand::Save, ButtonIcon::Save, "saveButton", false},
        {PageCommand::Rotate, ButtonIcon::Rotate, "rotateButton", true},
        {PageCommand::Mirror, ButtonIcon::MirrorLeftRight, "mirrorButton", false},
        {PageCommand::Flip, ButtonIcon::FlipTopBottom, "flipButton", false},
        {PageCommand::Close, ButtonIcon::Close, "closeButton", false},
        {PageCommand::PictureSize, ButtonIcon::PictureSize, "sizeButton", false},
        {PageCommand::ActualPixels, ButtonIcon::ActualPixels, "actualButton", true},
        {PageCommand::FitWindow, ButtonIcon::FitWindow, "fitButton", false},
        {PageCommand::MatchPanes, ButtonIcon::Same, "sameButton", false},
        {PageCommand::FullScreen, ButtonIcon::FullScreen, "fullScreenButton", false},
    };
    for (const auto& entry : buttons) {
        if (entry.gapBefore) {
            layout->addSpacing(8);
        }
        QAction* action = commands.action(entry.command);
        // The row sits on the page's black surround.
        action->setIcon(buttonIcon(entry.icon, IconBackground::Dark));
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(entry.name));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setDefaultAction(action);
        layout->addWidget(button);
    }
    layout->addSpacing(8);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(12);
    // Its own width hint (room for "100%", not shown here) would hold the window wider than
    // its smallest size.
    m_progress->setMinimumWidth(24);
    layout->addWidget(m_progress, 1);
    auto* apply = new QPushButton(buttonIcon(ButtonIcon::Apply), text(Strings::ApplyButton), this);
    apply->setObjectName("applyButton");
    apply->setToolTip(text(Strings::ApplyTip));
    bindButton(apply, commands.action(PageCommand::Apply));
    layout->addWidget(apply);
}

}  // namespace tavelune::gui
