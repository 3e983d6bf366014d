#pragma once
// The program's texts and the face they are shown in, shared by the window
// and the runner's pictures.

#include <array>

/// The window's title and its check boxes' captions, in UTF-8.
inline constexpr const char* WindowCaption = "追尾ミサイルサンプル";
inline constexpr const char* Check1Caption = "最高速度以上にならない";
inline constexpr const char* Check2Caption = "速度ベクトル表示をしない";

/// The caption of each steering mode's option button, in UTF-8, by mode
/// number. Sized by its entries, not the count: the users static_assert
/// that there is one for every mode, so none can be left out unnoticed.
inline constexpr std::array ModeCaptions = {
    "XY別通常追尾", // per-axis chase
    "通常追尾",     // direct chase
    "角度追尾",     // angle chase
    "角度追尾2",    // angle chase 2
    "XY別加速追尾", // per-axis accelerating chase
    "加速追尾",     // accelerating chase
};

/// The same methods in English, for terminals and file names.
inline constexpr std::array ModeNames = {
    "per-axis chase",     "direct chase", "angle chase", "vector turn chase", "per-axis accelerating chase",
    "accelerating chase",
};

/// The captions' face: the one the window asks for, then the proportional
/// Japanese Gothic faces Linux desktops have, so every caption renders in one face.
inline constexpr std::array<const char*, 9> CaptionFontFamilies = {
    "ＭＳ Ｐゴシック",  "MS PGothic",         "IPAPGothic", "IPAexGothic",  "IPAGothic",
    "Noto Sans CJK JP", "Source Han Sans JP", "VL PGothic", "TakaoPGothic",
};
inline constexpr int CaptionFontPoints = 12;
