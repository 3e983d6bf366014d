// The piece "Copy the step" puts before a step stands for the simulation's
// own calls: each gives the same bits as the simulation's for the arguments
// a flight meets (the shortcuts' tables and caches included).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "LibraryShortcuts.h"
#include "Numbers.h"
#include "Random.h"
#include "Steering.h"

namespace Copied {
#include "step-prelude.h"
} // namespace Copied

TEST(StepPrelude, GivesTheSimulationsBits)
{
    for (float degrees = -30; degrees <= 400; degrees += 0.37f) {
        const TurnTrig ours = TrigOfDegrees(degrees);
        const Copied::TurnTrig copied = Copied::TrigOfDegrees(degrees);
        EXPECT_EQ(BitsOf(ours.Sin), BitsOf(copied.Sin)) << degrees;
        EXPECT_EQ(BitsOf(ours.Cos), BitsOf(copied.Cos)) << degrees;
        EXPECT_EQ(BitsOf(ours.Tan), BitsOf(copied.Tan)) << degrees;
        float vx = 0, vy = 0, cx = 0, cy = 0;
        HeadingVelocity(4.5f, degrees, vx, vy);
        Copied::HeadingVelocity(4.5f, degrees, cx, cy);
        EXPECT_EQ(BitsOf(vx), BitsOf(cx)) << degrees;
        EXPECT_EQ(BitsOf(vy), BitsOf(cy)) << degrees;
        const double x = std::cos(degrees) * 37, y = std::sin(degrees) * 53;
        EXPECT_EQ(BitsOf(SightDirection(x, y)), BitsOf(Copied::SightDirection(x, y)));
        EXPECT_EQ(BitsOf(HalfTurn(degrees / 10)), BitsOf(Copied::HalfTurn(degrees / 10)));
        EXPECT_EQ(BitsOf(RoundToFloat(x)), BitsOf(Copied::RoundToFloat(x)));
        EXPECT_EQ(RoundToInt16(x * 1e3), Copied::RoundToInt16(x * 1e3));
    }
    for (int dx = -300; dx <= 300; dx += 7)
        for (int dy = -300; dy <= 300; dy += 11)
            if (dx) {
                EXPECT_EQ(SlopeDegrees(std::int16_t(dx), std::int16_t(dy)),
                          Copied::SlopeDegrees(std::int16_t(dx), std::int16_t(dy)));
            }
    for (std::uint32_t key = 1; key < 2000; key += 13) {
        EXPECT_EQ(Mix64(key), Copied::Mix64(key));
        EXPECT_EQ(BitsOf(SeekerErrorDraw(key, key % 500)), BitsOf(Copied::SeekerErrorDraw(key, key % 500)));
    }
    EXPECT_EQ(BitsOf(DegToRad), BitsOf(Copied::DegToRad));
}
