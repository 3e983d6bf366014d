// The six steering steps, GetDegree and the speed limit, on hand-worked cases.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "LibraryShortcuts.h"
#include "MoveShot.h"
#include "Numbers.h"
#include "Random.h"
#include "Shoot.h"
#include "ShotStep.h"
#include "Steering.h"
#include "TestSupport.h"

TEST(PerAxisChase, ClampsEachAxisToTheSpeedAndLandsExactly)
{
    const World world = WorldWithMarker(152, 100);
    Shot shot = FlyingShot(150, 150, 0, 0, 3);
    PerAxisChase(shot, world);
    EXPECT_EQ(shot.VX, 2);
    EXPECT_EQ(shot.VY, -3);

    // An offset of exactly the speed is within reach (|ox| <= Speed): it lands.
    const World reach = WorldWithMarker(152.5f, 150);
    Shot edge = FlyingShot(150, 150, 99, 99, 2.5f);
    PerAxisChase(edge, reach);
    EXPECT_EQ(edge.VX, 2.5f);
    EXPECT_EQ(edge.VY, 0);
}

TEST(PerAxisChase, MarkerOnTheShotsAxisGivesZero)
{
    const World world = WorldWithMarker(150, 10);
    Shot shot = FlyingShot(150, 150, 7, 7, 3);
    PerAxisChase(shot, world);
    EXPECT_EQ(shot.VX, 0);
    EXPECT_EQ(shot.VY, -3);
}

TEST(PerAxisChase, NoTestAppliesKeepsThePreviousVelocity)
{
    // In exact arithmetic X + Speed < MeX, but X + Speed rounds up onto the
    // marker, so the first test fails; X - Speed is below it and |ox| = 4 is
    // above Speed, so the other two fail as well.
    const float x = 16777216.0f; // 2^24, float spacing here is 2
    const float speed = 3;
    World world = WorldWithMarker(16777220.0f, 0); // 2^24 + 4
    Shot shot = FlyingShot(x, 0, 99, 0, speed);
    ASSERT_EQ(ToFloat(double(x) + speed), 16777220.0f); // 2^24 + 3 rounds to +4 (ties to even)
    PerAxisChase(shot, world);
    EXPECT_EQ(shot.VX, 99);
}

TEST(DirectChase, FliesStraightAtExactlyTheSpeed)
{
    const World world = WorldWithMarker(190, 150);
    Shot shot = FlyingShot(150, 150, 0, 0, 4);
    DirectChase(shot, world);
    EXPECT_EQ(shot.VX, 4);
    EXPECT_EQ(shot.VY, 0);

    const World diagonal = WorldWithMarker(180, 190);
    Shot other = FlyingShot(150, 150, 0, 0, 5);
    DirectChase(other, diagonal);
    EXPECT_EQ(other.VX, 3);
    EXPECT_EQ(other.VY, 4);

    // ox * Speed / dist rounds once: 3 / sqrt(5) is 0x1.5775c6p+0 as a float,
    // while a unit vector stored as a float first would give 0x1.5775c4p+0.
    const World steep = WorldWithMarker(151, 152);
    Shot once = FlyingShot(150, 150, 0, 0, 3);
    DirectChase(once, steep);
    EXPECT_EQ(once.VX, 0x1.5775c6p+0f);
}

TEST(SteeringOnTheMarker, EveryModeStaysFinite)
{
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        SCOPED_TRACE(mode);
        World world = WorldWithMarker(150, 150, static_cast<SteeringMode>(mode));
        world.SpeedLimitOn = FlagTrue;
        Shot shot = FlyingShot(150, 150, 3, -2, 4, 30, 5);
        Steer(shot, world);
        EXPECT_TRUE(std::isfinite(shot.VX));
        EXPECT_TRUE(std::isfinite(shot.VY));
        EXPECT_LT(Length(shot.VX, shot.VY), 16);
    }
}

