// Builds the EXIF information list's rows from a model, independent of any widget.
#include "exif/exif_list.h"

#include "engine/format_number.h"

namespace tavelune {

std::string fileSizeText(std::uint64_t size)
{
    if (size < 1024)
        return std::to_string(size) + " Byte";
    if (size < 1048576)
        return formatNumber(static_cast<double>(size) / 1024, 1) + " KB";
    return formatNumber(static_cast<double>(size) / 1048576, 2) + " MB";
}

std::string localTimeText(std::time_t time)
{
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return {};
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, length);
}

std::vector<ExifListRow> buildExifListRows(const ExifData& exif, std::string_view language)
{
    std::vector<ExifListRow> rows;
    const FileStatus& status = exif.fileStatus();
    if (status.HasPath()) {
        const std::size_t slash = status.path.find_last_of('/');
        const std::string name =
            slash == std::string::npos ? status.path : status.path.substr(slash + 1);
        auto fileRow = [](int id, std::string value) {
            return ExifListRow{
                ExifListRow::Kind::File, (0x9002u << 16) | unsigned(id), id, {}, std::move(value)};
        };
        rows.push_back({ExifListRow::Kind::Header, 0, kStringFileInfo, {}, {}});
        rows.push_back(fileRow(kStringFileName, name));
        rows.push_back(fileRow(kStringFileSize,
                               fileSizeText(static_cast<std::uint64_t>(status.info.st_size))));
        rows.push_back(fileRow(kStringTimeStamp, localTimeText(status.info.st_mtime)));
    }
    if (exif.IsEmpty())
        return rows;
    const std::pair<std::uint16_t, int> groups[] = {{kIfd0, kStringImageInfo},
                                                    {kExifIfd, kStringShootingInfo},
                                                    {kInteropIfd, kStringInteropInfo}};
    for (const auto& [ifd, header] : groups) {
        rows.push_back({ExifListRow::Kind::Header, 0, header, {}, {}});
        for (const auto& entry : exif.entries()) {
            if (entry->ifd() != ifd)
                continue;
            rows.push_back({ExifListRow::Kind::Entry,
                            (std::uint32_t{entry->ifd()} << 16) | entry->tag(), 0,
                            entry->GetName(language), entry->GetText(language)});
        }
    }
    return rows;
}

}  // namespace tavelune
