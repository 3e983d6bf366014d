#include "ShotScript.h"

#include "LoneShots.h"
#include "Script.h"

namespace {

bool MarkerMoves(const MapSettings& settings)
{
    return settings.Motion != MarkerMotion::Line || settings.MarkerVX != 0 || settings.MarkerVY != 0;
}

std::string MoveLine(MarkerPoint at) { return CommandLine({.Kind = CommandKind::Move, .X = at.X, .Y = at.Y}); }

std::string FramesLine(int frames)
{
    return CommandLine({.Kind = CommandKind::Frames, .Number = std::uint64_t(frames)});
}

} // namespace

std::string ShotScript(const MapSettings& settings, SteeringMode mode, int x, int y, int shot, int flightFrames)
{
    return ShotScriptHead(settings, mode, x, y, shot) + ShotScriptFrames(settings, x, y, flightFrames);
}

std::string ShotScriptHead(const MapSettings& settings, SteeringMode mode, int x, int y, int shot)
{
    std::string script = "# shot " + std::to_string(shot) + " of the place (" + std::to_string(x) + ", " +
                         std::to_string(y) + "), map settings " + MapSettingsText(settings) + "\n";
    script += CommandLine({.Kind = CommandKind::Seed, .Number = ShotSeed(settings.Seed, x, y, mode, shot)});
    if (settings.FixedDraws || settings.Held != LaunchDraw::None) // queued in front of the generator
        script += CommandLine({.Kind = CommandKind::Random, .Values = LaunchDrawsOf(settings, mode, x, y, shot)});
    script += CommandLine({.Kind = CommandKind::Mode, .Mode = mode});
    if (settings.Limit)
        script += CommandLine({.Kind = CommandKind::Limit});
    if (settings.Lag > 0)
        script += CommandLine({.Kind = CommandKind::Lag, .X = settings.Lag});
    if (settings.Noise > 0)
        script += CommandLine({.Kind = CommandKind::Noise, .X = settings.Noise});
    return script;
}

std::string ShotScriptFrames(const MapSettings& settings, int x, int y, int flightFrames)
{
    const MarkerPath path(settings, x, y);
    std::string script = MoveLine(path.At(1)) + FramesLine(ScriptLaunchFrame);
    if (!MarkerMoves(settings))
        return flightFrames > 1 ? script + FramesLine(flightFrames - 1) : script;
    for (int frame = 2; frame <= flightFrames; ++frame)
        script += MoveLine(path.At(frame)) + FramesLine(1);
    return script;
}
