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

// One dialog entry: the rows sharing a filter text (the camera raws share one).
struct Kind {
    const FormatRow* first;
    QStringList lower;
    QStringList upper;
};

QStringList patterns(const FormatRow& row, bool upper)
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

// The kinds in the order the dialogs list them, those of rows that pass keep.
std::vector<Kind> dialogKinds(bool (*keep)(const FormatRow&))
{
    std::vector<const FormatRow*> rows;
    for (const FormatRow& row : formatTable())
        if (keep(row))
            rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(), [](const FormatRow* a, const FormatRow* b) {
        return a->filterTextId < b->filterTextId;
    });
    std::vector<Kind> kinds;
    for (const FormatRow* row : rows) {
        if (kinds.empty() || kinds.back().first->filterTextId != row->filterTextId)
            kinds.push_back({row, {}, {}});
        kinds.back().lower << patterns(*row, false);
        kinds.back().upper << patterns(*row, true);
    }
    return kinds;
}

bool reads(const FormatRow& row)
{
    return row.reads;
}

bool writes(const FormatRow& row)
{
    return row.writes;
}

QString entry(const QString& name, const QStringList& patternList)
{
    return name + QStringLiteral(" (") + patternList.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString readableList(const QString& allPictures, bool bothCases,
                     QString (*kindName)(const FormatRow&), const QString& allFiles)
{
    QStringList all;
    QStringList upper;
    QStringList entries;
    for (const Kind& kind : dialogKinds(reads)) {
        all << kind.lower;
        upper << kind.upper;
        entries << entry(kindName(*kind.first), kind.lower);
    }
    if (bothCases)
        all << upper;
    return QStringList{entry(allPictures, all), entries.join(QStringLiteral(";;")), allFiles}.join(
        QStringLiteral(";;"));
}

QString localName(const FormatRow& row)
{
    return text(row.filterTextId);
}

}  // namespace

QString openPictureFilter()
{
    return readableList(text(Strings::FilterAllPictures), true, localName,
                        text(Strings::FilterAllFiles) + QStringLiteral(" (*)"));
}

QString savePictureFilter()
{
    QStringList entries;
    for (const Kind& kind : dialogKinds(writes)) entries << entry(localName(*kind.first), kind.lower);
    return entries.join(QStringLiteral(";;"));
}

QString pictureFileFilter()
{
    // Every dialog that picks a picture names the kinds alike, in the user's language.
    return openPictureFilter();
}

}  // namespace tavelune::gui