TEST(GetDegree, WorksInWholeDegreesFromMinus90To270)
{
    EXPECT_EQ(GetDegree(150, 150, 150, 200), 90);
    EXPECT_EQ(GetDegree(150, 150, 150, 100), 270);
    EXPECT_EQ(GetDegree(150, 150, 150, 150), 0);
    EXPECT_EQ(GetDegree(150, 150, 100, 150), 180);
    EXPECT_EQ(GetDegree(150, 150, 140, 140), 225);
    EXPECT_EQ(GetDegree(150, 150, 160, 140), -45);
    EXPECT_EQ(GetDegree(150, 150, 170, 160), 27);
    EXPECT_EQ(GetDegree(150, 150, 200, 150), 0);
    EXPECT_EQ(GetDegree(150, 150, 140, 160), 135);
}

// The shortcuts past the maths library must give the library's own bits,
// above all where a table's reach ends and where a cache's slots collide.
TEST(LibraryShortcuts, SlopesAreTheLibrarysInAndBeyondTheTablesReach)
{
    int differ = 0;
    for (int dx = -258; dx <= 258; ++dx)
        for (int dy = -258; dy <= 258; ++dy)
            if (dx != 0)
                differ += SlopeDegrees(std::int16_t(dx), std::int16_t(dy)) !=
                          LibrarySlopeDegrees(std::int16_t(dx), std::int16_t(dy));
    for (const std::int16_t far : {std::int16_t(-32768), std::int16_t(-1000), std::int16_t(1000), std::int16_t(32767)})
        for (const std::int16_t near : {std::int16_t(-255), std::int16_t(1), std::int16_t(255)})
            differ += (SlopeDegrees(far, near) != LibrarySlopeDegrees(far, near)) +
                      (SlopeDegrees(near, far) != LibrarySlopeDegrees(near, far));
    EXPECT_EQ(differ, 0);
}

TEST(LibraryShortcuts, HeadingsAndTurnsAreTheLibrarysBitForBit)
{
    const auto same = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    // Headings at and beside whole degrees, at the edges of the table's reach,
    // where a velocity crosses zero, and at random, at speeds of every size.
    std::vector<float> headings = {-0.0f,
                                   0.0f,
                                   0.5f,
                                   -0.5f,
                                   1.5f,
                                   -90,
                                   270,
                                   -4095.5f,
                                   4095.5f,
                                   -4096,
                                   4096,
                                   1e9f,
                                   -1e30f,
                                   std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN()};
    for (int k = -4100; k <= 4100; k += 1)
        for (const float whole : {float(k), std::nextafter(float(k), -1e9f), std::nextafter(float(k), 1e9f),
                                  float(k) + 0.5f, std::nextafter(float(k) + 0.5f, 1e9f)})
            headings.push_back(whole);
    PseudoRandom random;
    SeedRandom(random, 7);
    for (int n = 0; n < 200000; ++n)
        headings.push_back(float((double(random.RandomUnit()) - 0.5) * 9000));
    int differ = 0;
    for (const float speed : {0.0f, 1e-30f, 0.37f, 2.5f, 7.0f, 15.999f, 1e30f})
        for (const float degrees : headings) {
            float vx = 0, vy = 0, libraryX = 0, libraryY = 0;
            HeadingVelocity(speed, degrees, vx, vy);
            LibraryHeadingVelocity(speed, degrees, libraryX, libraryY);
            differ += std::bit_cast<std::uint32_t>(vx) != std::bit_cast<std::uint32_t>(libraryX) ||
                      std::bit_cast<std::uint32_t>(vy) != std::bit_cast<std::uint32_t>(libraryY);
        }
    EXPECT_EQ(differ, 0);
    // More turns than the cache has slots, met twice in turn: every one a
    // collision at some point, and each still its own.
    for (int round = 0; round < 2; ++round)
        for (int n = 0; n < 3000; ++n) {
            const float turn = n == 0   ? std::numeric_limits<float>::quiet_NaN()
                               : n == 1 ? -0.0f
                                        : float(n) * 0.0123f - 18;
            const TurnTrig kept = TrigOfDegrees(turn), library = LibraryTrigOfDegrees(turn);
            ASSERT_TRUE(same(kept.Sin, library.Sin) && same(kept.Cos, library.Cos) && same(kept.Tan, library.Tan))
                << turn;
        }
}

