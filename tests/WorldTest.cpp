// The table as a whole: clearing, the hit test, launching.

#include <gtest/gtest.h>

#include "Input.h"
#include "MoveShot.h"
#include "Numbers.h"
#include "Shoot.h"
#include "TestSupport.h"

TEST(Flags, AreMinusOneAndZeroOnly)
{
    EXPECT_EQ(Invert(FlagFalse), -1);
    EXPECT_EQ(Invert(FlagTrue), 0);
    World world;
    ToggleSpeedLimit(world);
    EXPECT_EQ(world.SpeedLimitOn, -1);
    ToggleSpeedLimit(world);
    EXPECT_EQ(world.SpeedLimitOn, 0);
    LoadWorld(world);
    EXPECT_EQ(world.ShowVectors, -1);
    EXPECT_EQ(world.Running, -1);
}

TEST(HitTest, RadiusIsStrictlyUnderSixteenPixels)
{
    World world = WorldWithMarker(100, 100);
    world.Shots[0] = FlyingShot(116, 100);            // d2 = 256: not hit
    world.Shots[1] = FlyingShot(100, 100 + 15.9996f); // d2 just under 256: hit
    CountBeeps beep;
    EXPECT_EQ(HitTest(world, beep), SlotMask{1} << 1);
    EXPECT_EQ(beep.Beeps, 1);
    EXPECT_TRUE(world.Shots[0].Alive);
    EXPECT_FALSE(world.Shots[1].Alive);
}

TEST(HitTest, TwoShotsInsideGiveTwoBeepsAndBothFree)
{
    World world = WorldWithMarker(50, 50);
    world.Shots[3] = FlyingShot(50, 50);
    world.Shots[7] = FlyingShot(60, 45);
    world.Shots[8] = FlyingShot(200, 200);
    CountBeeps beep;
    EXPECT_EQ(HitTest(world, beep), (SlotMask{1} << 3) | (SlotMask{1} << 7));
    EXPECT_EQ(beep.Beeps, 2);
    EXPECT_EQ(FlyingShots(world), 1);
}

TEST(HitTest, FreeSlotsAreNeverHit)
{
    World world = WorldWithMarker(150, 150);
    world.Shots[0] = FlyingShot(150, 150);
    world.Shots[0].Alive = FlagFalse;
    CountBeeps beep;
    EXPECT_EQ(HitTest(world, beep), 0u);
    EXPECT_EQ(beep.Beeps, 0);
}

TEST(ClearShots, FreesEverySlotAndKeepsEverythingElse)
{
    World world = WorldWithMarker(10, 20, SteeringMode::AccelChase);
    world.FrameCount = 77;
    for (Shot& shot : world.Shots)
        shot = FlyingShot(1, 2, 3, 4, 5, 6, 7);
    ClearShots(world);
    EXPECT_EQ(FlyingShots(world), 0);
    EXPECT_EQ(world.Shots[20].X, 1);
    EXPECT_EQ(world.Shots[20].Turn, 7);
    EXPECT_EQ(world.FrameCount, 77);
    EXPECT_EQ(world.Mode, SteeringMode::AccelChase);
}

// The map flies a shot launched as an earlier one once: only a record equal
// in every field's bits may count as the same.
TEST(SameShot, EveryFieldCountsAndMinusZeroIsNotZero)
{
    const Shot base{};
    EXPECT_TRUE(SameShot(base, base));
    for (float Shot::*field :
         {&Shot::X, &Shot::Y, &Shot::VX, &Shot::VY, &Shot::Speed, &Shot::Angle, &Shot::Turn, &Shot::Gain, &Shot::Sight,
          &Shot::SeenX, &Shot::SeenY, &Shot::SeenVX, &Shot::SeenVY, &Shot::Turned}) {
        Shot other = base;
        other.*field = -0.f;
        EXPECT_FALSE(SameShot(base, other));
    }
    Shot older = base, flying = base, keyed = base;
    older.Age = 1;
    flying.Alive = FlagTrue;
    keyed.NoiseKey = 1;
    EXPECT_FALSE(SameShot(base, older));
    EXPECT_FALSE(SameShot(base, flying));
    EXPECT_FALSE(SameShot(base, keyed));
}

TEST(Input, ModeClickClearsAndOnlyRightOrMiddleClear)
{
    World world;
    world.Shots[0] = FlyingShot(1, 1);
    PressOnPlayfield(world, MouseButton::Left);
    EXPECT_EQ(FlyingShots(world), 1);
    PressOnPlayfield(world, MouseButton::Middle);
    EXPECT_EQ(FlyingShots(world), 0);
    world.Shots[0] = FlyingShot(1, 1);
    PressOnPlayfield(world, MouseButton::Right);
    EXPECT_EQ(FlyingShots(world), 0);
    world.Shots[5] = FlyingShot(1, 1);
    SelectMode(world, SteeringMode::AngleChase);
    EXPECT_EQ(world.Mode, SteeringMode::AngleChase);
    EXPECT_EQ(FlyingShots(world), 0);
}

