// Picture files for the overlay pages, read through the format dispatch.
#include "overlay/picture_file.h"

#include "engine/format_dispatch.h"

namespace tavelune {

bool openPictureFile(const std::string& path, Image& out)
{
    const ImageStatus opened = openImage(path, out);
    showImageStatus(opened);
    return opened.ok();
}

}  // namespace tavelune
