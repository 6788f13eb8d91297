// The information-tag menu: entries from the core's list, texts from the string table.
#include "gui/overlay/tag_menu.h"

#include <QAbstractButton>
#include <QMenu>
#include <QPlainTextEdit>

#include "gui/support/string_table.h"
#include "overlay/info_tags.h"

namespace tavelune::gui {
namespace {

QString entryText(const TagMenuEntry& entry, bool chinese)
{
    if (entry.stringId == 0)
        return QString::fromStdString(entry.text);
    QString shown = text(entry.stringId);
    if (entry.detailStringId != 0)
        shown += (chinese ? QStringLiteral("(") : QStringLiteral(" (")) +
                 text(entry.detailStringId) + QStringLiteral(")");
    return shown;
}

void addEntries(QMenu* menu, const std::vector<TagMenuEntry>& entries, bool chinese)
{
    for (const TagMenuEntry& entry : entries) {
        switch (entry.kind) {
            case TagMenuEntry::Kind::Separator:
                menu->addSeparator();
                break;
            case TagMenuEntry::Kind::SubMenu:
                addEntries(menu->addMenu(text(Strings::TagMore)), entry.children, chinese);
                break;
            case TagMenuEntry::Kind::Command:
                menu->addAction(entryText(entry, chinese))->setData(entry.command);
                break;
        }
    }
}

}  // namespace

QMenu* buildTagMenu(QWidget* parent)
{
    const QString language = activeLanguageCode();
    auto* menu = new QMenu(parent);
    menu->setToolTip(text(Strings::TagExpansionLimit));
    addEntries(menu, tagMenu(language.toStdString()), language.startsWith(QLatin1String("zh")));
    return menu;
}

QString tagTextForMenuCommand(int command)
{
    return QString::fromStdString(tagTextForCommand(command));
}

void showTagMenu(QAbstractButton* button, QPlainTextEdit* textBox)
{
    QMenu* menu = buildTagMenu(button);
    const QAction* chosen = menu->exec(button->mapToGlobal(QPoint(0, button->height())));
    const QString tag = chosen ? tagTextForMenuCommand(chosen->data().toInt()) : QString();
    delete menu;
    if (!tag.isEmpty()) {
        QTextCursor cursor = textBox->textCursor();
        cursor.insertText(tag);
        textBox->setTextCursor(cursor);
    }
    textBox->setFocus(Qt::PopupFocusReason);
}

}  // namespace tavelune::gui