TEST(Shoot, TakesTheLowestFreeSlotAndPlacesTheShotAtTheCentre)
{
    World world;
    world.Shots[0] = FlyingShot(1, 1);
    world.Shots[2] = FlyingShot(1, 1);
    world.Shots[1].Age = 321;
    world.Shots[1].VX = 9;
    world.Shots[1].VY = 9;
    ScriptedRandom random({0.5f});
    EXPECT_EQ(Shoot(world, random), 1);
    const Shot& shot = world.Shots[1];
    EXPECT_EQ(shot.Alive, FlagTrue);
    EXPECT_EQ(shot.Age, 0);
    EXPECT_EQ(shot.X, 150);
    EXPECT_EQ(shot.Y, 150);
    EXPECT_EQ(shot.VX, 0);
    EXPECT_EQ(shot.VY, 0);
    EXPECT_EQ(shot.Speed, 2.5f); // 0.5 * 3 + 1
}

TEST(Shoot, FullTableChangesNothing)
{
    World world;
    for (Shot& shot : world.Shots)
        shot = FlyingShot(7, 8);
    const World before = world;
    ScriptedRandom random;
    EXPECT_EQ(Shoot(world, random), -1);
    EXPECT_EQ(random.Next, 0u);
    EXPECT_TRUE(SameWorld(world, before));
}

TEST(Shoot, DrawsParametersPerModeInOrder)
{
    struct Case {
        SteeringMode Mode;
        float Speed, Angle, Turn;
        std::size_t Draws;
    };
    // Draws 0.25, 0.5, 0.75 in turn; fields a mode does not set keep -1.
    const Case cases[] = {
        {SteeringMode::PerAxisChase, 1.75f, -1, -1, 1},
        {SteeringMode::DirectChase, 3.25f, -1, -1, 1},
        {SteeringMode::AngleChase, 3.25f, 180, 5.75f, 3},
        {SteeringMode::AngleChase2, 3.25f, 180, 5.75f, 3},
        {SteeringMode::PerAxisAccelChase, ToFloat(0.25 * 0.3 + 0.1), 6.5f, -1, 2},
        {SteeringMode::AccelChase, ToFloat(0.25 * 0.5 + 0.2), 6.5f, -1, 2},
    };
    for (const Case& c : cases) {
        World world;
        world.Mode = c.Mode;
        world.Shots[0].Angle = -1;
        world.Shots[0].Turn = -1;
        ScriptedRandom random({0.25f, 0.5f, 0.75f});
        Shoot(world, random);
        const Shot& shot = world.Shots[0];
        SCOPED_TRACE(static_cast<int>(c.Mode));
        EXPECT_EQ(shot.Speed, c.Speed);
        EXPECT_EQ(shot.Angle, c.Angle);
        EXPECT_EQ(shot.Turn, c.Turn);
        EXPECT_EQ(random.Next, c.Draws);
    }
}

TEST(Shoot, AngleModesLaunchAtFullSpeedAlongTheHeading)
{
    World world;
    world.Mode = SteeringMode::AngleChase;
    ScriptedRandom random({0.5f, 0.25f, 0.0f}); // speed 4.5, heading 90: straight down
    Shoot(world, random);
    const Shot& shot = world.Shots[0];
    // 90 * DegToRad is 1.57079632675, 4.49e-11 short of pi / 2, so cos leaves
    // VX = 4.5 * 4.49e-11; the exact pi / 180 would leave 2.8e-16.
    EXPECT_NEAR(shot.VX, 4.5 * (1.5707963267948966 - 1.57079632675), 1e-14);
    EXPECT_FLOAT_EQ(shot.VY, 4.5f);
}

TEST(Shoot, ConstantsInFormulasAreDoubles)
{
    // For this r, float arithmetic (r * 0.3f + 0.1f) rounds to a different value.
    const float r = 0x1.f2ap-13f;
    volatile float product = r * 0.3f;
    ASSERT_NE(product + 0.1f, ToFloat(double(r) * 0.3 + 0.1));
    World world;
    world.Mode = SteeringMode::PerAxisAccelChase;
    ScriptedRandom random({r, 0});
    Shoot(world, random);
    EXPECT_EQ(world.Shots[0].Speed, ToFloat(double(r) * 0.3 + 0.1));
}
