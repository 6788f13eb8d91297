// String numbers of the film page's texts (rows in resources/strings/film.inc).
#pragma once

namespace tavelune::gui::ids {

inline constexpr int kFilmVelviaName = 57349;
inline constexpr int kFilmE100VsName = 57350;
inline constexpr int kFilmTmaxName = 57351;
inline constexpr int kFilmAstiaName = 57355;

inline constexpr int kFilmTypeTip = 57455;
inline constexpr int kExposureTip = 57456;
inline constexpr int kPortraitTip = 57457;
inline constexpr int kHighKeyTip = 57458;
inline constexpr int kBlackCorrectionTip = 57459;
inline constexpr int kSaturationTip = 57460;

inline constexpr int kFilmEnabled = 61500;
inline constexpr int kFilmTypeLabel = 61501;
inline constexpr int kExposureLabel = 61502;
inline constexpr int kExposureUnit = 61503;
inline constexpr int kPortrait = 61504;
inline constexpr int kHighKey = 61505;
inline constexpr int kBlackCorrection = 61506;
inline constexpr int kSharpness = 61507;
inline constexpr int kSaturationLabel = 61508;

inline constexpr int kLutExportButton = 61510;
inline constexpr int kLutExportTip = 61511;
inline constexpr int kLutExportTitle = 61512;
inline constexpr int kLutCubeFilter = 61513;
inline constexpr int kLutHaldFilter = 61514;
inline constexpr int kLutCubeSizeLabel = 61515;
inline constexpr int kLutHaldLevelLabel = 61516;
inline constexpr int kLutSizeHint = 61517;
inline constexpr int kLutExportFailed = 61518;
inline constexpr int kLutNeedsExtension = 61519;

}  // namespace tavelune::gui::ids
