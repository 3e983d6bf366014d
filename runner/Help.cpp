#include "Help.h"

#include <string>
#include <vector>

#include "LaunchText.h"
#include "Methods.h"

namespace {

/// The usage text, with {NAME} where a part made from the method table goes.
const char* const HelpTemplate = R"(Usage: homing-sim [SCRIPT]
       homing-sim --summary [SCRIPT]
       homing-sim --compare OUT.png [SCRIPT]
       homing-sim --map OUT.png|OUT.csv [MAP SETTINGS]
       homing-sim --map SHARD.csv --rows FIRST-LAST [MAP SETTINGS]
       homing-sim --join-map OUT.png|OUT.csv SHARD.csv...
       homing-sim --sweep OUT.png|OUT.csv [--values N] [MAP SETTINGS]
       homing-sim --dodge OUT.csv [--sidestep SPEED] [MAP SETTINGS]
       homing-sim --help | --version

Runs a scenario script on one world, without a window, and writes a CSV trace
to standard output. SCRIPT is a file; without it, or with -, the script is read
from standard input. The world starts as the window's does once it has loaded:
mode 0, speed limit off, velocity lines on, marker at (0, 0), no shots.

  --summary          instead of the trace, one CSV row per shot launched:
                     shot,slot,mode,launch_frame,end_frame,outcome,frames,
                     path_length,closest,max_turn,circled,speed,angle,turn,
                     mean_turn (outcome: hit, expired, cleared or flying,
                     when still flying at the end; path_length and closest
                     in pixels; max_turn and mean_turn, the largest and the
                     mean change of direction between two frames, in
                     degrees: the turn a frame the shot demanded; circled:
                     yes when its direction turned through more than 360
                     degrees in one sense; speed, angle and turn as the
                     trace has them at launch)
  --compare OUT.png  run the script's inputs once under each method (its
                     mode, png and trail lines are ignored; every run starts
                     from the same world and draws the same random values)
                     and write their trails side by side to OUT.png, with
                     shots launched, caught, expired and still flying and
                     the median frames to catch, also printed as a table
  --map OUT.png      a capture map: for every place the marker could stand,
  --map OUT.csv      what happens to shots launched towards it, each method in
                     its own panel. A place's colour is the median frames from
                     launch to the catch (uncaught shots counting as never),
                     0 to 500 on a perceptually uniform scale; grey, darker
                     the fewer, where fewer than half are caught. Each shot
                     flies alone from launch, in a world as the window's after
                     `mode M`, `move X Y`: the same shot as the first one of
                     that script with the shot's own seed. OUT.csv has a row
                     per place and method: x,y,method,shots,caught,median,
                     p90,mean,miss (median and p90 empty when not defined,
                     mean of the caught shots, miss the median closest
                     approach of the shots not caught, in pixels, empty when
                     all were caught). Each panel draws the catch boundary,
                     between places where at least half the shots are caught
                     and places where fewer are. Settings:
    --step N         pixels between places, across and down (1, the default:
                     every pixel; up to 300)
    --shots N        shots per place and method (default 32, up to 256)
    --seed N         every shot's own seed is made from N and its place,
                     method and number (default 1), so a map is reproducible
                     and any place can be recomputed alone
    --draws R        every random draw is R, in [0, 1), instead: the geometry
                     of one typical shot
    --limit          the speed limit on ({limit-modes})
    --marker-velocity VX VY  the marker moves from its place by (VX, VY)
                     pixels a frame from the launch on
    --marker-motion line VX VY | circle RADIUS PERIOD | weave AMPLITUDE PERIOD
                     | flee SPEED | jink FRAME SPEED   the marker moves in a
                     line (as above), circles its place (from its right,
                     clockwise), swings sideways across the way from the
                     launcher (from its place), runs straight away from the
                     launcher (to the right from the launcher itself), or
                     stands on its place until frame FRAME of each shot's
                     flight and then steps aside, square to the way from the
                     launcher (to its right seen from the launcher; to its
                     left for a negative SPEED); periods in frames, lengths
                     in pixels, speeds in pixels a frame
    --hold DRAW=R    one launch draw held at R, in [0, 1), for the methods
                     that make it (see Methods below), the others drawn as
                     usual: {hold}
    --lag FRAMES     the guidance laws (modes 6 to 8) turn through a
                     first-order lag: each frame the turn taken moves
                     1 / (1 + FRAMES) of the way to the commanded one
                     (default 0, none; up to 100)
    --noise DEGREES  their seeker sees the line of sight with an error drawn
                     for each shot and frame from its seed, spread DEGREES
                     (the error's tangent in radians, near normal; default 0,
                     none; up to 30)
    --threads N      threads to use (default: one per core); the map is the
                     same for any number, and threads the system will not
                     start leave their work to those that do (said in a line)
                     While it runs on a terminal, a line on standard error
                     shows how far it is.
    --rows FIRST-LAST  only those rows of the grid (from 0), written as a
                     shard: a map CSV whose first line carries its rows and
                     settings, for studies split across machines
  --sweep OUT.png    a parameter sweep: for each method and each of its launch
  --sweep OUT.csv    draws, the draw held at N values evenly across [0, 1)
                     (r = (i + 0.5) / N) as --hold holds it, and the map's
                     figures at each: the share of places where at least
                     half the shots are caught, the share of shots caught,
                     the median over places of their median frames to the
                     catch and of their miss distance. Takes the map's
                     settings but --hold (its grid --step 10 unless given)
                     and
    --values N       values of each draw (default 10, up to 100). OUT.csv:
                     method,parameter,r,value,places_mostly_caught,
                     shots_caught,median,miss; value is the draw's value as
                     the launch makes it, in the parameter's own units
  --dodge OUT.csv    the dodge window: each shot a still marker's place catches
                     in F frames is flown again for each frames to go g from
                     1 to 100 (up to F), its marker standing until frame
                     F - g and then stepping aside, square to the way from the
                     launcher; for each method and g, the shots, those still
                     caught, their share and their median closest approach
                     in pixels: method,frames_to_go,shots,caught,
                     caught_share,median_closest. Takes the map's settings
                     but the marker's motion (its grid --step 20 unless
                     given) and
    --sidestep SPEED the sidestep's speed, pixels a frame (default 3; to the
                     right seen from the launcher, to the left when negative)
  --join-map OUT.png|OUT.csv SHARD.csv...  the map the shards make together,
                     byte for byte the map one run makes; shards made with
                     other settings or by another version, a row missing or
                     given twice, a shard cut short, or figures that no run
                     gives (each place's checked, and a few places flown
                     again) are refused, and nothing is written

