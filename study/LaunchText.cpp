#include "LaunchText.h"

#include "FloatText.h"

LaunchDrawWords LaunchDrawText(const MethodDraw& draw)
{
    // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) of "[" + a
    // string, and of assigning "[" to one.
    LaunchDrawWords words;
    words.Formula = std::string(LaunchDrawName(draw.Draw)) + " = ";
    if (draw.Offset != 0)
        words.Formula += FloatText(float(draw.Offset)) + " + ";
    if (draw.Scale != 1)
        words.Formula += FloatText(float(draw.Scale)) + " ";
    words.Formula += "r";
    words.Range.push_back('[');
    words.Range.append(FloatText(LaunchValue(draw, 0))).append(", ");
    words.Range.append(FloatText(float(draw.Offset + draw.Scale))).push_back(')');
    const std::string meaning = DrawMeaning(draw.Draw);
    words.Unit = meaning.substr(meaning.find(','));
    return words;
}

std::string LaunchText(const Method& method)
{
    std::string text;
    for (const MethodDraw& draw : method.Draws)
        if (draw.Draw != LaunchDraw::None) {
            const LaunchDrawWords words = LaunchDrawText(draw);
            text += (text.empty() ? "" : "; ") + words.Formula + " (in " + words.Range + words.Unit + ")";
        }
    return text;
}