TEST(GetDegree, OffsetsRoundToWholePixelsTiesToEven)
{
    EXPECT_EQ(GetDegree(0, 0, 0.5f, 10), 90); // 0.5 rounds to 0: the vertical branch
    EXPECT_EQ(GetDegree(0, 0, -0.5f, -10), 270);
    EXPECT_EQ(GetDegree(0, 0, 1.5f, 2), 45); // 1.5 rounds to 2
    EXPECT_EQ(GetDegree(0, 0, 2.5f, 2), 45); // 2.5 rounds to 2
    EXPECT_EQ(GetDegree(0, 0, 3.5f, 4), 45); // 3.5 rounds to 4
}

TEST(GetDegree, FarOffsetsSaturateInsteadOfOverflowing)
{
    EXPECT_EQ(GetDegree(0, 0, 1e9f, 1e9f), 45);
    EXPECT_EQ(GetDegree(0, 0, -1e30f, 0), 180);
    EXPECT_EQ(GetDegree(0, 0, 0, -3e38f), 270);
    EXPECT_EQ(GetDegree(0, 0, 1e9f, -1e9f), -45);
}

namespace {

Shot AngleShot(float heading, float turn, float speed = 5) { return FlyingShot(150, 150, 0, 0, speed, heading, turn); }

/// The heading after one mode 2 step towards a marker in direction `target`.
float HeadingAfterStep(float heading, int target, float turn)
{
    const double r = target * DegToRad;
    const World world = WorldWithMarker(ToFloat(150 + 100 * std::cos(r)), ToFloat(150 + 100 * std::sin(r)));
    EXPECT_EQ(GetDegree(150, 150, world.MeX, world.MeY), target);
    Shot shot = AngleShot(heading, turn);
    AngleChase(shot, world);
    return shot.Angle;
}

} // namespace

TEST(AngleChase, TurnsByAtMostTheTurnRate)
{
    EXPECT_EQ(HeadingAfterStep(0, 90, 5), 5);
    EXPECT_EQ(HeadingAfterStep(10, -10, 3), 7);
    EXPECT_EQ(HeadingAfterStep(0, 180, 4), 4); // straight behind: d = 180 turns clockwise
}

TEST(AngleChase, SnapsOntoTheTargetWithinTheTurnRate)
{
    EXPECT_EQ(HeadingAfterStep(358, 2, 4.5f), 2);
    EXPECT_EQ(HeadingAfterStep(350, -10, 3), -10);
}

TEST(AngleChase, WoundUpHeadingStillTurnsTheShortWay)
{
    EXPECT_EQ(HeadingAfterStep(990, 10, 3), 993);
    EXPECT_EQ(HeadingAfterStep(-990, 10, 3), -993); // -990 is 90: 10 lies 80 anticlockwise
}

TEST(AngleChase, VelocityFollowsTheHeadingAtLaunchSpeed)
{
    const World world = WorldWithMarker(150, 300);
    Shot shot = AngleShot(85, 6, 4);
    AngleChase(shot, world);
    EXPECT_EQ(shot.Angle, 90);
    EXPECT_NEAR(shot.VX, 0, 1e-6);
    EXPECT_EQ(shot.VY, 4);
}

TEST(AngleChase2, TurnsLeftByExactlyTheTurnAngle)
{
    const World world = WorldWithMarker(150, 50); // 100 straight up the screen
    Shot shot = FlyingShot(150, 150, 5, 0, 5, 0, 5);
    AngleChase2(shot, world);
    EXPECT_NEAR(shot.VX, 5 * std::cos(5 * DegToRad), 1e-5);
    EXPECT_NEAR(shot.VY, -5 * std::sin(5 * DegToRad), 1e-5);
    EXPECT_NEAR(Length(shot.VX, shot.VY), 5, 1e-5);
}

TEST(AngleChase2, AimsStraightAtTheMarkerOnTheRightAheadOrBehind)
{
    const struct {
        float MeX, MeY, VX, VY;
    } cases[] = {
        {150, 250, 0, 5}, // on the right (down the screen)
        {250, 150, 5, 0}, // straight ahead
        {50, 150, -5, 0}, // straight behind
    };
    for (const auto& c : cases) {
        const World world = WorldWithMarker(c.MeX, c.MeY);
        Shot shot = FlyingShot(150, 150, 5, 0, 5, 0, 5);
        AngleChase2(shot, world);
        EXPECT_EQ(shot.VX, c.VX);
        EXPECT_EQ(shot.VY, c.VY);
    }
}

