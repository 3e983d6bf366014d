#pragma once
// The program's texts and the face they are shown in, shared by the window
// and the runner's pictures. The methods' captions are in their table
// (simulation/Methods.h).

#include <array>

/// The window's title and its check boxes' captions, in UTF-8.
inline constexpr const char* WindowCaption = "追尾ミサイルサンプル";
inline constexpr const char* Check1Caption = "最高速度以上にならない";
inline constexpr const char* Check2Caption = "速度ベクトル表示をしない";

/// The captions' face: the one the window asks for, then the proportional
/// Japanese Gothic faces Linux desktops have, so every caption renders in one face.
inline constexpr std::array<const char*, 9> CaptionFontFamilies = {
    "ＭＳ Ｐゴシック",  "MS PGothic",         "IPAPGothic", "IPAexGothic",  "IPAGothic",
    "Noto Sans CJK JP", "Source Han Sans JP", "VL PGothic", "TakaoPGothic",
};
inline constexpr int CaptionFontPoints = 12;
