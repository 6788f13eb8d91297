// Why an EXIF operation failed, and the boxes it met on its way, as codes the front ends turn
// into the system's texts.
#pragma once

#include <string>

#include "engine/result.h"

namespace tavelune {

enum class ExifError {
    CannotRead,            // no such file, or it cannot be opened or read
    NotJpegOrTiff,         // the format is neither JPEG nor TIFF
    NoExifData,            // no Exif segment or image directory that parses
    BadJpeg,               // the marker scan failed (its box, if any, is among the warnings)
    TooManyPaddingBytes,   // box: the marker scan ran off the end of the file
    SectionAllocFailed,    // box: a segment buffer could not be had
    PrematureEnd,          // box: a JFIF or Exif segment shorter than its length
    NoNikonD100,           // box: a Nikon maker note of another layout; the load goes on
    NothingToWrite,        // an empty model
    SegmentTooLarge,       // the new Exif segment would pass 65535 bytes
    BadSegment,            // a segment handed in that is not a whole APP1 segment
    NoSegmentToReplace,    // a JPEG with neither a JFIF APP0 nor an Exif APP1
    TiffLayoutNotCarried,  // a TIFF whose image layout the rewrite cannot carry over safely
    CannotWrite,           // the new file could not be written or put in place
    DeveloperRefused,      // box: the raw developer's refusal in its own words; detail: them
};

using ExifFailure = Failure<ExifError>;
/// The boxes an operation met, in the order met.
using ExifWarnings = Warnings<ExifError>;
/// Success, or the failure that ended an operation.
using ExifStatus = Status<ExifError>;

/// The text of a box the user is shown as it stands; empty for codes the front ends report in
/// their own words.
std::string exifBoxText(ExifError code, const std::string& detail = {});

}  // namespace tavelune