TEST(AngleChase2, KeepsTheSpeedOverAWholeLife)
{
    World world = WorldWithMarker(200, 80, SteeringMode::AngleChase2);
    Shot shot = FlyingShot(150, 150, ToFloat(3.7 * std::cos(2.0)), ToFloat(3.7 * std::sin(2.0)), 3.7f, 0, 6.5f);
    const double launch = Length(shot.VX, shot.VY);
    for (int frame = 0; frame < 499; ++frame) {
        world.MeX = ToFloat(150 + 60 * std::cos(frame * 0.05));
        world.MeY = ToFloat(150 + 60 * std::sin(frame * 0.07));
        AngleChase2(shot, world);
        shot.X = ToFloat(double(shot.VX) + shot.X);
        shot.Y = ToFloat(double(shot.VY) + shot.Y);
    }
    EXPECT_NEAR(Length(shot.VX, shot.VY) / launch, 1, 1e-5);
}

TEST(PerAxisAccelChase, PushesEachAxisAndLeavesALevelAxisAlone)
{
    World world = WorldWithMarker(200, 200);
    Shot shot = FlyingShot(150, 150, 0, 0, 0.25f);
    PerAxisAccelChase(shot, world);
    EXPECT_EQ(shot.VX, 0.25f);
    EXPECT_EQ(shot.VY, 0.25f);

    world = WorldWithMarker(100, 150);
    shot = FlyingShot(150, 150, 0, 1234.5f, 0.25f);
    PerAxisAccelChase(shot, world);
    EXPECT_EQ(shot.VX, -0.25f);
    EXPECT_EQ(shot.VY, 1234.5f);
}

TEST(AccelChase, PushesStraightAtTheMarkerOnTopOfTheVelocity)
{
    // Offset (30, 40), distance 50: a push of (0.3, 0.4) added to (1, 2).
    const World world = WorldWithMarker(180, 190);
    Shot shot = FlyingShot(150, 150, 1, 2, 0.5f);
    AccelChase(shot, world);
    EXPECT_EQ(shot.VX, ToFloat(0.3 + 1));
    EXPECT_EQ(shot.VY, ToFloat(0.4 + 2));
}

TEST(SpeedLimit, CapsOnlyWhileOnAndOnlyAboveTheLimit)
{
    World world;
    world.SpeedLimitOn = FlagTrue;
    Shot shot = FlyingShot(0, 0, 6, 8, 0, 5);
    ApplySpeedLimit(shot, world);
    EXPECT_EQ(shot.VX, 3);
    EXPECT_EQ(shot.VY, 4);

    shot = FlyingShot(0, 0, 3, 4, 0, 5);
    ApplySpeedLimit(shot, world);
    EXPECT_EQ(shot.VX, 3);
    EXPECT_EQ(shot.VY, 4);

    world.SpeedLimitOn = FlagFalse;
    shot = FlyingShot(0, 0, 60, 80, 0, 5);
    ApplySpeedLimit(shot, world);
    EXPECT_EQ(shot.VX, 60);
    EXPECT_EQ(shot.VY, 80);

    // Both accelerating steps end in the limit: pushed from 5.75 to 6, capped at 5.
    world = WorldWithMarker(200, 150);
    world.SpeedLimitOn = FlagTrue;
    shot = FlyingShot(150, 150, 5.75f, 0, 0.25f, 5);
    PerAxisAccelChase(shot, world);
    EXPECT_EQ(shot.VX, 5);
    shot = FlyingShot(150, 150, 5.75f, 0, 0.25f, 5);
    AccelChase(shot, world);
    EXPECT_EQ(shot.VX, 5);
}

TEST(AngleChase2, RoundsEveryStoredStepToFloat)
{
    // A gradual turn whose perpendicular part (px, py) and swung velocity
    // (nx, ny) are each stored as floats. With those roundings skipped (as
    // GCC 12's vectorizer once did) the result is (0x1.1a9098p+0, 0x1.1ea6b2p+1).
    const World world = WorldWithMarker(220, 90);
    Shot shot = FlyingShot(150, 150, 0x1.e5c57ep-1f, 0x1.279a68p+1f, 2.496697f, 67.665634f, 3.9030447f);
    AngleChase2(shot, world);
    EXPECT_EQ(shot.VX, 0x1.1a9096p+0f);
    EXPECT_EQ(shot.VY, 0x1.1ea6bp+1f);
}

