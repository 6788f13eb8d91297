// XMP packets brought up to date with the picture written, through Exempi.
#pragma once

#include <string>

namespace tavelune {

/// What a conversion changed that the packet states.
struct XmpChanges {
    int width = 0;   // the written size; pixel dimensions present in the packet take it
    int height = 0;
    bool upright = true;      // tiff:Orientation present becomes 1
    std::string now;          // ISO 8601 date for xmp:ModifyDate and xmp:MetadataDate
    std::string creatorTool;  // xmp:CreatorTool
};

/// The packet with the changes made and everything else as it was, compact when that brings
/// it within limit bytes (0: any size); the packet unchanged when it does not parse.
std::string updateXmp(const std::string& packet, const XmpChanges& changes, std::size_t limit = 0);

/// One packet holding the main packet's properties and those of its extended part, for files
/// that have no room for extended XMP; the main packet when they do not parse.
std::string mergeExtendedXmp(const std::string& main, const std::string& extended);

struct SplitXmp {
    std::string main;
    std::string extended;  // empty when the packet fits whole
    std::string guid;      // MD5 of extended, 32 upper-case hex digits
};

/// A packet too large for one JPEG segment split as readers expect: the largest properties
/// moved into an extended packet until the main one fits limit, the main one naming the
/// extended one's GUID. Empty main when it cannot be done.
SplitXmp splitXmpForJpeg(const std::string& packet, std::size_t limit);

/// The current time as XMP writes dates ("2026-12-09T12:50:00+00:00").
std::string xmpNow();

}  // namespace tavelune
