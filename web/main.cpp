// The demonstration as a web page: the same world, frame, drawing and script
// reader as the window, over Emscripten's HTML5 API. The page's own script
// (shell.html) is only the glue C++ cannot be: controls, pointer capture,
// sound, and handing a script to replay.

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "CanvasRgba.h"
#include "Damage.h"
#include "DrawFrame.h"
#include "FormLayout.h"
#include "FrameLoop.h"
#include "FrameStep.h"
#include "Input.h"
#include "Methods.h"
#include "Random.h"
#include "Replay.h"
#include "ScriptReader.h"
#include "ScriptWorld.h"
#include "Seams.h"
#include "SpriteSheet.h"
#include "World.h"

namespace {

// Glue: what the C++ cannot do itself.
EM_JS(void, PutRects, (const std::uint8_t* rgba, const int* rects, int count), {
    const context = document.getElementById('playfield').getContext('2d');
    const image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, 300 * 300 * 4), 300, 300);
    for (let n = 0; n < count; ++n) {
        const r = HEAP32.subarray((rects >> 2) + 4 * n, (rects >> 2) + 4 * n + 4);
        context.putImageData(image, 0, 0, r[0], r[1], r[2], r[3]);
    }
});
EM_JS(void, ShowSheet, (const std::uint8_t* rgba, int width, int height), {
    const image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4).slice(), width, height);
    document.getElementById('sheet').getContext('2d').putImageData(image, 0, 0);
});
EM_JS(void, PlayBeep, (), {
    if (Module.beep)
        Module.beep();
});
EM_JS(void, ShowSwitches, (int mode, int limit, int hideVectors, int replaying),
      { Module.showSwitches(mode, limit, hideVectors, replaying); });
EM_JS(void, SetReplayState, (const char* state, const char* note),
      { Module.replayState(UTF8ToString(state), UTF8ToString(note)); });
EM_JS(void, PageReady, (), { Module.ready(); });
// The form's controls, made and ordered from the method table and the window's layout.
EM_JS(void, AddOptionButton, (int index, const char* caption, int left, int top, int width, int height), {
    Module.addOptionButton(index, UTF8ToString(caption), [ left, top, width, height ]);
});
EM_JS(void, PutLast, (const char* id), { Module.putLast(UTF8ToString(id)); });
// Every method beside the form, named in English: the reference laws too, which have no option button.
EM_JS(void, AddMethodChoice, (int index, const char* name, const char* caption),
      { Module.addMethodChoice(index, UTF8ToString(name), UTF8ToString(caption)); });
EM_JS(void, MarkFirstFrame, (), { performance.mark('first-frame'); });

struct WebBeep final : BeepSink {
    void Beep() override { PlayBeep(); }
};

/// Puts on the canvas only what changed since the last frame shown.
struct CanvasPresenter final : Presenter {
    ScreenCopy Screen{PlayfieldSize, PlayfieldSize};
    std::vector<std::uint8_t> Rgba = std::vector<std::uint8_t>(std::size_t(PlayfieldSize) * PlayfieldSize * 4);
    std::vector<int> Rects = std::vector<int>(4 * Damage::MaxRects);

    void Present(const Surface& playfield, const ChangeBounds& bounds) override;
};

/// Everything the page works on; made once, nothing allocated while frames run.
struct Page {
    World TheWorld;
    QueuedRandom Random;
    WebBeep Beep;
    Surface Playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    PaintedArea Painted; ///< the playfield is painted by the frames alone
    Surface Sheet = LoadSpriteSheet();
    CanvasPresenter Canvas;
    FramePacing Pacing;
    std::string Incoming;  ///< a script to replay, as the page hands it over
    ReplayCursor Replay;   ///< replayed instead of live input
    std::string Skipped;   ///< what the replay passes over, said when it ends
    bool Replayed = false; ///< a replay has ended: the canvas holds its last frame
};

Page* ThePage = nullptr;

void CanvasPresenter::Present(const Surface& playfield, const ChangeBounds& bounds)
{
    const Damage& changed = Screen.TakeChanges(playfield, bounds);
    for (int n = 0; n < changed.Count; ++n) {
        const PixelRect& rect = changed.Rects[std::size_t(n)];
        CopyRgba(playfield, rect, Rgba);
        int* to = &Rects[std::size_t(4 * n)];
        to[0] = rect.Left, to[1] = rect.Top, to[2] = rect.Width, to[3] = rect.Height;
    }
    if (changed.Count > 0)
        PutRects(Rgba.data(), Rects.data(), changed.Count);
}