// The table is checked as the program is built, in every build (CheckEntry
// over EntryLack, naming the entry and what it lacks): these are the faults it
// must catch, an entry left out included. (A step left out of Steps.inc is an
// error of its own, naming the mode.)
TEST(MethodTable, AnIncompleteEntryIsNamed)
{
    const Method good = Methods[2];
    EXPECT_EQ(EntryFault(good, 2), nullptr);
    EXPECT_EQ(EntryLack(good, 3), EntryLacks::ItsPlace);
    EXPECT_STREQ(EntryFault(good, 3), "its mode is not its place in the table");
    EXPECT_STREQ(EntryFault(Method{}, 5), "its mode is not its place in the table"); // what an entry left out is
    Method entry = good;
    entry.Fails = "";
    EXPECT_EQ(EntryLack(entry, 2), EntryLacks::AFailText);
    entry = good;
    entry.Caption = nullptr;
    EXPECT_EQ(EntryLack(entry, 2), EntryLacks::ACaptionText);
    entry = Methods[SteeringModeCount - 1]; // a caption after the methods without one
    entry.Caption = "X";
    EXPECT_EQ(EntryLack(entry, SteeringModeCount - 1), EntryLacks::ItsButtonAfterTheButtons);
    entry = good;
    entry.Description = "";
    EXPECT_STREQ(EntryFault(entry, 2), "a name, a description, how it fails or its caption is missing");
    entry = good;
    entry.Draws[0].Field = nullptr;
    EXPECT_STREQ(EntryFault(entry, 2), "a draw is out of order or sets nothing");
    entry = good;
    entry.Draws[1] = {};
    EXPECT_STREQ(EntryFault(entry, 2), "a draw is out of order or sets nothing");
    entry = good;
    entry.Draws[2] = {};
    EXPECT_STREQ(EntryFault(entry, 2), "it turns at a rate it does not draw");
    entry = good;
    entry.Draws[0] = entry.Draws[1];
    EXPECT_STREQ(EntryFault(entry, 2), "a heading is drawn without a speed to launch along it");
}

namespace {

/// One shot launched from the centre with `draws`, flown by the frame's own
/// movement pass and hit test while the marker starts at (x, y) and moves by
/// (vx, vy) a frame: its state after each frame, and the frame it was caught in.
struct Flight {
    std::vector<Shot> After;
    int Caught = 0;
};
Flight Fly(SteeringMode mode, std::vector<float> draws, double x, double y, double vx, double vy, int frames)
{
    World world = WorldWithMarker(float(x), float(y), mode);
    ScriptedRandom random(std::move(draws));
    CountBeeps beep;
    LaunchShot(world.Shots[0], mode, random);
    Flight flight;
    for (int frame = 1; frame <= frames && !flight.Caught; ++frame) {
        world.MeX = ToFloat(x + vx * (frame - 1));
        world.MeY = ToFloat(y + vy * (frame - 1));
        MoveShot(world);
        flight.After.push_back(world.Shots[0]);
        if (HitTest(world, beep))
            flight.Caught = frame;
    }
    return flight;
}

double Heading(const Shot& shot) { return std::atan2(double(shot.VY), double(shot.VX)) / DegToRad; }

constexpr SteeringMode Laws[] = {SteeringMode::LeadChase, SteeringMode::ProportionalNavigation,
                                 SteeringMode::AugmentedProportionalNavigation};

} // namespace

// A still marker straight ahead of the launch heading: every law flies
// straight at it and catches it once within 16 pixels.
TEST(GuidanceLaws, CatchAStillMarkerAheadAtOnce)
{
    for (const SteeringMode mode : Laws)
        for (const float heading : {0.f, 0.125f, 0.6f}) { // 0, 45 and 216 degrees
            SCOPED_TRACE(testing::Message() << "mode " << int(mode) << ", heading r " << heading);
            const double degrees = 360.0 * heading * DegToRad, distance = 100;
            const Flight flight = Fly(mode, {0.2f, heading, 0.5f, 0.5f}, 150 + distance * std::cos(degrees),
                                      150 + distance * std::sin(degrees), 0, 0, 100);
            EXPECT_NEAR(flight.Caught, (distance - 16) / 3, 2); // speed 2 + 5 r = 3
        }
}

