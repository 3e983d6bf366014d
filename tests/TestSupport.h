#pragma once
// Fakes for the seams the simulation is handed.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Random.h"
#include "Seams.h"
#include "World.h"

/// Hands out exact values in order; running dry is a test failure.
struct ScriptedRandom final : RandomSource {
    std::vector<float> Values;
    std::size_t Next = 0;
    explicit ScriptedRandom(std::vector<float> values = {}) : Values(std::move(values)) {}
    float RandomUnit() override
    {
        if (Next >= Values.size()) {
            ADD_FAILURE() << "ScriptedRandom ran dry after " << Next << " draws";
            return 0;
        }
        return Values[Next++];
    }
};

struct CountBeeps final : BeepSink {
    int Beeps = 0;
    void Beep() override { ++Beeps; }
};

/// A flying shot, as a launch would leave it at (x, y).
inline Shot FlyingShot(float x, float y, float vx = 0, float vy = 0, float speed = 0, float angle = 0, float turn = 0)
{
    Shot shot;
    shot.X = x;
    shot.Y = y;
    shot.VX = vx;
    shot.VY = vy;
    shot.Speed = speed;
    shot.Angle = angle;
    shot.Turn = turn;
    shot.Alive = FlagTrue;
    return shot;
}

inline World WorldWithMarker(float x, float y, SteeringMode mode = SteeringMode::PerAxisChase)
{
    World world;
    world.MeX = x;
    world.MeY = y;
    world.Mode = mode;
    return world;
}

inline double Length(double x, double y) { return std::sqrt(x * x + y * y); }

/// Every field of the world and of every slot is the same (a shot's to the bit).
inline bool SameWorld(const World& a, const World& b)
{
    for (int slot = 0; slot < ShotSlots; ++slot)
        if (!SameShot(a.Shots[slot], b.Shots[slot]))
            return false;
    return a.MeX == b.MeX && a.MeY == b.MeY && a.Mode == b.Mode && a.SpeedLimitOn == b.SpeedLimitOn &&
           a.ShowVectors == b.ShowVectors && a.FrameCount == b.FrameCount && a.Running == b.Running;
}
