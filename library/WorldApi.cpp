// A world stepped by hand: every change goes through the one Apply, every
// frame through the one frame step, as in the window and the runner.

#include <cmath>
#include <memory>
#include <string>

#include "Calls.h"
#include "FrameStep.h"
#include "ScriptWorld.h"

struct homing_world {
    ScriptWorld Sim;
};

namespace {

homing_status ApplyCommand(homing_world& world, const Command& command)
{
    std::string error;
    Apply(world.Sim.World, world.Sim.Random, command, error);
    return error.empty() ? HOMING_OK : Failed(HOMING_OUT_OF_RANGE, error);
}

homing_status MoveMarker(const char* call, homing_world& world, float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return Failed(HOMING_OUT_OF_RANGE, std::string(call) + ": the marker's place must be finite");
    Command move;
    move.Kind = CommandKind::Move;
    move.X = x;
    move.Y = y;
    return ApplyCommand(world, move);
}

homing_status SetSpeedLimit(homing_world& world, bool on)
{
    if ((world.Sim.World.SpeedLimitOn != FlagFalse) == on)
        return HOMING_OK;
    Command toggle;
    toggle.Kind = CommandKind::Limit;
    return ApplyCommand(world, toggle);
}

} // namespace

extern "C" {

homing_world_def homing_world_default(void)
{
    homing_world_def def{};
    def.size = sizeof def;
    def.seed = 1;
    def.marker_x = def.marker_y = 0;
    return def;
}

homing_status homing_world_create(const homing_world_def* def, homing_world** world)
{
    static constexpr const char* call = "homing_world_create";
    if (!def)
        return NullArgument(call, "def");
    if (!world)
        return NullArgument(call, "world");
    if (const homing_status wrong = CheckRecordSize(call, def->size, sizeof *def))
        return wrong;
    if (!IsMode(def->mode))
        return NotAMode(call, def->mode);
    return Guarded(call, [&] {
        auto made = std::make_unique<homing_world>();
        StartWorld(made->Sim);
        Command seed;
        seed.Kind = CommandKind::Seed;
        seed.Number = def->seed;
        Command mode;
        mode.Kind = CommandKind::Mode;
        mode.Mode = SteeringMode(def->mode);
        for (const homing_status status :
             {ApplyCommand(*made, seed), ApplyCommand(*made, mode), SetSpeedLimit(*made, def->speed_limit != 0),
              MoveMarker(call, *made, def->marker_x, def->marker_y)})
            if (status)
                return status;
        *world = made.release();
        return HOMING_OK;
    });
}

homing_status homing_world_destroy(homing_world* world)
{
    delete world;
    return HOMING_OK;
}

homing_status homing_world_set_mode(homing_world* world, int mode)
{
    if (!world)
        return NullArgument("homing_world_set_mode", "world");
    if (!IsMode(mode))
        return NotAMode("homing_world_set_mode", mode);
    Command select;
    select.Kind = CommandKind::Mode;
    select.Mode = SteeringMode(mode);
    return ApplyCommand(*world, select);
}

homing_status homing_world_set_speed_limit(homing_world* world, int on)
{
    if (!world)
        return NullArgument("homing_world_set_speed_limit", "world");
    return SetSpeedLimit(*world, on != 0);
}

homing_status homing_world_move_marker(homing_world* world, float x, float y)
{
    if (!world)
        return NullArgument("homing_world_move_marker", "world");
    return MoveMarker("homing_world_move_marker", *world, x, y);
}

homing_status homing_world_step(homing_world* world, int frames, int* caught)
{
    if (!world)
        return NullArgument("homing_world_step", "world");
    if (frames < 0)
        return Failed(HOMING_OUT_OF_RANGE,
                      "homing_world_step: frames must be 0 or more, not " + std::to_string(frames));
    const FrameStep step{world->Sim.World, world->Sim.Random, world->Sim.Beep};
    const std::uint64_t before = world->Sim.Beep.Beeps;
    for (int frame = 0; frame < frames; ++frame)
        StepFrame(step);
    if (caught)
        *caught = int(world->Sim.Beep.Beeps - before);
    return HOMING_OK;
}

homing_status homing_world_shots(const homing_world* world, homing_shot* shots, size_t capacity, size_t* count)
{
    static constexpr const char* call = "homing_world_shots";
    if (!world)
        return NullArgument(call, "world");
    if (!count)
        return NullArgument(call, "count");
    const std::size_t flying = std::size_t(FlyingShots(world->Sim.World));
    *count = flying;
    if (flying > capacity)
        return Failed(HOMING_BUFFER_TOO_SMALL, std::string(call) + ": " + std::to_string(flying) +
                                                   " shots fly and the buffer holds " + std::to_string(capacity));
    if (flying && !shots)
        return NullArgument(call, "shots");
    std::size_t n = 0;
    for (int slot = 0; slot < ShotSlots; ++slot) {
        const Shot& shot = world->Sim.World.Shots[std::size_t(slot)];
        if (shot.Alive != FlagFalse)
            shots[n++] = {slot, shot.Age, shot.X, shot.Y, shot.VX, shot.VY};
    }
    return HOMING_OK;
}

homing_status homing_world_clear(homing_world* world)
{
    if (!world)
        return NullArgument("homing_world_clear", "world");
    Command press;
    press.Kind = CommandKind::Press;
    press.Button = MouseButton::Right;
    return ApplyCommand(*world, press);
}

} // extern "C"
