// The tag catalogue: type, default count, information-tag flag and names in three languages.
#include "exif/tag_catalogue.h"

#include <cstdio>

#include "exif/exif_entry.h"

namespace tavelune {
namespace {

// Order matters: the editor and the information-tag list walk it as it stands.
// clang-format off
constexpr TagInfo kCatalogue[] = {
    {kIfd0, 254, kLong, 1, 0, {"NewSubfileType", "NewSubfileType", "NewSubfileType"}},
    {kIfd0, 256, kLong, 1, kInfoTagFlag, {"ImageWidth", "图像宽度", "影像寬度"}},
    {kIfd0, 257, kLong, 1, kInfoTagFlag, {"ImageLength", "图像高度", "影像高度"}},
    {kIfd0, 258, kShort, 3, 0, {"BitsPerSample", "每样本位数", "每樣本位元數"}},
    {kIfd0, 259, kShort, 1, 0, {"Compression", "压缩方式", "壓縮方式"}},
    {kIfd0, 262, kShort, 1, 0, {"PhotometricInterpretation", "光度解释", "光度解釋"}},
    {kIfd0, 266, kShort, 1, 0, {"FillOrder", "FillOrder", "FillOrder"}},
    {kIfd0, 270, kAscii, 0, kInfoTagFlag, {"ImageDescription", "图像说明", "影像說明"}},
    {kIfd0, 271, kAscii, 0, kInfoTagFlag, {"Make", "制造商", "制造商"}},
    {kIfd0, 272, kAscii, 0, kInfoTagFlag, {"Model", "型号", "型號"}},
    {kIfd0, 273, kLong, 0, 0, {"StripOffsets", "StripOffsets", "StripOffsets"}},
    {kIfd0, 274, kShort, 1, 0, {"Orientation", "方向", "方向"}},
    {kIfd0, 277, kShort, 1, 0, {"SamplesPerPixel", "每像素样本数", "每像素樣本數"}},
    {kIfd0, 278, kLong, 1, 0, {"RowsPerStrip", "RowsPerStrip", "RowsPerStrip"}},
    {kIfd0, 279, kLong, 0, 0, {"StripByteCounts", "StripByteCounts", "StripByteCounts"}},
    {kIfd0, 282, kRational, 1, kInfoTagFlag, {"XResolution", "水平分辨率", "水平解析度"}},
    {kIfd0, 283, kRational, 1, kInfoTagFlag, {"YResolution", "垂直分辨率", "垂直解析度"}},
    {kIfd0, 284, kShort, 1, 0, {"PlanarConfiguration", "PlanarConfiguration", "PlanarConfiguration"}},
    {kIfd0, 296, kShort, 1, kInfoTagFlag, {"ResolutionUnit", "分辨率单位", "解析度單位"}},
    {kIfd0, 301, kShort, 768, 0, {"TransferFunction", "TransferFunction", "TransferFunction"}},
    {kIfd0, 305, kAscii, 0, kInfoTagFlag, {"Software", "软件", "軟件"}},
    {kIfd0, 306, kAscii, 20, kInfoTagFlag, {"DateTime", "修改时间", "修改時間"}},
    {kIfd0, 315, kAscii, 0, kInfoTagFlag, {"Artist", "作者", "作者"}},
    {kIfd0, 317, kShort, 1, 0, {"Predictor", "Predictor", "Predictor"}},
    {kIfd0, 318, kRational, 2, 0, {"WhitePoint", "白点", "白點"}},
    {kIfd0, 319, kRational, 6, 0, {"PrimaryChromaticities", "原色色度", "原色色度"}},
    {kIfd0, 513, kLong, 1, 0, {"JPEGInterchangeFormat", "JPEGInterchangeFormat", "JPEGInterchangeFormat"}},
    {kIfd0, 514, kLong, 1, 0, {"JPEGInterchangeFormatLength", "JPEGInterchangeFormatLength", "JPEGInterchangeFormatLength"}},
    {kIfd0, 529, kRational, 3, 0, {"YCbCrCoefficients", "YCbCr系数", "YCbCr係數"}},
    {kIfd0, 530, kShort, 2, 0, {"YCbCrSubSampling", "YCbCr子采样", "YCbCr子取樣"}},
    {kIfd0, 531, kShort, 1, 0, {"YCbCrPositioning", "YCbCr定位", "YCbCr定位"}},
    {kIfd0, 532, kRational, 6, 0, {"ReferenceBlackWhite", "黑白参考值", "黑白參考值"}},
    {kIfd0, 700, kByte, 0, 0, {"XMLMetadata", "XMLMetadata", "XMLMetadata"}},
    {kIfd0, 33432, kAscii, 0, kInfoTagFlag, {"Copyright", "版权", "版權"}},
    {kIfd0, 34377, kByte, 0, 0, {"AdobeResource", "AdobeResource", "AdobeResource"}},
    {kIfd0, 34675, kUndefined, 0, 0, {"ICCProfile", "ICC配置文件", "ICC設定檔"}},
    {kExifIfd, 33434, kRational, 1, kInfoTagFlag, {"ExposureTime", "曝光时间", "曝光時間"}},
    {kExifIfd, 33437, kRational, 1, kInfoTagFlag, {"FNumber", "光圈", "光圈"}},
    {kExifIfd, 34665, kLong, 1, 0, {"Exif IFD Pointer", "Exif IFD指针", "Exif IFD指標"}},
    {kExifIfd, 34850, kShort, 1, kInfoTagFlag, {"ExposureProgram", "曝光程序", "曝光程式"}},
    {kExifIfd, 34852, kAscii, 0, 0, {"SpectralSensitivity", "光谱灵敏度", "光譜靈敏度"}},
    {kExifIfd, 34853, kLong, 1, 0, {"GPSInfo IFD Pointer", "GPS信息IFD指针", "GPS資訊IFD指標"}},
    {kExifIfd, 34855, kShort, 0, kInfoTagFlag, {"ISOSpeedRatings", "ISO感光度", "ISO感光度"}},
    {kExifIfd, 34856, kUndefined, 0, 0, {"OECF", "OECF", "OECF"}},
    {kExifIfd, 36864, kUndefined, 4, kInfoTagFlag, {"ExifVersion", "Exif版本", "Exif版本"}},
    {kExifIfd, 36867, kAscii, 20, kInfoTagFlag, {"DateTimeOriginal", "拍摄时间", "拍攝時間"}},
    {kExifIfd, 36868, kAscii, 20, kInfoTagFlag, {"DateTimeDigitized", "数字化时间", "數位化時間"}},
    {kExifIfd, 37121, kUndefined, 4, 0, {"ComponentsConfiguration", "分量构成", "分量構成"}},
    {kExifIfd, 37122, kRational, 1, 0, {"CompressedBitsPerPixel", "每像素压缩位数", "每像素壓縮位元數"}},
    {kExifIfd, 37377, kSRational, 1, kInfoTagFlag, {"ShutterSpeedValue", "快门速度", "快門速度"}},
    {kExifIfd, 37378, kRational, 1, kInfoTagFlag, {"ApertureValue", "光圈值", "光圈值"}},
    {kExifIfd, 37379, kSRational, 1, kInfoTagFlag, {"BrightnessValue", "亮度", "亮度"}},
    {kExifIfd, 37380, kSRational, 1, kInfoTagFlag, {"ExposureBiasValue", "曝光补偿", "曝光補償"}},
    {kExifIfd, 37381, kRational, 1, kInfoTagFlag, {"MaxApertureValue", "最大光圈值", "最大光圈值"}},
    {kExifIfd, 37382, kRational, 1, kInfoTagFlag, {"SubjectDistance", "对焦距离", "對焦距離"}},
    {kExifIfd, 37383, kShort, 1, kInfoTagFlag, {"MeteringMode", "测光模式", "測光模式"}},
    {kExifIfd, 37384, kShort, 1, kInfoTagFlag, {"LightSource", "光源", "光源"}},
    {kExifIfd, 37385, kShort, 1, kInfoTagFlag, {"Flash", "闪光", "閃光"}},
    {kExifIfd, 37386, kRational, 1, kInfoTagFlag, {"FocalLength", "焦距", "焦距"}},
    {kExifIfd, 37396, kShort, 2, 0, {"SubjectArea", "主体区域", "主體區域"}},
    {kExifIfd, 37500, kUndefined, 0, 0, {"MakerNote", "制造商注释", "製造商註釋"}},
    {kExifIfd, 37510, kUndefined, 8, kInfoTagFlag, {"UserComment", "用户注释", "用戶註釋"}},
    {kExifIfd, 37520, kAscii, 0, 0, {"SubSecTime", "SubSecTime", "SubSecTime"}},
    {kExifIfd, 37521, kAscii, 0, 0, {"SubSecTimeOriginal", "SubSecTimeOriginal", "SubSecTimeOriginal"}},
    {kExifIfd, 37522, kAscii, 0, 0, {"SubSecTimeDigitized", "SubSecTimeDigitized", "SubSecTimeDigitized"}},
    {kExifIfd, 40960, kUndefined, 4, 0, {"FlashPixVersion", "FlashPix版本", "FlashPix版本"}},
    {kExifIfd, 40961, kShort, 1, 0, {"ColorSpace", "色彩空间", "色彩空間"}},
    {kExifIfd, 40962, kLong, 1, kInfoTagFlag, {"PixelXDimension", "Exif图像宽度", "Exif影像寬度"}},
    {kExifIfd, 40963, kLong, 1, kInfoTagFlag, {"PixelYDimension", "Exif图像高度", "Exif影像高度"}},
    {kExifIfd, 40964, kAscii, 13, 0, {"RelatedSoundFile", "相关音频文件", "相關音訊檔案"}},
    {kExifIfd, 40965, kLong, 1, 0, {"Interoperability IFD Pointer", "协同IFD指针", "協同IFD指標"}},
    {kExifIfd, 41483, kRational, 1, 0, {"FlashEnergy", "闪光强度", "閃光強度"}},
    {kExifIfd, 41484, kUndefined, 0, 0, {"SpatialFrequencyResponse", "SpatialFrequencyResponse", "SpatialFrequencyResponse"}},
    {kExifIfd, 41486, kRational, 1, 0, {"FocalPlaneXResolution", "焦平面水平分辨率", "焦平面水平解析度"}},
    {kExifIfd, 41487, kRational, 1, 0, {"FocalPlaneYResolution", "焦平面垂直分辨率", "焦平面垂直解析度"}},
    {kExifIfd, 41488, kShort, 1, 0, {"FocalPlaneResolutionUnit", "焦平面分辨率单位", "焦平面解析度單位"}},
    {kExifIfd, 41492, kShort, 2, 0, {"SubjectLocation", "主体位置", "主體位置"}},
    {kExifIfd, 41493, kRational, 1, 0, {"ExposureIndex", "曝光指数", "曝光指數"}},
    {kExifIfd, 41495, kShort, 1, 0, {"SensingMethod", "感光方式", "感光方式"}},
    {kExifIfd, 41728, kUndefined, 1, 0, {"FileSource", "文件来源", "檔案來源"}},
    {kExifIfd, 41729, kUndefined, 1, kInfoTagFlag, {"SceneType", "场景类型", "場景類型"}},
    {kExifIfd, 41730, kUndefined, 0, 0, {"CFAPattern", "CFAPattern", "CFAPattern"}},
    {kExifIfd, 41985, kShort, 1, 0, {"CustomRendered", "自定义处理", "自訂處理"}},
    {kExifIfd, 41986, kShort, 1, kInfoTagFlag, {"ExposureMode", "曝光模式", "曝光模式"}},
    {kExifIfd, 41987, kShort, 1, kInfoTagFlag, {"WhiteBalance", "白平衡", "白平衡"}},
    {kExifIfd, 41988, kRational, 1, kInfoTagFlag, {"DigitalZoomRatio", "数码变焦比率", "數位變焦比率"}},
    {kExifIfd, 41989, kShort, 1, kInfoTagFlag, {"FocalLengthIn35mmFilm", "焦距(35mm)", "焦距(35mm)"}},
    {kExifIfd, 41990, kShort, 1, kInfoTagFlag, {"SceneCaptureType", "场景拍摄类型", "場景拍攝類型"}},
    {kExifIfd, 41991, kShort, 1, 0, {"GainControl", "增益控制", "增益控制"}},
    {kExifIfd, 41992, kShort, 1, 0, {"Contrast", "对比度", "對比度"}},
    {kExifIfd, 41993, kShort, 1, 0, {"Saturation", "饱和度", "飽和度"}},
    {kExifIfd, 41994, kShort, 1, 0, {"Sharpness", "锐度", "銳度"}},
    {kExifIfd, 41995, kUndefined, 0, 0, {"DeviceSettingDescription", "DeviceSettingDescription", "DeviceSettingDescription"}},
    {kExifIfd, 41996, kShort, 1, 0, {"SubjectDistanceRange", "对焦距离范围", "對焦距離範圍"}},
    {kExifIfd, 42016, kAscii, 33, 0, {"ImageUniqueID", "ImageUniqueID", "ImageUniqueID"}},
    {kExifIfd, 42240, kRational, 1, kInfoTagFlag, {"Gamma", "Gamma", "Gamma"}},
    {kExifIfd, 44992, kAscii, 0, 0, {"ExtendSoftware", "扩展软件", "擴展軟件"}},
    {kExifIfd, 44993, kAscii, 0, kInfoTagFlag, {"Lens", "镜头", "鏡頭"}},
    {kExifIfd, 44994, kAscii, 0, kInfoTagFlag, {"Film", "胶卷", "膠卷"}},
    {kExifIfd, 44995, kAscii, 0, kInfoTagFlag, {"FilterLens", "滤镜", "濾鏡"}},
    {kExifIfd, 44996, kAscii, 0, kInfoTagFlag, {"Scanner", "扫描仪", "掃描儀"}},
    {kExifIfd, 44997, kAscii, 0, kInfoTagFlag, {"FlashLamp", "闪光灯", "閃光燈"}},
    {kInteropIfd, 1, kAscii, 0, 0, {"InteroperabilityIndex", "协同索引", "協同索引"}},
    {kInteropIfd, 2, kUndefined, 4, 0, {"InteroperabilityVersion", "协同版本", "協同版本"}},
};
// clang-format on

}  // namespace

LanguageIndex languageIndex(std::string_view language)
{
    if (language == "zh_CN")
        return kSimplifiedChinese;
    if (language == "zh_TW")
        return kTraditionalChinese;
    return kEnglish;
}

std::span<const TagInfo> tagCatalogue()
{
    return kCatalogue;
}

const TagInfo* findTagInfo(std::uint16_t ifd, std::uint16_t tag)
{
    for (const TagInfo& info : kCatalogue) {
        if (info.ifd == ifd && info.tag == tag)
            return &info;
    }
    return nullptr;
}

std::string tagName(std::uint16_t ifd, std::uint16_t tag, std::string_view language)
{
    if (const TagInfo* info = findTagInfo(ifd, tag))
        return info->names[languageIndex(language)];
    char text[16];
    std::snprintf(text, sizeof text, "0x%.4X", unsigned{tag});
    return text;
}

std::string ExifEntry::GetName(std::string_view language) const
{
    if (!IsComplete())
        return {};
    return tagName(m_ifd, m_tag, language);
}

}  // namespace tavelune
