#include "ShotScript.h"

#include "FloatText.h"
#include "LoneShots.h"

namespace {

void AppendMove(std::string& script, MarkerPoint at)
{
    script += "move ";
    AppendFloat(script, at.X);
    script += ' ';
    AppendFloat(script, at.Y);
    script += '\n';
}

bool MarkerMoves(const MapSettings& settings)
{
    return settings.Motion != MarkerMotion::Line || settings.MarkerVX != 0 || settings.MarkerVY != 0;
}

} // namespace

std::string ShotScript(const MapSettings& settings, SteeringMode mode, int x, int y, int shot, int flightFrames)
{
    std::string script = "# shot " + std::to_string(shot) + " of the place (" + std::to_string(x) + ", " +
                         std::to_string(y) + "), map settings " + MapSettingsText(settings) + "\n";
    script += "seed " + std::to_string(ShotSeed(settings.Seed, x, y, mode, shot)) + "\n";
    if (settings.FixedDraws || settings.Held != LaunchDraw::None) {
        // Queued in front of the generator: the launch takes them first.
        script += "random";
        for (const float value : LaunchDrawsOf(settings, mode, x, y, shot)) {
            script += ' ';
            AppendFloat(script, value);
        }
        script += '\n';
    }
    script += "mode " + std::to_string(int(mode)) + "\n";
    if (settings.Limit)
        script += "limit\n";
    AppendMove(script, MarkerAt(settings, x, y, 1));
    script += "frames " + std::to_string(ScriptLaunchFrame) + "\n";
    if (!MarkerMoves(settings)) {
        if (flightFrames > 1)
            script += "frames " + std::to_string(flightFrames - 1) + "\n";
        return script;
    }
    for (int frame = 2; frame <= flightFrames; ++frame) {
        AppendMove(script, MarkerAt(settings, x, y, frame));
        script += "frames 1\n";
    }
    return script;
}
