// Boxes kept as codes, and the texts the front ends show for them.
#include "job/notices.h"

namespace tavelune {

void addImageBoxes(Notices& notices, const Warnings<ImageError>& boxes, const std::string& file)
{
    for (const Failure<ImageError>& box : boxes)
        notices.push_back({box.code, box.detail, file});
}

void addImageBoxes(Notices& notices, const ImageStatus& status, const std::string& file)
{
    addImageBoxes(notices, imageBoxes(status), file);
}

void addExifBoxes(Notices& notices, const ExifWarnings& boxes, const std::string& file)
{
    for (const ExifFailure& box : boxes)
        if (!exifBoxText(box.code).empty())
            notices.push_back({box.code, box.detail, file});
}

void addMetadataProblems(Notices& notices, const std::vector<MetadataProblem>& problems,
                         const std::string& path, const std::string& file)
{
    for (MetadataProblem problem : problems)
        notices.push_back({problem, path, file});
}

Notices imageNotices(const ImageStatus& status, const std::string& file)
{
    Notices notices;
    addImageBoxes(notices, status, file);
    return notices;
}

Notices imageNotices(const Warnings<ImageError>& boxes, const std::string& file)
{
    Notices notices;
    addImageBoxes(notices, boxes, file);
    return notices;
}

Notices exifNotices(const ExifWarnings& boxes, const std::string& file)
{
    Notices notices;
    addExifBoxes(notices, boxes, file);
    return notices;
}

Notices metadataNotices(const std::vector<MetadataProblem>& problems, const std::string& path)
{
    Notices notices;
    addMetadataProblems(notices, problems, path);
    return notices;
}

void NoticeLog::add(Notices notices)
{
    for (Notice& notice : notices)
        m_notices.push_back(std::move(notice));
}

NoticeBox noticeBox(const Notice& notice)
{
    if (const ImageError* image = std::get_if<ImageError>(&notice.code))
        return {imageErrorText({*image, notice.detail}), imageErrorCaption(*image),
                imageErrorIcon(*image)};
    if (const ExifError* exif = std::get_if<ExifError>(&notice.code))
        return {exifBoxText(*exif, notice.detail), {}, MessageIcon::Warning};
    return {metadataProblemText(std::get<MetadataProblem>(notice.code), notice.detail), {},
            MessageIcon::Warning};
}

std::vector<NoticeBox> noticeBoxes(const Notices& notices)
{
    std::vector<NoticeBox> boxes;
    boxes.reserve(notices.size());
    for (const Notice& notice : notices)
        boxes.push_back(noticeBox(notice));
    return boxes;
}

}  // namespace tavelune