void Show(const Page& page)
{
    ShowSwitches(int(page.TheWorld.Mode), page.TheWorld.SpeedLimitOn != 0, page.TheWorld.ShowVectors == 0,
                 page.Replay.Playing);
}

/// The script's commands due now, all of them, as the runner carries them out.
void PlayDueCommands(Page& page)
{
    if (page.Replay.Playing) {
        PlayDueCommands(page.Replay, page.TheWorld, page.Random, nullptr, std::numeric_limits<int>::max());
        if (!page.Replay.Playing) { // the canvas holds its last frame
            page.Replayed = true;
            SetReplayState(page.Replay.Error.empty() ? "done" : ("error: " + page.Replay.Error).c_str(),
                           page.Skipped.c_str());
        }
    }
    Show(page);
}

/// A live input, unless a script plays (or has played) instead.
void Input(Page& page, const Command& command)
{
    std::string error; // only a `random` line can fail, and no control makes one
    Apply(page.TheWorld, page.Random, command, error);
}

/// Each animation frame of the page: a frame of the demonstration once more
/// than 25 ms have passed since the last one started.
EM_BOOL OnAnimationFrame(double time, void*)
{
    Page& page = *ThePage;
    PlayDueCommands(page);
    const std::uint32_t now = std::uint32_t(std::uint64_t(time));
    if (page.Replayed || MillisecondsUntilDue(page.Pacing, now) > 0)
        return EM_TRUE;
    page.Pacing.LastTick = now;
    page.Pacing.Started = true;
    StepFrame({page.TheWorld, page.Random, page.Beep, &page.Replay, &page.Playfield, &page.Sheet, &page.Canvas,
               &page.Painted});
    if (page.TheWorld.FrameCount == 1)
        MarkFirstFrame();
    PlayDueCommands(page); // a replay that ends here leaves this frame on the canvas
    return EM_TRUE;
}

/// The picture lines of a script, which the page passes over (it writes no
/// files), as a note for the reader; empty when there are none.
std::string SkippedPictureLines(ScriptInput& script)
{
    std::string lines;
    int count = 0;
    ScriptCheck check;
    (void)ForEachCommand(script, check, [&](long number, const Command& command) {
        if (command.Kind == CommandKind::Png || command.Kind == CommandKind::Trail)
            if (++count <= 10)
                lines += (lines.empty() ? "" : ", ") + std::to_string(number);
        return std::string();
    });
    if (count == 0)
        return {};
    return std::string(count == 1 ? "Line " : "Lines ") + lines + (count > 10 ? " and more" : "") +
           (count == 1 ? " was" : " were") + " passed over: the page writes no pictures (png, trail).";
}

/// The form's option buttons, and every control in the window's tab order
/// (the order of the page's elements: no tab index of its own).
void MakeForm()
{
    static_assert(Option1Places.size() == OptionButtonCount,
                  "every method with a caption has its option button's place");
    for (const TabStop& stop : TabOrder) {
        if (stop.Kind == Control::Option1) {
            const ControlPlace& place = Option1Places[std::size_t(stop.Index)];
            AddOptionButton(stop.Index, Methods[std::size_t(stop.Index)].Caption, place.Left, place.Top, place.Width,
                            place.Height);
        } else {
            PutLast(stop.Kind == Control::Picture1   ? "playfield"
                    : stop.Kind == Control::Picture2 ? "sheet"
                    : stop.Kind == Control::Check1   ? "Check1"
                                                     : "Check2");
        }
    }
}

/// The methods, every one, for a finger and in English, beside the form.
void MakeMethodChoices()
{
    for (int mode = 0; mode < SteeringModeCount; ++mode)
        AddMethodChoice(mode, Methods[std::size_t(mode)].Name, Methods[std::size_t(mode)].Caption);
}

} // namespace