Script: one command per line; tokens separated by blanks; # starts a comment
anywhere on a line, so no token (a path included) can hold a #.

  seed N             seed the random generator with the whole number N
                     (without it, it is seeded from the clock)
  random V1 V2 ...   queue exact values for the random source, each in [0, 1);
                     queued values are drawn first, in order
  mode M             click option button M (0 to {last-mode}; see Methods below):
                     set the steering mode and clear all shots
  move X Y           move the pointer over the playfield to (X, Y), in pixels
  press BUTTON       press left, right or middle on the playfield
                     (right and middle clear the shots)
  limit              click the speed-limit check box
  vectors            click the velocity-lines check box
  lag FRAMES         the guidance laws' turn lag, as --lag (0 to 100)
  noise DEGREES      their seeker's error, as --noise (0 to 30), drawn from the
                     seed of the last seed line for each shot and frame
  frames N           run N frames, writing the trace rows after each
  png PATH           save the playfield as the window would show it now
  trail PATH         save the path of every shot so far over the playfield, a
                     dot where a shot was caught and a cross where it expired,
                     over the marker's own path in grey
  PATH must end in .png; it keeps the permissions of a picture it replaces.

{methods}
A line holds at most 4096 bytes; standard input is copied to $TMPDIR (or
/tmp), at most 256 MiB; at most 1048576 random values may wait to be drawn.

Trace: frame,slot,state,age,x,y,vx,vy,speed,angle,turn
  one row after each frame for every slot that was flying at that frame's hit
  test or ended its life in it; floats are written as the shortest decimal
  that reads back to the same 32-bit float.
  frame     the frame count, from 1; a shot is launched on every tenth frame
  slot      the shot's slot, 0 to 20 (the lowest free one at launch)
  state     flying, hit (caught within 16 pixels, this frame) or expired
            (reached age 500, this frame)
  age       frames flown, 1 in the frame of its launch
  x, y      position after this frame's move, pixels (y down)
  vx, vy    velocity of this frame's move, pixels per frame
{trace-fields}
Every output (a png or trail line's picture, --compare's, --map's or
--sweep's, --dodge's) is checked before anything runs. An existing file is replaced only
when it is empty or of the kind written there (a PNG picture by a picture, a
map's CSV or a shard of one by --map or --join-map, a sweep's CSV by --sweep,
a dodge window's by --dodge)
and you may write it; never a directory, device, pipe or socket. Numbers are
read and written the same way in every locale.

Exit status: 0 on success; 1 when an output cannot be written (a missing or
read-only folder, a full disk, a file-size limit), found before the work or
while writing, or memory runs out, with one line on standard error; 2 on a bad
script, argument or file, with one line on standard error naming the line and
what is wrong. A
reader that stops early (| head) ends it quietly by SIGPIPE, as any filter.
)";

/// "mode 2", "modes 2 and 3", "modes 0 to 3", "modes 0, 1, 4 and 5".
std::string ModesText(const std::vector<int>& modes)
{
    if (modes.empty())
        return "no mode";
    if (modes.size() == 1)
        return "mode " + std::to_string(modes[0]);
    if (modes.size() > 2 && modes.back() - modes.front() + 1 == int(modes.size()))
        return "modes " + std::to_string(modes.front()) + " to " + std::to_string(modes.back());
    std::string text = "modes ";
    for (std::size_t n = 0; n < modes.size(); ++n)
        text += (n == 0 ? "" : n + 1 == modes.size() ? " and " : ", ") + std::to_string(modes[n]);
    return text;
}

