#pragma once
// The captions' face as a Qt font, for the two front ends that draw text with
// Qt (the window and the runner's pictures). Header only: the assets library
// itself stays free of Qt.

#include <QFont>
#include <QStringList>

#include "Captions.h"

inline QFont CaptionFont(int points = CaptionFontPoints)
{
    QStringList families;
    for (const char* family : CaptionFontFamilies)
        families << QString::fromUtf8(family);
    QFont font;
    font.setFamilies(families);
    font.setPointSize(points);
    return font;
}
