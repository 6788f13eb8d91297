// The boxes an operation met on its way, kept as codes until a front end shows them.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "engine/image_error.h"
#include "engine/message_icon.h"
#include "engine/picture_metadata.h"
#include "exif/exif_error.h"

namespace tavelune {

/// One box: its subsystem's code and detail (for a metadata problem, the file it names), and
/// the file the operation was working on when it met the box (the command line names it).
struct Notice {
    std::variant<ImageError, ExifError, MetadataProblem> code;
    std::string detail;
    std::string file;
};
using Notices = std::vector<Notice>;

/// A status's boxes in the order the user meets them: the library's own, then the failure's.
void addImageBoxes(Notices& notices, const ImageStatus& status, const std::string& file = {});
void addImageBoxes(Notices& notices, const Warnings<ImageError>& boxes,
                   const std::string& file = {});
/// The EXIF boxes that have a text of their own; the others are told by the caller's result.
void addExifBoxes(Notices& notices, const ExifWarnings& boxes, const std::string& file = {});
void addMetadataProblems(Notices& notices, const std::vector<MetadataProblem>& problems,
                         const std::string& path, const std::string& file = {});

/// The same, as a list of their own.
Notices imageNotices(const ImageStatus& status, const std::string& file = {});
Notices imageNotices(const Warnings<ImageError>& boxes, const std::string& file = {});
Notices exifNotices(const ExifWarnings& boxes, const std::string& file = {});
Notices metadataNotices(const std::vector<MetadataProblem>& problems, const std::string& path);

/// Boxes of one conversion, each said of the file the conversion was at.
class NoticeLog {
public:
    void setFile(const std::string& file) { m_file = file; }
    const std::string& file() const { return m_file; }
    void image(const ImageStatus& status) { addImageBoxes(m_notices, status, m_file); }
    void exif(const ExifWarnings& boxes) { addExifBoxes(m_notices, boxes, m_file); }
    void metadata(const std::vector<MetadataProblem>& problems, const std::string& path)
    {
        addMetadataProblems(m_notices, problems, path, m_file);
    }
    void add(Notices notices);
    Notices take() { return std::move(m_notices); }

private:
    Notices m_notices;
    std::string m_file;
};

/// What a front end shows for a notice.
struct NoticeBox {
    std::string text;
    std::string caption;  // empty for the plain box
    MessageIcon icon = MessageIcon::Warning;
};
NoticeBox noticeBox(const Notice& notice);
std::vector<NoticeBox> noticeBoxes(const Notices& notices);

}  // namespace tavelune
