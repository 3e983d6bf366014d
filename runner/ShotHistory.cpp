#include "ShotHistory.h"

#include <algorithm>
#include <cmath>

#include "Headings.h"

const char* OutcomeName(ShotOutcome outcome)
{
    switch (outcome) {
    case ShotOutcome::Flying: return "flying";
    case ShotOutcome::Hit: return "hit";
    case ShotOutcome::Expired: return "expired";
    case ShotOutcome::Cleared: return "cleared";
    }
    return "?";
}

ShotHistory::ShotHistory(bool keepPaths) : KeepPaths(keepPaths)
{
    if (KeepPaths)
        for (ShotRecord& record : Records)
            record.Path.reserve(ShotLife + 1); // no allocation while frames run
}

void ShotHistory::End(int slot, ShotOutcome outcome)
{
    Records[slot].Outcome = outcome;
    IsOpen[slot] = false;
    for (ShotSink* sink : Sinks)
        sink->OnShotEnded(Records[slot]);
}

void ShotHistory::Settle(const World& world)
{
    for (int slot = 0; slot < ShotSlots; ++slot)
        if (IsOpen[slot] && !world.Shots[slot].Alive)
            End(slot, ShotOutcome::Cleared);
}

void ShotHistory::Finish(const World& world)
{
    Settle(world);
    for (int slot = 0; slot < ShotSlots; ++slot)
        if (IsOpen[slot])
            End(slot, ShotOutcome::Flying);
}

void ShotHistory::Launch(const World& world, int slot, const Shot& shot)
{
    ShotRecord& record = Records[slot];
    std::vector<PathPoint> path = std::move(record.Path);
    record = ShotRecord{};
    record.Path = std::move(path);
    record.Path.clear();
    record.Index = Launched++;
    record.Slot = slot;
    record.Mode = world.Mode;
    record.LaunchFrame = world.FrameCount;
    record.Speed = shot.Speed;
    record.Angle = shot.Angle;
    record.Turn = shot.Turn;
    record.Closest = INFINITY;
    if (KeepPaths)
        record.Path.push_back({LaunchX, LaunchY});
    IsOpen[slot] = true;
}

void ShotHistory::Follow(ShotRecord& record, const Shot& shot, const World& world)
{
    record.EndFrame = world.FrameCount;
    ++record.Frames;
    record.PathLength += std::hypot(double(shot.VX), double(shot.VY)); // this frame's move
    record.Closest = std::min(record.Closest, std::hypot(double(world.MeX) - shot.X, double(world.MeY) - shot.Y));
    if (KeepPaths)
        record.Path.push_back({shot.X, shot.Y});

    if (shot.VX == 0 && shot.VY == 0)
        return;
    if (record.HasDirection) {
        const double turn = SignedTurn(record.LastVX, record.LastVY, shot.VX, shot.VY);
        record.MaxTurn = std::max(record.MaxTurn, std::fabs(turn));
        record.TurnSum += std::fabs(turn);
        ++record.Turns;
        record.Winding += turn;
        record.WindingLow = std::min(record.WindingLow, record.Winding);
        record.WindingHigh = std::max(record.WindingHigh, record.Winding);
        record.Circled =
            record.Circled || record.Winding - record.WindingLow > 360 || record.WindingHigh - record.Winding > 360;
    }
    record.LastVX = shot.VX;
    record.LastVY = shot.VY;
    record.HasDirection = true;
}

void ShotHistory::OnFrame(const World& world, const FrameOutcome& outcome)
{
    // A launch into a slot whose shot is still open: that shot was cleared
    // between frames and its slot reused.
    if (outcome.Launched >= 0) {
        if (IsOpen[outcome.Launched])
            End(outcome.Launched, ShotOutcome::Cleared);
        Launch(world, outcome.Launched, outcome.Launch);
    }
    for (int slot = 0; slot < ShotSlots; ++slot) {
        if (!IsOpen[slot])
            continue;
        const Shot& shot = world.Shots[slot];
        const bool caught = Contains(outcome.Caught, slot), expired = Contains(outcome.Expired, slot);
        if (!shot.Alive && !caught && !expired) {
            End(slot, ShotOutcome::Cleared); // freed between frames
            continue;
        }
        Follow(Records[slot], shot, world);
        if (caught || expired)
            End(slot, caught ? ShotOutcome::Hit : ShotOutcome::Expired);
    }
}
