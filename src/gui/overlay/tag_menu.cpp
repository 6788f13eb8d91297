// The information-tag menu: entries from the core's list, texts from the string table.
#include "gui/overlay/tag_menu.h"

#include <QAbstractButton>
#include <QMenu>
#include <QPlainTextEdit>

#include "gui/support/app_settings.h"
#include "gui/support/string_table.h"
#include "overlay/info_tags.h"

namespace tavelune::gui {
namespace {

// Long values (a comment, a maker note) would widen the menu past the screen.
constexpr int kLongestExample = 32;

// What the fixed tags give for a typical camera picture, for a picture that gives nothing.
QString madeUpExample(const std::string& name)
{
    static const std::pair<const char*, const char*> examples[] = {
        {"ImageSize", "800 x 533"}, {"Filename", "IMG_0001.JPG"}, {"StampDate", "2024-05-01"},
        {"Shutter", "1/125\""},     {"Aperture", "F5.6"},         {"ShotDate", "2024:05:01"},
    };
    for (const auto& [tag, value] : examples)
        if (name == tag)
            return QString::fromUtf8(value);
    return {};
}

QString exampleFor(int command, const TagPicture& current, const TagContext& context)
{
    std::string name = tagTextForCommand(command);
    if (name.size() < 3)
        return {};
    name = name.substr(1, name.size() - 3);  // "<Name/>"
    QString value =
        QString::fromStdString(tagValue(name, current.picture, current.exif, context)).simplified();
    if (value.isEmpty())
        value = madeUpExample(name);
    if (value.size() > kLongestExample)
        value = value.left(kLongestExample - 1) + QChar(0x2026);
    return value;
}

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

void addEntries(QMenu* menu, const std::vector<TagMenuEntry>& entries, bool chinese,
                const TagPicture& current, const TagContext& context)
{
    for (const TagMenuEntry& entry : entries) {
        switch (entry.kind) {
            case TagMenuEntry::Kind::Separator:
                menu->addSeparator();
                break;
            case TagMenuEntry::Kind::SubMenu:
                addEntries(menu->addMenu(text(Strings::TagMore)), entry.children, chinese, current,
                           context);
                break;
            case TagMenuEntry::Kind::Command: {
                // After a tab the menu sets the value apart, in the column keys would take.
                const QString example = exampleFor(entry.command, current, context);
                const QString shown = entryText(entry, chinese);
                menu->addAction(example.isEmpty() ? shown : shown + QLatin1Char('\t') + example)
                    ->setData(entry.command);
                break;
            }
        }
    }
}

}  // namespace

QMenu* buildTagMenu(QWidget* parent, const TagPicture& current)
{
    const QString language = activeLanguageCode();
    TagContext context;
    context.userName = AppSettings::userName().toStdString();
    context.language = language.toStdString();
    auto* menu = new QMenu(parent);
    menu->setToolTip(text(Strings::TagExpansionLimit));
    addEntries(menu, tagMenu(language.toStdString()), language.startsWith(QLatin1String("zh")),
               current, context);
    return menu;
}

QString tagTextForMenuCommand(int command)
{
    return QString::fromStdString(tagTextForCommand(command));
}

void showTagMenu(QAbstractButton* button, QPlainTextEdit* textBox, const TagPicture& current)
{
    QMenu* menu = buildTagMenu(button, current);
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