// Called by the page's controls (shell.html).
extern "C" {

EMSCRIPTEN_KEEPALIVE void OptionClicked(int index)
{
    if (ThePage->Replay.Playing || index < 0 || index >= OptionButtonCount || int(ThePage->TheWorld.Mode) == index)
        return; // only a button that becomes selected clicks
    Input(*ThePage, {.Kind = CommandKind::Mode, .Mode = static_cast<SteeringMode>(index)});
}

/// A method chosen beside the form: as its option button would be, for any method.
EMSCRIPTEN_KEEPALIVE void MethodChosen(int mode)
{
    if (ThePage->Replay.Playing || mode < 0 || mode >= SteeringModeCount || int(ThePage->TheWorld.Mode) == mode)
        return;
    Input(*ThePage, {.Kind = CommandKind::Mode, .Mode = static_cast<SteeringMode>(mode)});
}

/// The pointer, a pen or a finger over the playfield, in its pixels.
EMSCRIPTEN_KEEPALIVE void PointerAt(int x, int y)
{
    if (!ThePage->Replay.Playing && !ThePage->Replayed)
        Input(*ThePage, {.Kind = CommandKind::Move, .X = float(x), .Y = float(y)});
}

/// A press on the playfield: 1 left, 2 right, 4 middle (right and middle clear).
EMSCRIPTEN_KEEPALIVE void PlayfieldPressed(int button)
{
    const MouseButton pressed = button == 1   ? MouseButton::Left
                                : button == 2 ? MouseButton::Right
                                : button == 4 ? MouseButton::Middle
                                              : MouseButton::Left;
    if (!ThePage->Replay.Playing && !ThePage->Replayed && (button == 1 || button == 2 || button == 4))
        Input(*ThePage, {.Kind = CommandKind::Press, .Button = pressed});
}

/// The arrow keys on the playfield: the marker moved by (dx, dy) pixels, kept on the playfield.
EMSCRIPTEN_KEEPALIVE void MarkerBy(int dx, int dy)
{
    const World& world = ThePage->TheWorld;
    const auto within = [](double value) { return float(std::clamp(value, 0.0, double(PlayfieldSize - 1))); };
    PointerAt(int(within(double(world.MeX) + dx)), int(within(double(world.MeY) + dy)));
}

EMSCRIPTEN_KEEPALIVE void LimitClicked()
{
    if (!ThePage->Replay.Playing)
        Input(*ThePage, {.Kind = CommandKind::Limit});
}

EMSCRIPTEN_KEEPALIVE void VectorsClicked()
{
    if (!ThePage->Replay.Playing)
        Input(*ThePage, {.Kind = CommandKind::Vectors});
}

/// For measuring: runs `frames` frames (simulate and draw) on a world of its
/// own with the marker circling, and returns the milliseconds they took.
EMSCRIPTEN_KEEPALIVE double MeasureFrames(int frames)
{
    World world;
    LoadWorld(world);
    QueuedRandom random;
    SeedRandom(random.Generator, 1);
    NoBeep quiet;
    Surface playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
    const double start = emscripten_get_now();
    for (int n = 0; n < frames; ++n) {
        MovePointer(world, float(150 + 100 * ((n / 50) % 2 ? 1 : -1)), float(150 + (n % 50) * 2 - 50));
        StepFrame({world, random, quiet, nullptr, &playfield, &ThePage->Sheet});
    }
    return emscripten_get_now() - start;
}

/// Room for a script of `length` bytes, for the page to fill before `Replay`:
/// on the heap, however long the script.
EMSCRIPTEN_KEEPALIVE char* ScriptBuffer(int length)
{
    if (length < 0 || length > MaxSpoolBytes) {
        SetReplayState(("error: the script holds more than " + std::to_string(MaxSpoolBytes >> 20) +
                        " MiB, more than the page takes")
                           .c_str(),
                       "");
        return nullptr;
    }
    ThePage->Incoming.assign(std::size_t(length), '\0');
    return ThePage->Incoming.data();
}

/// Replays the script in `ScriptBuffer`, every byte of it, instead of live input.
EMSCRIPTEN_KEEPALIVE void Replay()
{
    Page& page = *ThePage;
    std::string error = ScriptFromText(page.Incoming, page.Replay.Input);
    page.Incoming = std::string();
    if (error.empty())
        error = StartReplay(page.Replay);
    if (!error.empty()) {
        SetReplayState(("error: " + error).c_str(), "");
        return;
    }
    page.Skipped = SkippedPictureLines(page.Replay.Input);
    SetReplayState("playing", "");
    Show(page);
}

} // extern "C"

int main()
{
    ThePage = new Page; // lives as long as the page
    Page& page = *ThePage;
    SeedRandom(page.Random.Generator);
    LoadWorld(page.TheWorld);
    std::vector<std::uint8_t> sheet(std::size_t(page.Sheet.Width) * page.Sheet.Height * 4);
    CopyRgba(page.Sheet, {0, 0, page.Sheet.Width, page.Sheet.Height}, sheet);
    ShowSheet(sheet.data(), page.Sheet.Width, page.Sheet.Height);
    MakeForm();
    MakeMethodChoices();
    emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
    PageReady(); // the controls, and a script to replay, if the address names one
    return 0;
}
