// The open dialog for overlay and mat pictures.
#include "gui/overlay/open_picture.h"

#include <QFileDialog>
#include <QStringList>

#include "engine/format_dispatch.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

QString pictureFileFilter()
{
    // The engine lists "description(patterns)|patterns|..." pairs; Qt wants "description
    // (patterns)".
    const QStringList parts =
        QString::fromUtf8(openFilterText()).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const int bracket = description.indexOf(QLatin1Char('('));
        if (bracket >= 0)
            description.truncate(bracket);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) pattern = pattern.trimmed();
        filters << description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString askPictureFile(QWidget* parent, const QString& startPath)
{
    return QFileDialog::getOpenFileName(parent, text(Strings::OpenTip), startPath,
                                        pictureFileFilter());
}

}  // namespace tavelune::gui
