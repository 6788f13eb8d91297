// The photo page's working picture: opened from a file or pasted, reduced to the working size,
// then turned and resized by the user.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "engine/image.h"
#include "engine/image_size_model.h"
#include "engine/picture_metadata.h"
#include "exif/exif_data.h"
#include "job/geometry_record.h"
#include "job/notices.h"

class QImage;
class QWidget;

namespace tavelune {
struct InksRead;
}

namespace tavelune::gui {

/// The longer side a picture is reduced to when it is opened or pasted.
constexpr int kWorkingSize = 800;

/// A decoded picture on its way from the worker to the page.
struct OpenedPicture {
    bool ok = false;
    /// What the decoder and the EXIF reader said on the way, in order.
    Notices boxes;
    Image picture;
    std::unique_ptr<ExifData> exif;
    Rect fullSize;
    PictureMetadata metadata;
    /// The picture turned from its profile into sRGB for the screen (empty: as it is).
    Image shown;
    /// A CMYK photo's inks read through its own profile, for the screen; the picture keeps the
    /// built-in formula's numbers, which the film works on (empty for other pictures).
    Image inks;
    /// The read inks came from, upright, for a conversion that wants them (null: none).
    std::shared_ptr<const InksRead> inksRead;
};

/// Decodes file at the working size with its EXIF and metadata; runs on a worker.
OpenedPicture readWorkingPicture(const std::string& file);
/// The boxes of an opening, each naming path; a failure without a box of its own gets one.
void showOpenBoxes(QWidget* parent, const QString& path, const OpenedPicture& opened);

/// pasted reduced to the working size at 72 dpi; false when it holds no picture.
bool pastedWorkingPicture(const QImage& pasted, Image& out);

/// The user's quarter turn, mirror or flip, recorded in geometry.
void turnWorkingPicture(Image& picture, GeometryRecord& geometry, GeometryStep step);
/// The size dialog's values applied: a new size within the working size (the picture is then
/// no longer the original's reduction) and a new resolution, which the EXIF resolution
/// follows where it has one.
void resizeWorkingPicture(Image& picture, ExifData& exif, GeometryRecord& geometry,
                          const ImageSizeValues& values);

/// A CMYK photo's screen copy (OpenedPicture::inks) turned as the picture was.
void turnScreenInks(Image& inks, GeometryStep step);
/// The screen copy resized as like was by values; emptied when it cannot follow like.
void resizeScreenInks(Image& inks, const ImageSizeValues& values, const Image& like);

}  // namespace tavelune::gui