// A marker moving in a straight line, slower than the shot: the lead chase
// settles on the meeting point and flies straight to it, caught when a
// straight flight there meets the marker; the two navigation laws settle on
// a collision course (their heading all but still over the second half).
TEST(GuidanceLaws, MeetAMarkerMovingInALine)
{
    const double x = 250, y = 60, vx = -1.5, vy = 0.5, speed = 4; // speed 2 + 5 * 0.4
    // Solved by hand: the meeting time t of |d + u t| = speed t, d from the launcher.
    const double dx = x - 150, dy = y - 150, a = vx * vx + vy * vy - speed * speed, b = 2 * (dx * vx + dy * vy),
                 c = dx * dx + dy * dy, t = (-b - std::sqrt(b * b - 4 * a * c)) / (2 * a);
    const double aimX = dx + vx * t, aimY = dy + vy * t, aim = std::sqrt(aimX * aimX + aimY * aimY);
    // Launched at that heading, the first frame that a straight flight there ends within 16 pixels.
    int expected = 0;
    for (int frame = 1; !expected; ++frame)
        if (Length(dx + vx * (frame - 1) - aimX / aim * speed * frame,
                   dy + vy * (frame - 1) - aimY / aim * speed * frame) < 16)
            expected = frame;
    const float heading = float(std::fmod(std::atan2(aimY, aimX) / DegToRad + 360, 360) / 360);

    const Flight lead = Fly(SteeringMode::LeadChase, {0.4f, heading, 0.6f}, x, y, vx, vy, 200);
    EXPECT_NEAR(lead.Caught, expected, 2);
    for (std::size_t frame = 3; frame < lead.After.size(); ++frame) // straight once it has seen the motion
        EXPECT_NEAR(Heading(lead.After[frame]), Heading(lead.After[frame - 1]), 1e-3) << "frame " << frame + 1;

    for (const SteeringMode mode :
         {SteeringMode::ProportionalNavigation, SteeringMode::AugmentedProportionalNavigation}) {
        SCOPED_TRACE(int(mode));
        const float atMarker = float(std::fmod(std::atan2(dy, dx) / DegToRad + 360, 360) / 360);
        const Flight flight = Fly(mode, {0.4f, atMarker, 0.6f, 0.5f}, x, y, vx, vy, 300); // launched at the marker
        ASSERT_GT(flight.Caught, 0);
        for (std::size_t frame = flight.After.size() / 2; frame < flight.After.size(); ++frame)
            EXPECT_LT(std::fabs(std::remainder(Heading(flight.After[frame]) - Heading(flight.After[frame - 1]), 360)),
                      1)
                << "frame " << frame + 1;
    }
}

// A marker faster than the shot, coming at it, is met twice on the line of
// the intercept triangle: the lead chase aims at the first meeting, the one
// it can reach (the later one lies behind the marker's path past the shot).
TEST(LeadChase, AimsAtTheEarlierOfTwoMeetings)
{
    Shot shot;
    shot.X = 150, shot.Y = 150, shot.Speed = 3, shot.Age = 2;
    shot.SeenX = 255, shot.SeenY = 150; // a frame ago: the marker moves by (-5, 0) a frame
    World world;
    world.MeX = 250, world.MeY = 150;
    // |(100, 0) + t (-5, 0)| = 3 t: t = 12.5 (at x = 187.5) or t = 50 (at x = 0).
    double x = 0, y = 0;
    ASSERT_TRUE(LeadPoint(shot, world, x, y));
    EXPECT_DOUBLE_EQ(x, 187.5);
    EXPECT_DOUBLE_EQ(y, 150);
}

