// Names for every tag number the program reads, writes or formats; the catalogue and the
// named values hold the numbers themselves, everything else uses these.
#pragma once

#include <cstdint>

namespace tavelune {

// IFD0 (kIfd0).
inline constexpr std::uint16_t kTagNewSubfileType = 254;
inline constexpr std::uint16_t kTagImageWidth = 256;
inline constexpr std::uint16_t kTagImageLength = 257;
inline constexpr std::uint16_t kTagBitsPerSample = 258;
inline constexpr std::uint16_t kTagCompression = 259;
inline constexpr std::uint16_t kTagPhotometricInterpretation = 262;
inline constexpr std::uint16_t kTagFillOrder = 266;
inline constexpr std::uint16_t kTagImageDescription = 270;
inline constexpr std::uint16_t kTagMake = 271;
inline constexpr std::uint16_t kTagModel = 272;
inline constexpr std::uint16_t kTagStripOffsets = 273;
inline constexpr std::uint16_t kTagOrientation = 274;
inline constexpr std::uint16_t kTagSamplesPerPixel = 277;
inline constexpr std::uint16_t kTagRowsPerStrip = 278;
inline constexpr std::uint16_t kTagStripByteCounts = 279;
inline constexpr std::uint16_t kTagXResolution = 282;
inline constexpr std::uint16_t kTagYResolution = 283;
inline constexpr std::uint16_t kTagPlanarConfiguration = 284;
inline constexpr std::uint16_t kTagResolutionUnit = 296;
inline constexpr std::uint16_t kTagTransferFunction = 301;
inline constexpr std::uint16_t kTagSoftware = 305;
inline constexpr std::uint16_t kTagDateTime = 306;
inline constexpr std::uint16_t kTagArtist = 315;
inline constexpr std::uint16_t kTagPredictor = 317;
inline constexpr std::uint16_t kTagWhitePoint = 318;
inline constexpr std::uint16_t kTagPrimaryChromaticities = 319;
inline constexpr std::uint16_t kTagJPEGInterchangeFormat = 513;
inline constexpr std::uint16_t kTagJPEGInterchangeFormatLength = 514;
inline constexpr std::uint16_t kTagYCbCrCoefficients = 529;
inline constexpr std::uint16_t kTagYCbCrSubSampling = 530;
inline constexpr std::uint16_t kTagYCbCrPositioning = 531;
inline constexpr std::uint16_t kTagReferenceBlackWhite = 532;
inline constexpr std::uint16_t kTagXMLMetadata = 700;
inline constexpr std::uint16_t kTagCopyright = 33432;
inline constexpr std::uint16_t kTagAdobeResource = 34377;
inline constexpr std::uint16_t kTagICCProfile = 34675;

// Exif IFD (kExifIfd), the extended tags of this program included.
inline constexpr std::uint16_t kTagExposureTime = 33434;
inline constexpr std::uint16_t kTagFNumber = 33437;
inline constexpr std::uint16_t kTagExifIFDPointer = 34665;
inline constexpr std::uint16_t kTagExposureProgram = 34850;
inline constexpr std::uint16_t kTagSpectralSensitivity = 34852;
inline constexpr std::uint16_t kTagGPSInfoIFDPointer = 34853;
inline constexpr std::uint16_t kTagISOSpeedRatings = 34855;
inline constexpr std::uint16_t kTagOECF = 34856;
inline constexpr std::uint16_t kTagExifVersion = 36864;
inline constexpr std::uint16_t kTagDateTimeOriginal = 36867;
inline constexpr std::uint16_t kTagDateTimeDigitized = 36868;
inline constexpr std::uint16_t kTagComponentsConfiguration = 37121;
inline constexpr std::uint16_t kTagCompressedBitsPerPixel = 37122;
inline constexpr std::uint16_t kTagShutterSpeedValue = 37377;
inline constexpr std::uint16_t kTagApertureValue = 37378;
inline constexpr std::uint16_t kTagBrightnessValue = 37379;
inline constexpr std::uint16_t kTagExposureBiasValue = 37380;
inline constexpr std::uint16_t kTagMaxApertureValue = 37381;
inline constexpr std::uint16_t kTagSubjectDistance = 37382;
inline constexpr std::uint16_t kTagMeteringMode = 37383;
inline constexpr std::uint16_t kTagLightSource = 37384;
inline constexpr std::uint16_t kTagFlash = 37385;
inline constexpr std::uint16_t kTagFocalLength = 37386;
inline constexpr std::uint16_t kTagSubjectArea = 37396;
inline constexpr std::uint16_t kTagMakerNote = 37500;
inline constexpr std::uint16_t kTagUserComment = 37510;
inline constexpr std::uint16_t kTagSubSecTime = 37520;
inline constexpr std::uint16_t kTagSubSecTimeOriginal = 37521;
inline constexpr std::uint16_t kTagSubSecTimeDigitized = 37522;
inline constexpr std::uint16_t kTagFlashPixVersion = 40960;
inline constexpr std::uint16_t kTagColorSpace = 40961;
inline constexpr std::uint16_t kTagPixelXDimension = 40962;
inline constexpr std::uint16_t kTagPixelYDimension = 40963;
inline constexpr std::uint16_t kTagRelatedSoundFile = 40964;
inline constexpr std::uint16_t kTagInteroperabilityIFDPointer = 40965;
inline constexpr std::uint16_t kTagFlashEnergy = 41483;
inline constexpr std::uint16_t kTagSpatialFrequencyResponse = 41484;
inline constexpr std::uint16_t kTagFocalPlaneXResolution = 41486;
inline constexpr std::uint16_t kTagFocalPlaneYResolution = 41487;
inline constexpr std::uint16_t kTagFocalPlaneResolutionUnit = 41488;
inline constexpr std::uint16_t kTagSubjectLocation = 41492;
inline constexpr std::uint16_t kTagExposureIndex = 41493;
inline constexpr std::uint16_t kTagSensingMethod = 41495;
inline constexpr std::uint16_t kTagFileSource = 41728;
inline constexpr std::uint16_t kTagSceneType = 41729;
inline constexpr std::uint16_t kTagCFAPattern = 41730;
inline constexpr std::uint16_t kTagCustomRendered = 41985;
inline constexpr std::uint16_t kTagExposureMode = 41986;
inline constexpr std::uint16_t kTagWhiteBalance = 41987;
inline constexpr std::uint16_t kTagDigitalZoomRatio = 41988;
inline constexpr std::uint16_t kTagFocalLengthIn35mmFilm = 41989;
inline constexpr std::uint16_t kTagSceneCaptureType = 41990;
inline constexpr std::uint16_t kTagGainControl = 41991;
inline constexpr std::uint16_t kTagContrast = 41992;
inline constexpr std::uint16_t kTagSaturation = 41993;
inline constexpr std::uint16_t kTagSharpness = 41994;
inline constexpr std::uint16_t kTagDeviceSettingDescription = 41995;
inline constexpr std::uint16_t kTagSubjectDistanceRange = 41996;
inline constexpr std::uint16_t kTagImageUniqueID = 42016;
inline constexpr std::uint16_t kTagGamma = 42240;
inline constexpr std::uint16_t kTagExtendSoftware = 44992;
inline constexpr std::uint16_t kTagLens = 44993;
inline constexpr std::uint16_t kTagFilm = 44994;
inline constexpr std::uint16_t kTagFilterLens = 44995;
inline constexpr std::uint16_t kTagScanner = 44996;
inline constexpr std::uint16_t kTagFlashLamp = 44997;

// Interoperability IFD (kInteropIfd).
inline constexpr std::uint16_t kTagInteroperabilityIndex = 1;
inline constexpr std::uint16_t kTagInteroperabilityVersion = 2;

// IFD0 layout tags outside the catalogue, which the writers must still recognise.
inline constexpr std::uint16_t kTagSubfileType = 255;
inline constexpr std::uint16_t kTagFreeOffsets = 288;
inline constexpr std::uint16_t kTagFreeByteCounts = 289;
inline constexpr std::uint16_t kTagTileOffsets = 324;
inline constexpr std::uint16_t kTagTileByteCounts = 325;
inline constexpr std::uint16_t kTagSubIFDs = 330;
inline constexpr std::uint16_t kTagIPTCNAA = 33723;
inline constexpr std::uint16_t kTagImageSourceData = 37724;

// Maker-note entries (kMakerNoteIfd) the readers derive standard entries from.
inline constexpr std::uint16_t kTagCanonCameraSettings = 1;
inline constexpr std::uint16_t kTagNikonIsoSetting = 2;

}  // namespace tavelune
