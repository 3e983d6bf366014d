#include "TraceWriter.h"

#include <charconv>
#include <cstdint>

namespace {

constexpr std::size_t FlushAt = 1 << 16;

void AppendWhole(std::string& out, std::int64_t value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

} // namespace

TraceWriter::TraceWriter(CheckedOutput& out) : Out(out), Buffer("frame,slot,state,age,x,y,vx,vy,speed,angle,turn\n")
{
    Buffer.reserve(2 * FlushAt);
}

bool TraceWriter::Flush()
{
    const bool written = Out.Write(Buffer) && Out.Flush();
    Buffer.clear();
    return written;
}

void TraceWriter::OnFrame(const World& world, const FrameOutcome& outcome)
{
    for (int slot = 0; slot < ShotSlots; ++slot) {
        const Shot& shot = world.Shots[slot];
        const char* state = shot.Alive                        ? "flying"
                            : Contains(outcome.Caught, slot)  ? "hit"
                            : Contains(outcome.Expired, slot) ? "expired"
                                                              : nullptr;
        if (!state)
            continue;
        AppendWhole(Buffer, world.FrameCount);
        Buffer += ',';
        AppendWhole(Buffer, slot);
        Buffer += ',';
        Buffer += state;
        Buffer += ',';
        AppendWhole(Buffer, shot.Age);
        for (const float field : {shot.X, shot.Y, shot.VX, shot.VY, shot.Speed, shot.Angle, shot.Turn}) {
            Buffer += ',';
            AppendFloat(Buffer, field);
        }
        Buffer += '\n';
    }
    if (Buffer.size() >= FlushAt)
        Flush();
}