/// The modes whose launch makes `draw`.
std::vector<int> ModesDrawing(LaunchDraw draw)
{
    std::vector<int> modes;
    for (int mode = 0; mode < SteeringModeCount; ++mode)
        if (DrawIndex(SteeringMode(mode), draw) >= 0)
            modes.push_back(mode);
    return modes;
}

/// `lead`, then `text` broken into lines of at most 79 columns, each after
/// `indent` blanks; a '~' in the text is a blank no line breaks at.
std::string Wrapped(const std::string& lead, const std::string& text, std::size_t indent)
{
    std::string out = lead, line;
    std::size_t width = lead.size(), start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && width + line.size() + 1 + word.size() > 79) {
            out += line + "\n" + std::string(indent, ' ');
            line.clear();
            width = indent;
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    out += line + "\n";
    for (char& c : out)
        if (c == '~')
            c = ' ';
    return out;
}

/// "speed = 2 + 5 r (in [2, 7), pixels a frame)": a draw as the launch makes
/// it, kept together (~) but for the break before "(in" and in its unit.
std::string DrawText(const MethodDraw& draw)
{
    const auto together = [](std::string text) {
        for (char& c : text)
            if (c == ' ')
                c = '~';
        return text;
    };
    const LaunchDrawWords words = LaunchDrawText(draw);
    return together(words.Formula) + " (in~" + together(words.Range) + words.Unit + ")";
}

std::string MethodsSection()
{
    std::string text = "Methods (mode M), each with its launch draws in the order the launch makes\n"
                       "them, from a random r in [0, 1) (the upper end never reached); --hold holds\n"
                       "one by its name:\n";
    for (const Method& method : Methods) {
        const std::string head = "  " + std::to_string(int(method.Mode)) + " " + method.Name +
                                 (*method.Caption ? std::string(" (") + method.Caption + ")" : "") + ": ";
        text += Wrapped(head, method.Description, 6);
        std::string draws;
        for (const MethodDraw& draw : method.Draws)
            if (draw.Draw != LaunchDraw::None)
                draws += (draws.empty() ? "" : "; ") + DrawText(draw);
        text += Wrapped("      ", draws, 6);
    }
    return text;
}

const struct {
    const char* Column;
    float Shot::*Field;
} TraceColumns[] = {{"speed", &Shot::Speed}, {"angle", &Shot::Angle}, {"turn", &Shot::Turn}};

std::string TraceFields()
{
    std::string text;
    for (const auto& column : TraceColumns)
        text += Wrapped(std::string("  ") + column.Column + std::string(10 - std::string(column.Column).size(), ' '),
                        TraceColumnText(column.Field), 12);
    return text + "            (a method that steers by its heading turns its angle as it flies)\n";
}

void Replace(std::string& text, const std::string& name, const std::string& part)
{
    const std::size_t at = text.find("{" + name + "}");
    text.replace(at, name.size() + 2, part);
}

std::string MakeHelp()
{
    std::string text = HelpTemplate;
    Replace(text, "limit-modes", LimitModes());
    std::string hold = Wrapped(std::string(28, ' '), HoldList(), 21).substr(28); // after "usual: " in its line
    hold.pop_back();                                                             // the template's line goes on
    Replace(text, "hold", hold);
    Replace(text, "last-mode", std::to_string(SteeringModeCount - 1));
    Replace(text, "methods", MethodsSection());
    Replace(text, "trace-fields", TraceFields());
    return text;
}

} // namespace

std::string HoldList()
{
    std::string text;
    for (int draw = 1; draw < int(LaunchDraw::Count); ++draw)
        text += std::string(draw == 1 ? "" : ", ") + LaunchDrawName(LaunchDraw(draw)) + " (" +
                ModesText(ModesDrawing(LaunchDraw(draw))) + ")";
    return text;
}

std::string TraceColumnText(float Shot::*field)
{
    std::string parts;
    for (int draw = 1; draw < int(LaunchDraw::Count); ++draw) {
        std::vector<int> modes;
        for (const Method& method : Methods)
            for (const MethodDraw& made : method.Draws)
                if (made.Draw == LaunchDraw(draw) && made.Field == field)
                    modes.push_back(int(method.Mode));
        if (!modes.empty())
            parts += (parts.empty() ? "" : "; ") + ModesText(modes) + ": " + DrawMeaning(LaunchDraw(draw));
    }
    std::vector<int> unused;
    for (const Method& method : Methods) {
        bool sets = false;
        for (const MethodDraw& made : method.Draws)
            sets |= made.Draw != LaunchDraw::None && made.Field == field;
        if (!sets)
            unused.push_back(int(method.Mode));
    }
    if (!unused.empty())
        parts += "; " + ModesText(unused) + ": unused (left from the slot's earlier shots)";
    return parts;
}

std::string LimitModes() { return ModesText(ModesDrawing(LaunchDraw::Limit)); }

std::string ModeList()
{
    std::string text;
    for (const Method& method : Methods)
        text += (text.empty() ? "" : ", ") + std::to_string(int(method.Mode)) + " " + method.Name;
    return text;
}

const std::string& RunnerHelp()
{
    static const std::string text = MakeHelp();
    return text;
}
