#include "LaunchText.h"

#include "FloatText.h"

LaunchDrawWords LaunchDrawText(const MethodDraw& draw)
{
    const std::string meaning = DrawMeaning(draw.Draw);
    const std::string scaled = (draw.Scale == 1 ? "" : FloatText(float(draw.Scale)) + " ") + "r";
    return {std::string(LaunchDrawName(draw.Draw)) + " = " +
                (draw.Offset == 0 ? scaled : FloatText(float(draw.Offset)) + " + " + scaled),
            "[" + FloatText(LaunchValue(draw, 0)) + ", " + FloatText(float(draw.Offset + draw.Scale)) + ")",
            meaning.substr(meaning.find(','))};
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