namespace {

/// A shot of speed 3 at the origin heading along x, and a marker 400 px ahead
/// coming at it (closing speed `closing`) while it turns at `acceleration`
/// px/frame^2 across its path: the shot's turn over the marker's
/// acceleration, as the shot's own acceleration (turn x speed), frame by
/// frame until the catch radius (positive: to the side the marker turns to).
std::vector<double> HeadOnDemand(SteeringMode mode, double closing, double gain, double acceleration)
{
    World world{};
    world.Mode = mode;
    Shot& shot = world.Shots[0];
    shot.Alive = FlagTrue;
    shot.VX = shot.Speed = 3;
    shot.Turn = 20;
    shot.Gain = float(gain);
    double x = 400, y = 30, vx = 3 - closing, vy = 0, heading = 0;
    std::vector<double> demand;
    while (Length(x - shot.X, y - shot.Y) >= 16 && demand.size() < 400) {
        const double speed = Length(vx, vy), ax = -vy / speed * acceleration, ay = vx / speed * acceleration;
        vx += ax, vy += ay, x += vx, y += vy;
        world.MeX = float(x), world.MeY = float(y);
        MoveShot(world);
        const double now = std::atan2(double(shot.VY), double(shot.VX));
        demand.push_back((now - heading) * 3 / acceleration * (ay < 0 ? -1 : 1));
        heading = now;
    }
    return demand;
}

} // namespace

// Augmented PN pushes by N / 2 times the marker's acceleration over the
// closing speed (the field's N' / 2 times it, N' = N x own speed / closing
// speed): head-on at twice the shot's speed with N = 5 (N' = 2.5), its demand
// falls towards the end, on the side the marker turns to, where plain PN's
// grows (to N' / (N' - 2) times the marker's). Over its own speed, the push
// was twice too strong, and the demand ended at twice the marker's, on the
// wrong side.
TEST(AugmentedProportionalNavigation, PushesOverTheClosingSpeed)
{
    const std::vector<double> apn = HeadOnDemand(SteeringMode::AugmentedProportionalNavigation, 6, 5, 0.05);
    const std::vector<double> pn = HeadOnDemand(SteeringMode::ProportionalNavigation, 6, 5, 0.05);
    ASSERT_GT(apn.size(), 60u);
    ASSERT_GT(pn.size(), 60u);
    const double start = apn[10], end = apn.back();
    EXPECT_GT(end, 0) << "the turn goes the way the marker turns";
    EXPECT_LT(end, 0.6 * start) << "and falls as the meeting nears";
    EXPECT_GT(pn.back(), 2 * pn[10]) << "where proportional navigation's grows";
}

// A guidance lag of L frames moves the turn taken 1 / (1 + L) of the way to
// the commanded one each frame: a lead chase whose marker lies square to its
// path (commanding the whole 20 degree limit) turns 5 degrees, then 8.75,
// with a lag of 3; without one, the whole limit at once. A new launch
// forgets the turn.
TEST(GuidanceLaws, ALagFollowsTheCommandedTurn)
{
    for (const float lag : {0.f, 3.f}) {
        World world{};
        world.Mode = SteeringMode::LeadChase;
        world.Lag = lag;
        world.MeX = 150, world.MeY = 400; // straight down the screen from the shot
        Shot& shot = world.Shots[0];
        shot.Alive = FlagTrue, shot.X = shot.Y = 150, shot.VX = shot.Speed = 3, shot.Turn = 20;
        double heading = 0;
        for (const double expected : lag > 0 ? std::array{5.0, 8.75} : std::array{20.0, 20.0}) {
            MoveShot(world);
            const double now = std::atan2(double(shot.VY), double(shot.VX)) / DegToRad;
            EXPECT_NEAR(now - heading, expected, 1e-4) << "lag " << lag;
            heading = now;
        }
        FixedRandom half;
        half.Value = 0.5f;
        LaunchShot(shot, SteeringMode::LeadChase, half);
        EXPECT_EQ(shot.Turned, 0.f);
    }
}

// The seeker's errors before their spread: mean 0 and spread 1, as near
// normal as four even draws make them (never beyond 2 sqrt 3), unrelated
// from frame to frame.
TEST(GuidanceLaws, SeekerErrorsHaveSpreadOne)
{
    double sum = 0, squares = 0, lagged = 0, widest = 0, last = 0;
    constexpr int draws = 200000;
    for (int n = 0; n < draws; ++n) {
        const double e = SeekerErrorDraw(std::uint32_t(n / 500 + 1), n % 500 + 1);
        sum += e, squares += e * e, lagged += e * last, widest = std::max(widest, std::fabs(e)), last = e;
    }
    EXPECT_NEAR(sum / draws, 0, 0.01);
    EXPECT_NEAR(squares / draws, 1, 0.01);
    EXPECT_NEAR(lagged / draws, 0, 0.01);
    EXPECT_LE(widest, 2 * std::sqrt(3.0));
}
