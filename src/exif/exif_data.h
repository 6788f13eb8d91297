// The EXIF model of one image file: a flat, sortable list of entries tagged with their IFD id.
// Layer exif: reading, editing and writing EXIF; sits on engine and pixel.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/image_format.h"
#include "exif/exif_block.h"
#include "exif/exif_entry.h"
#include "exif/exif_error.h"
#include "exif/file_status.h"
#include "exif/jpeg_section.h"

namespace tavelune {

/// Whether FindEntry makes the entry it does not find.
enum class EntryLookup { Existing, Create };

class ExifData {
public:
    ExifData() = default;
    ExifData(const ExifData&) = delete;
    ExifData& operator=(const ExifData&) = delete;

    /// Replaces the model with the EXIF data of a JPEG or TIFF file, a camera raw, or a HEIF or
    /// WebP or PNG file; without a format, the path's extension names it. The file status
    /// stays filled when the file exists but holds no readable EXIF data. The boxes met on the
    /// way are in warnings().
    ExifStatus LoadExif(const std::string& path, std::optional<ImageFormat> format = {});

    /// The same from the bytes of a JPEG or TIFF file in memory (no file status): for streams
    /// and the fuzzer. Any other format is refused.
    bool LoadExifFromBytes(const std::uint8_t* data, std::size_t size, ImageFormat format);

    /// Scans a JPEG stream from its start and keeps its JFIF APP0 and first Exif APP1
    /// segments. Returns the number kept, or -1; a failure that has a box adds it to
    /// warnings().
    int ReadJpegSections(std::FILE* file);

    /// Rewrites a JPEG file with `segment` (a complete APP1 segment) in place of its Exif
    /// APP1, or of its JFIF APP0 when it has none. The new file goes through a temporary
    /// file in the same folder, so a failure leaves the old file as it was.
    ExifStatus ReplaceExifSegment(const char* path, const std::uint8_t* segment, std::size_t size);
    /// The same over the file's bytes already read.
    ExifStatus SpliceExifSegment(const std::string& path, std::vector<std::uint8_t>& bytes,
                                 const std::uint8_t* segment, std::size_t size);

    /// Writes the model into a JPEG (a new Exif APP1 segment) or TIFF file (the directories
    /// rebuilt in front of the image data). Format as for LoadExif. False leaves the file as
    /// it was: an empty model, a segment above 65535 bytes, a TIFF whose layout cannot be
    /// carried over safely, or any read or write failure; the code says which.
    ExifStatus SaveExif(const std::string& path, std::optional<ImageFormat> format = {});
    /// SaveExif for a whole JPEG file held in memory: jpeg becomes the file SaveExif would
    /// have written. False leaves jpeg as it was.
    bool SaveExifIntoJpeg(std::vector<std::uint8_t>& jpeg);

    /// The model as a TIFF structure (header and directories, no thumbnail), as a WebP
    /// file's EXIF chunk holds it; nullopt for an empty model or one too large.
    std::optional<std::vector<std::uint8_t>> BuildTiffStructure();

    /// A JPEG stream that the next JPEG write stores as the thumbnail (IFD1) in place of the
    /// file's own (an empty one: no thumbnail); for a picture whose pixels changed since its
    /// EXIF data was read. Used by one successful write.
    void SetThumbnail(std::vector<std::uint8_t> jpeg);

    /// Where the last successful write put the MakerNote, and whether its offsets still hold.
    MakerNotePlacement makerNotePlacement() const { return m_makerNotePlacement; }

    /// Removes the EXIF data from a JPEG (adding the JFIF APP0 it then needs) or TIFF file.
    ExifStatus DeleteExif(const std::string& path, std::optional<ImageFormat> format = {});

    /// Replaces the model with the starting set of entries of a picture without EXIF data.
    bool CreateDefaultEntries(std::uint32_t width, std::uint32_t height, double xResolution,
                              double yResolution);

    /// The boxes the last load, save or delete met (and any marker scan since), in order;
    /// the front end shows them where that operation ran.
    const ExifWarnings& warnings() const { return m_warnings; }

    bool IsEmpty() const { return m_entries.empty(); }
    double GetNumber(std::uint16_t ifd, std::uint16_t tag, std::uint32_t index) const;
    std::string GetText(std::uint16_t ifd, std::uint16_t tag, std::string_view language) const;

    /// The first entry of (ifd, tag). With EntryLookup::Create a missing catalogue pair is
    /// appended with its default value; null when it is not in the catalogue.
    ExifEntry* FindEntry(std::uint16_t ifd, std::uint16_t tag,
                         EntryLookup lookup = EntryLookup::Existing);
    const ExifEntry* FindEntry(std::uint16_t ifd, std::uint16_t tag) const;

    /// Destroys the first entry of (ifd, tag); the others keep their order.
    bool RemoveEntry(std::uint16_t ifd, std::uint16_t tag);

    /// Orders the entries by tag number alone (the IFD id plays no part).
    void SortEntries();

    void Clear() { m_entries.clear(); }

    /// Turn Canon and Nikon maker notes into entries of IFD 37500 and standard Exif entries.
    bool ReadCanonMakerNote(const ExifEntry& makerNote);
    bool ReadNikonMakerNote(const ExifEntry& makerNote);

    int byteOrder() const { return m_byteOrder; }
    int makerNoteOffset() const { return m_makerNoteOffset; }
    const std::vector<std::unique_ptr<JpegSection>>& sections() const { return m_sections; }
    void ClearSections() { m_sections.clear(); }
    const std::vector<std::unique_ptr<ExifEntry>>& entries() const { return m_entries; }
    std::vector<std::unique_ptr<ExifEntry>>& entries() { return m_entries; }
    const FileStatus& fileStatus() const { return m_fileStatus; }

private:
    void StartLoad();
    ExifStatus LoadFromStream(std::FILE* file, ImageFormat format);
    /// Raw, HEIF and WebP files: their TIFF structure or EXIF block, else (raws) what LibRaw
    /// reports about the shot.
    ExifStatus LoadContainerExif(const std::string& path, ImageFormat format);
    void Warn(ExifError code, std::string detail = {})
    {
        m_warnings.push_back({code, std::move(detail)});
    }
    void TakeWarnings(const ExifData& other);
    bool ParseApp1(const JpegSection& section);
    bool ParseTiffStream(std::FILE* file);
    void ReadMakerNotes();
    ExifStatus SaveJpegExif(const std::string& path);
    /// The new Exif APP1 segment for the JPEG file's bytes.
    std::optional<std::vector<std::uint8_t>> BuildJpegSegment(const std::vector<std::uint8_t>& file,
                                                              MakerNotePlacement& placement);
    /// Where SpliceExifSegment puts segment: over the Exif APP1, else over the JFIF APP0.
    ExifStatus FindExifSegmentPlace(const std::vector<std::uint8_t>& bytes,
                                    const std::uint8_t* segment, std::size_t size,
                                    std::size_t& offset, std::size_t& oldSize);
    ExifStatus SaveTiffExif(const std::string& path);
    ExifStatus DeleteJpegExif(const std::string& path);

    ExifBlockSource BlockSource() const;

    int m_byteOrder = 0;
    int m_makerNoteOffset = 0;
    std::optional<ThumbnailDirectory> m_newThumbnail;
    MakerNotePlacement m_makerNotePlacement = MakerNotePlacement::None;
    std::vector<std::unique_ptr<JpegSection>> m_sections;
    std::vector<std::unique_ptr<ExifEntry>> m_entries;
    FileStatus m_fileStatus;
    ExifWarnings m_warnings;
};

}  // namespace tavelune
