// String numbers of the engine dialogs' texts (rows in resources/strings/engine.inc).
#pragma once

namespace tavelune::gui::ids {

inline constexpr int kOk = 61000;
inline constexpr int kCancel = 61001;
inline constexpr int kKeepExif = 61002;

inline constexpr int kJpegOptionsTitle = 61010;
inline constexpr int kJpegCompressionGroup = 61011;
inline constexpr int kQualityLabel = 61012;
inline constexpr int kQualityLow = 61013;  // followed by medium, high and maximum
inline constexpr int kSmallFile = 61017;
inline constexpr int kLargeFile = 61018;
inline constexpr int kQualityRange = 61019;

inline constexpr int kTiffOptionsTitle = 61030;
inline constexpr int kTiffCompressionGroup = 61031;
inline constexpr int kUncompressed = 61032;
inline constexpr int kLzw = 61033;

inline constexpr int kImageSizeTitle = 61050;
inline constexpr int kPixelSizeGroup = 61051;
inline constexpr int kWidthLabel = 61052;
inline constexpr int kHeightLabel = 61053;
inline constexpr int kUnitPixels = 61054;
inline constexpr int kUnitPercent = 61055;
inline constexpr int kDocumentSizeGroup = 61056;
inline constexpr int kUnitInches = 61057;
inline constexpr int kUnitCentimetres = 61058;
inline constexpr int kUnitMillimetres = 61059;
inline constexpr int kResolutionLabel = 61060;
inline constexpr int kPixelsPerInch = 61061;
inline constexpr int kPixelsPerCentimetre = 61062;
inline constexpr int kConstrain = 61063;
inline constexpr int kResample = 61064;
inline constexpr int kWholePixelsRange = 61065;
inline constexpr int kPercentRange = 61066;
inline constexpr int kResolutionRange = 61067;

}  // namespace tavelune::gui::ids
