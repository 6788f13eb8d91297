// Filter lists for QFileDialog: "name (*.a *.b);;name (*.c)".
#include "gui/support/file_filters.h"

#include <QStringList>
#include <algorithm>
#include <vector>

#include "engine/format_table.h"
#include "gui/support/string_table.h"
#include "strings/text_ids.h"

namespace tavelune::gui {
namespace {

// The rows in the order the dialogs list them.
std::vector<const FormatRow*> dialogRows()
{
    std::vector<const FormatRow*> rows;
    for (const FormatRow& row : formatTable()) rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(), [](const FormatRow* a, const FormatRow* b) {
        return a->filterTextId < b->filterTextId;
    });
    return rows;
}

QStringList patterns(const FormatRow& row, bool upper = false)
{
    QStringList list;
    for (const char* extension : row.extensions) {
        if (!extension)
            continue;
        const QString name = QString::fromLatin1(extension);
        list << QStringLiteral("*.") + (upper ? name.toUpper() : name);
    }
    return list;
}

QString entry(const QString& name, const QStringList& patternList)
{
    return name + QStringLiteral(" (") + patternList.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString readableList(const QString& allPictures, bool bothCases,
                     QString (*kindName)(const FormatRow&), const QString& allFiles)
{
    QStringList all;
    QStringList kinds;
    for (const FormatRow* row : dialogRows()) {
        if (!row->reads)
            continue;
        all << patterns(*row);
        kinds << entry(kindName(*row), patterns(*row));
    }
    if (bothCases)
        for (const FormatRow* row : dialogRows())
            if (row->reads)
                all << patterns(*row, true);
    return QStringList{entry(allPictures, all), kinds.join(QStringLiteral(";;")), allFiles}.join(
        QStringLiteral(";;"));
}

QString localName(const FormatRow& row)
{
    return text(row.filterTextId);
}

QString engineName(const FormatRow& row)
{
    return QString::fromLatin1(row.filterName) + QStringLiteral(" Files");
}

}  // namespace

QString openPictureFilter()
{
    return readableList(text(Strings::FilterAllPictures), true, localName,
                        text(Strings::FilterAllFiles) + QStringLiteral(" (*)"));
}

QString savePictureFilter()
{
    QStringList kinds;
    for (const FormatRow* row : dialogRows())
        if (row->writes)
            kinds << entry(localName(*row), patterns(*row));
    return kinds.join(QStringLiteral(";;"));
}

QString pictureFileFilter()
{
    return readableList(QStringLiteral("All Image Files"), false, engineName,
                        QStringLiteral("All Files (*.*)"));
}

}  // namespace tavelune::gui
