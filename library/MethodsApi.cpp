// The method table, as the C API reads it.

#include <string>

#include "Calls.h"
#include "Methods.h"

namespace {

int DrawCount(const Method& method)
{
    int count = 0;
    while (count < MaxLaunchDraws && method.Draws[std::size_t(count)].Draw != LaunchDraw::None)
        ++count;
    return count;
}

} // namespace

extern "C" {

int homing_method_count(void) { return SteeringModeCount; }

homing_status homing_method(int mode, homing_method_info* info)
{
    if (!info)
        return NullArgument("homing_method", "info");
    if (!IsMode(mode))
        return NotAMode("homing_method", mode);
    const Method& method = Methods[std::size_t(mode)];
    *info = {method.Name, method.Caption, method.Description, method.Fails, method.TurnsAtRate, DrawCount(method)};
    return HOMING_OK;
}

homing_status homing_method_draw(int mode, int draw, homing_draw_info* info)
{
    if (!info)
        return NullArgument("homing_method_draw", "info");
    if (!IsMode(mode))
        return NotAMode("homing_method_draw", mode);
    const Method& method = Methods[std::size_t(mode)];
    if (draw < 0 || draw >= DrawCount(method))
        return Failed(HOMING_OUT_OF_RANGE, "homing_method_draw: " + std::string(method.Name) + " has draws 0 to " +
                                               std::to_string(DrawCount(method) - 1) + ", not " + std::to_string(draw));
    const MethodDraw& drawn = method.Draws[std::size_t(draw)];
    const DrawKind& kind = DrawKinds[std::size_t(drawn.Draw)];
    *info = {kind.Name, kind.Meaning, drawn.Offset, drawn.Offset + drawn.Scale};
    return HOMING_OK;
}

} // extern "C"
