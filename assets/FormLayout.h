#pragma once
// The window's layout in one place, for the window and the page alike:
// client-area pixels at 96 dots per inch, and the order Tab visits the controls.

#include <array>

struct ControlPlace {
    int Left, Top, Width, Height; ///< pixels
};
inline constexpr int ClientWidth = 516, ClientHeight = 318;
inline constexpr ControlPlace Picture1Place{8, 8, 304, 304};
inline constexpr ControlPlace Picture2Place{336, 16, 84, 68};
/// By the option button's index, which is its method's number.
inline constexpr std::array Option1Places{
    ControlPlace{320, 104, 169, 17}, ControlPlace{320, 128, 169, 17}, ControlPlace{320, 152, 169, 17},
    ControlPlace{320, 176, 169, 17}, ControlPlace{320, 200, 169, 17}, ControlPlace{320, 224, 169, 17},
};
// Check1 and Check2 overlap by one row, and Check2 runs 5 pixels past the
// client area's right edge, where the window cuts it off.
inline constexpr ControlPlace Check1Place{320, 256, 193, 25};
inline constexpr ControlPlace Check2Place{320, 280, 201, 25};

enum class Control { Picture1, Picture2, Option1, Check1, Check2 };
struct TabStop {
    Control Kind;
    int Index = 0; ///< an option button's
};
/// The pictures, the option buttons but Index 3, the check boxes, then Index 3.
inline constexpr std::array<TabStop, 4 + Option1Places.size()> TabOrder{{
    {Control::Picture1},
    {Control::Picture2},
    {Control::Option1, 0},
    {Control::Option1, 1},
    {Control::Option1, 2},
    {Control::Option1, 4},
    {Control::Option1, 5},
    {Control::Check1},
    {Control::Check2},
    {Control::Option1, 3},
}};

/// Where option button `index` comes in the tab order, from 0; -1 when it has none.
constexpr int Option1TabPosition(int index)
{
    for (int position = 0; position < int(TabOrder.size()); ++position)
        if (TabOrder[std::size_t(position)].Kind == Control::Option1 && TabOrder[std::size_t(position)].Index == index)
            return position;
    return -1;
}

constexpr bool EveryOptionTabbed()
{
    for (int index = 0; index < int(Option1Places.size()); ++index)
        if (Option1TabPosition(index) < 0)
            return false;
    return true;
}
static_assert(EveryOptionTabbed(), "Tab reaches every option button");
