// The face name table: fontconfig alone would give these names whatever its default sans is,
// whose widths differ from the Windows faces the lengths were chosen with.
#include "overlay/face_names.h"

#include <algorithm>
#include <cctype>

namespace tavelune {
namespace {

struct FaceTwin {
    const char* windows;
    const char* face;
};

constexpr const char* kSans = "Liberation Sans";
constexpr const char* kSerif = "Liberation Serif";
constexpr const char* kMono = "Liberation Mono";
constexpr const char* kChinese = "WenQuanYi Micro Hei";

constexpr FaceTwin kTwins[] = {
    {"MS Sans Serif", kSans},
    {"Microsoft Sans Serif", kSans},
    {"Arial", kSans},
    {"Times New Roman", kSerif},
    {"MS Serif", kSerif},
    {"Courier New", kMono},
    {"Courier", kMono},
    {"宋体", kChinese},
    {"新宋体", kChinese},
    {"黑体", kChinese},
    {"楷体", kChinese},
    {"仿宋", kChinese},
    {"微软雅黑", kChinese},
    {"SimSun", kChinese},
    {"NSimSun", kChinese},
    {"SimHei", kChinese},
    {"KaiTi", kChinese},
    {"FangSong", kChinese},
    {"Microsoft YaHei", kChinese},
    {"細明體", kChinese},
    {"新細明體", kChinese},
    {"標楷體", kChinese},
    {"微軟正黑體", kChinese},
    {"MingLiU", kChinese},
    {"PMingLiU", kChinese},
    {"DFKai-SB", kChinese},
    {"Microsoft JhengHei", kChinese},
};

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string linuxFaceFor(std::string_view windowsFace)
{
    for (const FaceTwin& twin : kTwins)
        if (sameName(windowsFace, twin.windows))
            return twin.face;
    return {};
}

}  // namespace tavelune
