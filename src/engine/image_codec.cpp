// The behaviour all codecs share: holding a picture and its path.
#include "engine/image_codec.h"

namespace tavelune {

bool ImageCodec::create(int width, int height, float dpi)
{
    if (!m_image.create(width, height, dpi))
        return false;
    m_empty = 0;
    m_path.clear();
    return true;
}

bool ImageCodec::createAfterRelease(int width, int height, float dpi)
{
    release();
    if (!m_image.create(width, height, dpi))
        return false;
    m_empty = 0;
    return true;
}

bool ImageCodec::load(const std::string& path)
{
    if (path.empty())
        return false;
    release();
    if (!read(path, m_image))
        return false;
    m_empty = 0;
    m_path = path;
    return true;
}

bool ImageCodec::save(const std::string& path, int options)
{
    if (path.empty() || isEmpty())
        return false;
    return write(path, m_image, options);
}

void ImageCodec::release()
{
    if (isEmpty())
        return;
    m_image.reset();
    m_empty = 1;
}

}  // namespace tavelune
