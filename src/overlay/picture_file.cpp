// Picture files for the overlay pages, read through the format dispatch.
#include "overlay/picture_file.h"

#include "engine/format_dispatch.h"

namespace tavelune {

ImageStatus openPictureFile(const std::string& path, Image& out)
{
    return openImage(path, out);
}

}  // namespace tavelune
