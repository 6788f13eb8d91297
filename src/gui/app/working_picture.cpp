// Making and changing the photo page's working picture.
#include "gui/app/working_picture.h"

#include <QImage>

#include "engine/fit_within.h"
#include "exif/entry_values.h"
#include "exif/exif_entry.h"
#include "gui/controls/image_bridge.h"
#include "gui/controls/message_box.h"
#include "gui/support/string_table.h"
#include "job/file_conversion.h"
#include "job/inks_through_profile.h"
#include "view/display_colour.h"

namespace tavelune::gui {

OpenedPicture readWorkingPicture(const std::string& file)
{
    OpenedPicture opened;
    opened.exif = std::make_unique<ExifData>();
    // The engine's boxes name no file; the page shows them once it knows the outcome.
    WorkingPictureOpen read = openWorkingPicture(file, opened.picture, *opened.exif, kWorkingSize,
                                                 true, &opened.fullSize, &opened.metadata);
    opened.boxes = std::move(read.notices);
    opened.ok = read.ok();
    if (!opened.ok)
        return opened;
    if (readsInksThroughProfile(file, opened.metadata.icc)) {
        opened.inksRead = readInks(file, opened.metadata.icc, kWorkingSize);
        opened.inks = cmykScreenCopy(opened.inksRead.get(), opened.picture);
    }
    opened.shown = opened.inks.isEmpty() ? srgbDisplayCopy(opened.picture, opened.metadata.icc)
                                         : opened.inks;
    return opened;
}

void showOpenBoxes(QWidget* parent, const QString& path, const OpenedPicture& opened)
{
    for (const Notice& notice : opened.boxes) {
        const NoticeBox box = noticeBox(notice);
        showMessageBox(parent, QString::fromStdString(box.text) + QStringLiteral("\n\n") + path,
                       messageBoxIcon(box.icon), QString::fromStdString(box.caption));
    }
    if (!opened.ok && opened.boxes.empty()) {
        showMessageBox(parent, text(Strings::OpenFailed) + ": \n" + path);
    }
}

bool pastedWorkingPicture(const QImage& pasted, Image& out)
{
    Image picture;
    if (!importQImage(pasted, picture)) {
        return false;
    }
    int width = picture.width();
    int height = picture.height();
    fitWithinSize(picture.width(), picture.height(), kWorkingSize, width, height);
    Image reduced;
    if (!reduced.create(width, height, 72.0f)) {
        return false;
    }
    reduced.drawImage({0, 0, reduced.width(), reduced.height()}, picture,
                      {0, 0, picture.width(), picture.height()}, kBilinear, 0x00FFFFFF);
    out = std::move(reduced);
    return true;
}

void turnWorkingPicture(Image& picture, GeometryRecord& geometry, GeometryStep step)
{
    switch (step) {
        case GeometryStep::Rotate:
            picture.rotate(90);
            break;
        case GeometryStep::Mirror:
            picture.mirrorHorizontal();
            break;
        case GeometryStep::Flip:
            picture.flipVertical();
            break;
    }
    geometry.record(step);
}

void resizeWorkingPicture(Image& picture, ExifData& exif, GeometryRecord& geometry,
                          const ImageSizeValues& values)
{
    if ((values.width != picture.width() || values.height != picture.height()) &&
        values.width <= kWorkingSize && values.height <= kWorkingSize) {
        picture.resize(values.width, values.height, kBicubic);
        geometry.markNotFullSize();
    }
    if (float(values.dpi) != picture.dpi()) {
        picture.setDpi(float(values.dpi));
        ExifEntry* x = exif.FindEntry(kIfd0, kTagXResolution);
        ExifEntry* y = exif.FindEntry(kIfd0, kTagYResolution);
        if (x && y) {
            setRationalValue(x, values.dpi);
            setRationalValue(y, values.dpi);
        }
    }
}

void turnScreenInks(Image& inks, GeometryStep step)
{
    if (inks.isEmpty())
        return;
    GeometryRecord unused;
    turnWorkingPicture(inks, unused, step);
}

void resizeScreenInks(Image& inks, const ImageSizeValues& values, const Image& like)
{
    if (inks.isEmpty())
        return;
    ExifData unusedExif;
    GeometryRecord unused;
    resizeWorkingPicture(inks, unusedExif, unused, values);
    if (inks.width() != like.width() || inks.height() != like.height())
        inks = Image();
}

}  // namespace tavelune::gui
