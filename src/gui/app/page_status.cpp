// The photo page's status line.
#include "gui/app/page_status.h"

#include <QFileInfo>

#include "gui/support/string_table.h"

namespace tavelune::gui {

QString pageStatusText(const Image& source, const QString& fileName, const Image& result,
                       bool resultCurrent)
{
    if (source.isEmpty()) {
        return text(Strings::StatusNoPicture);
    }
    if (!result.isEmpty()) {
        return resultCurrent ? text(Strings::ConvertedSize).arg(result.width()).arg(result.height())
                             : text(Strings::StatusStale);
    }
    const QString name =
        fileName.isEmpty() ? text(Strings::PastedPicture) : QFileInfo(fileName).fileName();
    return text(Strings::StatusPicture).arg(name).arg(source.width()).arg(source.height());
}

}  // namespace tavelune::gui
