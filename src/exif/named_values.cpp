// The named values of the six enumerated Exif tags, in three languages.
#include <cstdio>

#include "exif/exif_entry.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

// Grouped by tag in the order the editor's drop-down lists show them.
// clang-format off
constexpr NamedValue kNamedValues[] = {
    {kExifIfd, 37385, 0, {"Flash did not fire", "关闭", "關閉"}},
    {kExifIfd, 37385, 1, {"Flash fired", "打开", "打開"}},
    {kExifIfd, 37385, 5, {"Strobe return light not detected", "未检测到回闪", "未檢測到回閃"}},
    {kExifIfd, 37385, 7, {"Strobe return light detected", "检测到回闪", "檢測到回閃"}},
    {kExifIfd, 37385, 9, {"Flash fired, compulsory flash mode", "打开(强制)", "打開(強制)"}},
    {kExifIfd, 37385, 13, {"Flash fired, compulsory flash mode, return light not detected", "打开(强制,未检测到回闪)", "打開(強制,未檢測到回閃)"}},
    {kExifIfd, 37385, 15, {"Flash fired, compulsory flash mode, return light detected", "打开(强制,检测到回闪)", "打開(強制,檢測到回閃)"}},
    {kExifIfd, 37385, 16, {"Flash did not fire, compulsory flash mode", "关闭(强制)", "關閉(強制)"}},
    {kExifIfd, 37385, 24, {"Flash did not fire, auto mode", "关闭(自动)", "關閉(自動)"}},
    {kExifIfd, 37385, 25, {"Flash fired, auto mode", "打开(自动)", "打開(自動)"}},
    {kExifIfd, 37385, 29, {"Flash fired, auto mode, return light not detected", "打开(自动,未检测到回闪)", "打開(自動,未檢測到回閃)"}},
    {kExifIfd, 37385, 31, {"Flash fired, auto mode, return light detected", "打开(自动,检测到回闪)", "打開(自動,檢測到回閃)"}},
    {kExifIfd, 37385, 32, {"No flash function", "无闪光功能", "無閃光功能"}},
    {kExifIfd, 37385, 65, {"Flash fired, red-eye reduction mode", "打开(防红眼)", "打開(防紅眼)"}},
    {kExifIfd, 37385, 69, {"Flash fired, red-eye reduction mode, return light not detected", "打开(防红眼,未检测到回闪)", "打開(防紅眼,未檢測到回閃)"}},
    {kExifIfd, 37385, 71, {"Flash fired, red-eye reduction mode, return light detected", "打开(防红眼,检测到回闪)", "打開(防紅眼,檢測到回閃)"}},
    {kExifIfd, 37385, 73, {"Flash fired, compulsory flash mode, red-eye reduction mode", "打开(强制,防红眼)", "打開(強制,防紅眼)"}},
    {kExifIfd, 37385, 77, {"Flash fired, compulsory flash mode, red-eye reduction mode, return light not detected", "打开(强制,防红眼,未检测到回闪)", "打開(強制,防紅眼,未檢測到回閃)"}},
    {kExifIfd, 37385, 79, {"Flash fired, compulsory flash mode, red-eye reduction mode, return light detected", "打开(强制,防红眼,检测到回闪)", "打開(強制,防紅眼,檢測到回閃)"}},
    {kExifIfd, 37385, 89, {"Flash fired, auto mode, red-eye reduction mode", "打开(自动,防红眼)", "打開(自動,防紅眼)"}},
    {kExifIfd, 37385, 93, {"Flash fired, auto mode, return light not detected, red-eye reduction mode", "打开(自动,未检测到回闪,防红眼)", "打開(自動,未檢測到回閃,防紅眼)"}},
    {kExifIfd, 37385, 95, {"Flash fired, auto mode, return light detected, red-eye reduction mode", "打开(自动,检测到回闪,防红眼)", "打開(自動,檢測到回閃,防紅眼)"}},
    {kExifIfd, 41987, 0, {"Auto white balance", "自动", "自動"}},
    {kExifIfd, 41987, 1, {"Manual white balance", "手动", "手動"}},
    {kExifIfd, 37383, 0, {"Unknown", "未知", "未知"}},
    {kExifIfd, 37383, 1, {"Average", "平均测光", "平均測光"}},
    {kExifIfd, 37383, 2, {"CenterWeightedAverage", "中央重点平均测光", "中央重點平均測光"}},
    {kExifIfd, 37383, 3, {"Spot", "点测光", "點測光"}},
    {kExifIfd, 37383, 4, {"MultiSpot", "多点测光", "多點測光"}},
    {kExifIfd, 37383, 5, {"Pattern", "评估", "評估"}},
    {kExifIfd, 37383, 6, {"Partial", "局部测光", "局部測光"}},
    {kExifIfd, 37383, 255, {"Other", "其他", "其他"}},
    {kExifIfd, 41986, 0, {"Auto exposure", "自动曝光", "自動曝光"}},
    {kExifIfd, 41986, 1, {"Manual exposure", "手动曝光", "手動曝光"}},
    {kExifIfd, 41986, 2, {"Auto bracket", "自动包围曝光", "自動包圍曝光"}},
    {kExifIfd, 34850, 0, {"Not defined", "未定义", "未定義"}},
    {kExifIfd, 34850, 1, {"Manual", "手动", "手動"}},
    {kExifIfd, 34850, 2, {"Normal program", "程序自动", "程式自動"}},
    {kExifIfd, 34850, 3, {"Aperture priority", "光圈先决", "光圈先決"}},
    {kExifIfd, 34850, 4, {"Shutter priority", "快门先决", "快門先決"}},
    {kExifIfd, 34850, 5, {"Creative program", "景深先决", "景深先決"}},
    {kExifIfd, 34850, 6, {"Action program", "运动模式", "運動模式"}},
    {kExifIfd, 34850, 7, {"Portrait mode", "人像模式", "人像模式"}},
    {kExifIfd, 34850, 8, {"Landscape mode", "风景模式", "風景模式"}},
    {kExifIfd, 37384, 0, {"Unknown", "未知", "未知"}},
    {kExifIfd, 37384, 1, {"Daylight", "日光", "日光"}},
    {kExifIfd, 37384, 2, {"Fluorescent", "荧光灯", "螢光燈"}},
    {kExifIfd, 37384, 3, {"Tungsten (incandescent light)", "钨丝灯(白炽灯)", "鎢絲燈(白熾燈)"}},
    {kExifIfd, 37384, 4, {"Flash", "闪光灯", "閃光燈"}},
    {kExifIfd, 37384, 9, {"Fine weather", "晴天", "晴天"}},
    {kExifIfd, 37384, 10, {"Cloudy weather", "阴天", "陰天"}},
    {kExifIfd, 37384, 11, {"Shade", "阴影", "陰影"}},
    {kExifIfd, 37384, 12, {"Daylight fluorescent (D 5700 - 7100K)", "日光荧光灯(D 5700 - 7100K)", "日光螢光燈(D 5700 - 7100K)"}},
    {kExifIfd, 37384, 13, {"Day white fluorescent (N 4600 - 5400K)", "日白荧光灯(N 4600 - 5400K)", "日白螢光燈(N 4600 - 5400K)"}},
    {kExifIfd, 37384, 14, {"Cool white fluorescent (W 3900 - 4500K)", "冷白荧光灯(W 3900 - 4500K)", "冷白螢光燈(W 3900 - 4500K)"}},
    {kExifIfd, 37384, 15, {"White fluorescent (WW 3200 - 3700K)", "白荧光灯(WW 3200 - 3700K)", "白螢光燈(WW 3200 - 3700K)"}},
    {kExifIfd, 37384, 17, {"Standard light A", "标准光A", "標準光A"}},
    {kExifIfd, 37384, 18, {"Standard light B", "标准光B", "標準光B"}},
    {kExifIfd, 37384, 19, {"Standard light C", "标准光C", "標準光C"}},
    {kExifIfd, 37384, 20, {"D55", "D55", "D55"}},
    {kExifIfd, 37384, 21, {"D65", "D65", "D65"}},
    {kExifIfd, 37384, 22, {"D75", "D75", "D75"}},
    {kExifIfd, 37384, 23, {"D50", "D50", "D50"}},
    {kExifIfd, 37384, 24, {"ISO studio tungsten", "ISO影棚钨丝灯", "ISO影棚鎢絲燈"}},
    {kExifIfd, 37384, 255, {"Other light source", "其他", "其他"}},
};
// clang-format on

}  // namespace

std::span<const NamedValue> namedValues()
{
    return kNamedValues;
}

std::string LookupValueName(std::uint16_t ifd, std::uint16_t tag, std::uint16_t value,
                            std::string_view language)
{
    for (const NamedValue& row : kNamedValues) {
        if (row.ifd == ifd && row.tag == tag && row.value == value)
            return row.texts[languageIndex(language)];
    }
    char text[8];
    std::snprintf(text, sizeof text, "%hu", value);
    return text;
}

}  // namespace tavelune
