// The open dialog for overlay and mat pictures.
#include "gui/overlay/open_picture.h"

#include <QFileDialog>

#include "gui/support/file_filters.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

QString askPictureFile(QWidget* parent, const QString& startPath)
{
    return QFileDialog::getOpenFileName(parent, text(Strings::OpenTip), startPath,
                                        pictureFileFilter());
}

}  // namespace tavelune::gui
