#include "MapNote.h"

#include <cmath>

#include "FloatText.h"

std::string MapNote(const MapSettings& map)
{
    std::string note = std::to_string(map.Shots) + (map.Shots == 1 ? " shot" : " shots") + " a place, every " +
                       (map.Step == 1 ? std::string("pixel") : std::to_string(map.Step) + " pixels") + "; ";
    note += map.FixedDraws ? "every random draw " + FloatText(map.Draw)
                           : "each shot's own random draws, seed " + std::to_string(map.Seed);
    note += map.Limit ? "; speed limit on" : "; speed limit off";
    if (map.Lag > 0)
        note += "; the guidance laws' turn lagging " + FloatText(map.Lag) + " frames";
    if (map.Noise > 0)
        note += "; their seeker's error spread " + FloatText(map.Noise) + " degrees";
    switch (map.Motion) {
    case MarkerMotion::Line:
        if (map.MarkerVX != 0 || map.MarkerVY != 0)
            note += "; the marker moving (" + FloatText(map.MarkerVX) + ", " + FloatText(map.MarkerVY) +
                    ") pixels a frame from its place";
        break;
    case MarkerMotion::Circle:
        note += "; the marker circling its place, radius " + FloatText(map.MotionSize) + " pixels, once in " +
                FloatText(map.MotionPeriod) + " frames";
        break;
    case MarkerMotion::Weave:
        note += "; the marker weaving across the way from the launcher, " + FloatText(map.MotionSize) +
                " pixels either side, once in " + FloatText(map.MotionPeriod) + " frames";
        break;
    case MarkerMotion::Flee:
        note += "; the marker fleeing from the launcher at " + FloatText(map.MotionSize) + " pixels a frame";
        break;
    case MarkerMotion::Jink:
        note += "; the marker stepping aside at " + FloatText(std::fabs(map.MotionSize)) + " pixels a frame to the " +
                (map.MotionSize < 0 ? "left" : "right") + " of the way from the launcher, from frame " +
                FloatText(map.MotionPeriod) + " of each shot's flight";
        break;
    }
    return note;
}
