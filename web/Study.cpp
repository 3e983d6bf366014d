// The page's study, its module's half: the settings the address names, the
// map the workers' figures fill (painted by the study's painter, its text),
// the sweep and its charts, and one place's shots and one shot flown by their
// scripts through the same world, frames and drawing as homing-sim's. The
// page's script (study.js and its parts) is the controls; every number and
// text it shows comes from here, most as named records.

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "CanvasRgba.h"
#include "CaptureMap.h"
#include "DrawFrame.h"
#include "FloatText.h"
#include "Headings.h"
#include "JsonRecord.h"
#include "LaunchText.h"
#include "MapColours.h"
#include "MapCsv.h"
#include "MapNote.h"
#include "MapPainter.h"
#include "MapSettings.h"
#include "Methods.h"
#include "Replay.h"
#include "ScriptWorld.h"
#include "ShotScript.h"
#include "SpriteSheet.h"
#include "Steering.h"
#include "StudyAddress.h"
#include "Sweep.h"
#include "SweepChart.h"
#include "TurningCircle.h"

namespace {

/// The study's own settings when the address names none: a map no coarser
/// than homing-sim's --step 4 --shots 8.
MapSettings DefaultSettings()
{
    MapSettings settings;
    settings.Step = 4;
    settings.Shots = 8;
    return settings;
}

/// The view the study opens with when the address asks for none: every draw
/// at 0.5 and one shot a place, so the first claim the page makes (the angle
/// chase's orbit discs) is on the maps without a click.
MapSettings FirstView()
{
    MapSettings settings = DefaultSettings();
    settings.Shots = 1;
    settings.FixedDraws = true;
    settings.Draw = 0.5f;
    return settings;
}

/// A sweep's grid, as homing-sim's --sweep takes it unless --step is given.
constexpr int SweepStep = 10;

/// The methods that turn by at most a rate a frame, at a constant speed.
bool Turning(int mode) { return Methods[std::size_t(mode)].TurnsAtRate; }

/// What one frame of a shot's flight leaves: the shot's record, the marker.
struct Moment {
    Shot Shot;
    float MarkerX = 0, MarkerY = 0; ///< pixels
    int Ended = 0;                  ///< 0: flying; 1: caught in this frame; 2: expired in it
};

/// Shot 0 of a script, told of how it ends.
struct FirstShotWatch final : FrameObserver {
    int Ended = 0;
    void OnFrame(const World&, const FrameOutcome& outcome) override
    {
        if (!Ended && ((outcome.Caught | outcome.Expired) & 1u))
            Ended = (outcome.Caught & 1u) ? 1 : 2;
    }
};

/// A shot's script replayed a frame at a time, as the page replays any script.
struct Flight {
    ScriptWorld Sim;
    ReplayCursor Replay;
    FirstShotWatch Watch;
};

std::unique_ptr<Flight> StartFlight(const std::string& script)
{
    auto flight = std::make_unique<Flight>();
    StartWorld(flight->Sim);
    flight->Sim.Observers.Add(&flight->Replay);
    flight->Sim.Observers.Add(&flight->Watch);
    // The study's own scripts, written by ShotScript: they read and start.
    (void)ScriptFromText(script, flight->Replay.Input);
    (void)StartReplay(flight->Replay);
    return flight;
}

/// Runs the script on to the end of world frame `frame`, or to its own end.
void RunFlightTo(Flight& flight, int frame)
{
    static const Command OneFrame{.Kind = CommandKind::Frames, .Number = 1};
    while (flight.Sim.World.FrameCount < frame) {
        PlayDueCommands(flight.Replay, flight.Sim.World, flight.Sim.Random, nullptr, std::numeric_limits<int>::max());
        if (!flight.Replay.Playing)
            return;
        (void)RunCommand(flight.Sim, OneFrame); // a frame step as homing-sim's `frames` runs it
    }
}

/// The world frame of a flight's frame (1: the launch).
int WorldFrame(int flightFrame) { return ScriptLaunchFrame - 1 + flightFrame; }

struct Study {
    MapSettings Settings = DefaultSettings();
    MapSettings Shown;                     ///< the map's: the study's, or a coarser grid of them
    CaptureMap Map;                        ///< the figures the workers have sent so far
    std::vector<bool> Arrived;             ///< by row of the map
    int PaintedTop = 0, PaintedBottom = 0; ///< the pixel rows last painted, the bottom one not included
    std::vector<Surface> Panels;           ///< each method's map, by mode
    std::vector<std::uint8_t> PanelRgba;   ///< rows of one of them, as a canvas takes them
    std::vector<SweepParameter> Swept = SweepParameters();
    std::vector<std::vector<SweepPoint>> Sweep; ///< by parameter, then value
    std::vector<std::vector<Moment>> Trails;    ///< a place's shots, by shot, a moment a frame
    std::string TrailFrames;                    ///< the marker's and frames' lines of the place's scripts
    int PlaceMode = 0, PlaceX = 0, PlaceY = 0;
    std::vector<Moment> Moments; ///< the chosen shot's flight
    std::string ShotScriptText;
    std::unique_ptr<Flight> Drawn; ///< the chosen shot's script, run as far as the frame drawn
    Surface Playfield, Sheet;      ///< made when a shot's frame is first drawn: the page starts sooner
    std::vector<std::uint8_t> Frame;
    StudyForm Form; ///< the settings form's values, as handed over
};

Study& TheStudy()
{
    static Study* study = new Study; // lives as long as the page
    return *study;
}

/// The last text handed to the page (its own: a figure asked for needs no study made).
std::string& HandedText()
{
    static std::string* text = new std::string;
    return *text;
}

const char* Hand(std::string text)
{
    HandedText() = std::move(text);
    return HandedText().c_str();
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

/// Flies a shot's script to its shot's end, a moment a frame.
std::vector<Moment> FlyScript(const std::string& script)
{
    const std::unique_ptr<Flight> flight = StartFlight(script);
    std::vector<Moment> moments;
    for (int frame = 1; frame <= ShotLife + 1 && !flight->Watch.Ended; ++frame) {
        RunFlightTo(*flight, WorldFrame(frame));
        const World& world = flight->Sim.World;
        moments.push_back({world.Shots[0], world.MeX, world.MeY, flight->Watch.Ended});
    }
    return moments;
}

std::string PlaceText(const PlaceFigures& place)
{
    std::string text = std::to_string(place.Caught) + " of " + std::to_string(place.Shots) + " shots caught";
    text += place.Median ? "; median " + std::to_string(place.Median) + " frames to the catch"
                         : "; median: never (fewer than half caught)";
    text += place.P90 ? ", 90th percentile " + std::to_string(place.P90) + " frames" : ", 90th percentile: never";
    if (place.Caught < place.Shots)
        text += "; the " + std::to_string(place.Shots - place.Caught) + " missed came within " +
                Format("%.2f", double(place.Miss)) + " px (median)";
    return text + ".";
}

SweepCurve CurveOf(const Study& study, int parameter)
{
    return {study.Swept[std::size_t(parameter)], study.Sweep[std::size_t(parameter)]};
}

std::string LabelJson(const ChartLabel& label, const char* align, const char* baseline)
{
    return JsonRecord{}
        .Number("x", label.X)
        .Number("y", label.Y)
        .Words("text", label.Text)
        .Words("align", align)
        .Words("baseline", baseline)
        .Done();
}

} // namespace

extern "C" {

/// Whether `head` begins a study's address, and how much of one the study reads.
EMSCRIPTEN_KEEPALIVE int StudyIsAddress(const char* head) { return IsStudyAddress(head); }
EMSCRIPTEN_KEEPALIVE int StudyMostAddress() { return int(MostStudyAddress); }

/// Opens the study's address: `head`, its first characters (at most one more
/// than the study reads), of an address `length` characters long. Returns a
/// record: error ("" when taken: the settings are the address's), place
/// (null, or {mode, x, y}), shot, frame and chart (as given, "" when not).
EMSCRIPTEN_KEEPALIVE const char* StudyOpenAddress(const char* head, int length)
{
    const std::string_view address(head);
    MapSettings settings = DefaultSettings();
    StudyView view;
    const std::string error = std::size_t(length) > MostStudyAddress
                                  ? "it is " + std::to_string(length) +
                                        " characters long, more than a study's address can be (" +
                                        std::to_string(MostStudyAddress) + ")"
                                  : ReadStudyAddress(address, settings, view);
    if (error.empty())
        TheStudy().Settings = settings;
    const std::string place =
        view.HasPlace ? JsonRecord{}.Number("mode", view.Mode).Number("x", view.X).Number("y", view.Y).Done() : "null";
    return Hand(JsonRecord{}
                    .Words("error", error)
                    .Raw("place", place)
                    .Words("shot", view.Shot)
                    .Words("frame", view.Frame)
                    .Words("chart", view.Chart)
                    .Done());
}

/// The study's address: its settings, then the place (mode < 0: none), its
/// shot (< 0: none) and the frame (< 1: none) the page shows.
EMSCRIPTEN_KEEPALIVE const char* StudyPageAddress(int mode, int x, int y, int shot, int frame)
{
    StudyView view;
    view.HasPlace = mode >= 0, view.Mode = mode, view.X = x, view.Y = y;
    if (shot >= 0)
        view.Shot = std::to_string(shot);
    if (shot >= 0 && frame >= 1)
        view.Frame = std::to_string(frame);
    return Hand(StudyAddressText(TheStudy().Settings, view));
}

/// The settings form: its values as the settings give them (a record of
/// texts, StudyFormValues' names); one value handed over by name; and the
/// values handed over read as the study's settings (what is wrong, or "").
EMSCRIPTEN_KEEPALIVE const char* StudyFormRecord()
{
    const StudyForm form = StudyFormOf(TheStudy().Settings);
    JsonRecord record;
    for (const auto& [name, field] : StudyFormFields)
        record.Words(name, form.*field);
    return Hand(record.Done());
}
EMSCRIPTEN_KEEPALIVE void StudyFormValue(const char* name, const char* value)
{
    for (const auto& [field, member] : StudyFormFields)
        if (field == name)
            TheStudy().Form.*member = value;
}
EMSCRIPTEN_KEEPALIVE const char* StudyReadForm()
{
    Study& study = TheStudy();
    MapSettings settings = DefaultSettings();
    const std::string error = ReadStudyForm(study.Form, settings);
    study.Form = {};
    if (error.empty())
        study.Settings = settings;
    return Hand(error);
}

/// The study's settings become its first view's.
EMSCRIPTEN_KEEPALIVE void StudyOpenFirstView() { TheStudy().Settings = FirstView(); }

/// The study's settings as homing-sim's options.
EMSCRIPTEN_KEEPALIVE const char* StudyOptions() { return Hand(MapSettingsText(TheStudy().Settings)); }
EMSCRIPTEN_KEEPALIVE int StudyStep() { return TheStudy().Settings.Step; }

/// The options of the same settings on a grid `step` pixels apart, with no
/// held draw when `unheld` (a sweep holds its own): what a worker is given.
EMSCRIPTEN_KEEPALIVE const char* StudyOptionsAt(int step, int unheld)
{
    MapSettings settings = TheStudy().Settings;
    settings.Step = step;
    if (unheld)
        settings.Held = LaunchDraw::None;
    return Hand(MapSettingsText(settings));
}

EMSCRIPTEN_KEEPALIVE int StudyMethods() { return SteeringModeCount; }
/// A method, as a record: name, caption ("" when it has none), description,
/// fails (how it misses), launch (its draws in words: "speed = 2 + 5 r (in
/// [2, 7), pixels a frame); ..."), turns (whether it has a turning circle).
EMSCRIPTEN_KEEPALIVE const char* StudyMethod(int mode)
{
    const Method& method = Methods[std::size_t(mode)];
    return Hand(JsonRecord{}
                    .Words("name", method.Name)
                    .Words("caption", method.Caption)
                    .Words("description", method.Description)
                    .Words("fails", method.Fails)
                    .Words("launch", LaunchText(method))
                    .Flag("turns", method.TurnsAtRate)
                    .Done());
}

/// Makes the maps' panels, once: their megabytes are first touched here, in a task of the
/// page's own, rather than when the first map begins.
EMSCRIPTEN_KEEPALIVE void StudyMakePanels()
{
    Study& study = TheStudy();
    if (!study.Panels.empty())
        return;
    study.Panels.assign(std::size_t(SteeringModeCount), MakeSurface(PlayfieldSize, PlayfieldSize));
    study.PanelRgba.resize(std::size_t(PlayfieldSize) * PlayfieldSize * 4);
}

/// Begins a map of the study's settings on a grid `step` apart; returns its rows.
EMSCRIPTEN_KEEPALIVE int StudyBeginMap(int step)
{
    Study& study = TheStudy();
    study.Shown = study.Settings;
    study.Shown.Step = step;
    study.Map = EmptyMap(study.Shown);
    study.Arrived.assign(std::size_t(study.Map.Rows), false);
    StudyMakePanels();
    for (Surface& panel : study.Panels)
        FillRect(panel, 0, 0, PlayfieldSize, PlayfieldSize, White);
    return study.Map.Rows;
}

/// Where the figures of rows `first` on go: the page copies a worker's there.
EMSCRIPTEN_KEEPALIVE PlaceFigures* StudyRows(int first) { return &TheStudy().Map.At(0, first, 0); }
EMSCRIPTEN_KEEPALIVE int StudyPlaceBytes() { return int(sizeof(PlaceFigures)); }

/// Rows `first` to `last` have come: paints their places, then the catch
/// boundary along them and along the row below, where it has come (the
/// boundary lies on both sides of an edge). StudyPaintedTop and
/// StudyPaintedBottom say the rows to put.
EMSCRIPTEN_KEEPALIVE void StudyRowsArrived(int first, int last)
{
    Study& study = TheStudy();
    const int step = study.Shown.Step, below = std::min(last + 1, study.Map.Rows - 1);
    const auto arrived = [&](int row) { return row >= 0 && study.Arrived[std::size_t(row)]; };
    for (int row = first; row <= last; ++row)
        study.Arrived[std::size_t(row)] = true;
    for (int mode = 0; mode < SteeringModeCount; ++mode) {
        Surface& panel = study.Panels[std::size_t(mode)];
        for (int row = first; row <= last; ++row)
            PaintMapCells(panel, study.Map, step, SteeringMode(mode), row);
        for (int row = first; row <= below; ++row)
            if (arrived(row))
                PaintMapBoundary(panel, study.Map, step, SteeringMode(mode), row, arrived(row - 1));
    }
    // The boundary along a row's top lies a pixel into the row above.
    study.PaintedTop = std::max(0, first * step - 1);
    study.PaintedBottom = std::min(PlayfieldSize, (below + 1) * step);
}

/// Every row has come: the launcher, its launch heading and the ticks over
/// the places.
EMSCRIPTEN_KEEPALIVE void StudyMapDone()
{
    Study& study = TheStudy();
    for (int mode = 0; mode < SteeringModeCount; ++mode)
        PaintMapMarks(study.Panels[std::size_t(mode)], SharedLaunchHeading(study.Shown, SteeringMode(mode)));
}

/// A method's panel, 300 x 300 RGBA, of which pixel rows `top` to `bottom` (not included) are
/// filled in: the rows the page puts next (one buffer for every panel, used at once).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* StudyPanel(int mode, int top, int bottom)
{
    Study& study = TheStudy();
    top = std::clamp(top, 0, PlayfieldSize), bottom = std::clamp(bottom, top, PlayfieldSize);
    CopyRgba(study.Panels[std::size_t(mode)], {0, top, PlayfieldSize, bottom - top}, study.PanelRgba);
    return study.PanelRgba.data();
}

EMSCRIPTEN_KEEPALIVE int StudyPaintedTop() { return TheStudy().PaintedTop; }
EMSCRIPTEN_KEEPALIVE int StudyPaintedBottom() { return TheStudy().PaintedBottom; }

/// The colour scale, painted `width` x 21 pixels, RGBA; StudyScaleTicks
/// says where its ticks are: a list of records {x, frames}.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* StudyColourScale(int width)
{
    static std::vector<std::uint8_t> rgba;
    Surface scale = MakeSurface(width, 21);
    PaintColourScale(scale);
    return WholeRgba(scale, rgba);
}
EMSCRIPTEN_KEEPALIVE const char* StudyScaleTicks(int width)
{
    std::string ticks = "[";
    for (const int frames : ScaleTickFrames)
        ticks += (ticks.size() > 1 ? "," : "") +
                 JsonRecord{}.Number("x", ScaleTickX(width, frames)).Number("frames", frames).Done();
    return Hand(ticks + "]");
}

/// The share of places where `mode` catches at least half, in whole percent.
/// What the maps' picture says: the settings in words (its note), its PNG
/// texts (Software and Source, as homing-sim's), and its key's colours.
EMSCRIPTEN_KEEPALIVE const char* StudyPictureNote() { return Hand(MapNote(TheStudy().Shown)); }
EMSCRIPTEN_KEEPALIVE const char* StudyPictureSoftware() { return Hand(MadeBy()); }
EMSCRIPTEN_KEEPALIVE const char* StudyPictureSource() { return Hand("map " + MapSettingsText(TheStudy().Shown)); }
EMSCRIPTEN_KEEPALIVE int StudyMissedRgb(int tenths) { return int(MostlyMissed(tenths / 10.0)); }
EMSCRIPTEN_KEEPALIVE int StudyBoundaryRgb() { return int(BoundaryRgb); }

EMSCRIPTEN_KEEPALIVE int StudyMostlyCaught(int mode) { return MostlyCaughtPercent(TheStudy().Map, SteeringMode(mode)); }

/// A place's figures as a sentence.
EMSCRIPTEN_KEEPALIVE const char* StudyPlaceText(int mode, int column, int row)
{
    return Hand(PlaceText(TheStudy().Map.At(column, row, mode)));
}

/// The map's CSV up to its rows, as homing-sim --map writes it: the line
/// saying what made it and the header (the workers write the rows).
EMSCRIPTEN_KEEPALIVE const char* StudyMapCsvHead() { return Hand(MapMadeByLine(TheStudy().Shown) + MapCsvHeader()); }
EMSCRIPTEN_KEEPALIVE int StudyTextLength() { return int(HandedText().size()); }

/// The sweep's parameters, and where a worker's point goes.
EMSCRIPTEN_KEEPALIVE int StudySweepParameters() { return int(TheStudy().Swept.size()); }
EMSCRIPTEN_KEEPALIVE int StudySweepStep() { return SweepStep; }
EMSCRIPTEN_KEEPALIVE int StudySweepMode(int parameter) { return int(TheStudy().Swept[std::size_t(parameter)].Mode); }
EMSCRIPTEN_KEEPALIVE const char* StudySweepDraw(int parameter)
{
    return LaunchDrawName(TheStudy().Swept[std::size_t(parameter)].Draw);
}
EMSCRIPTEN_KEEPALIVE const char* StudySweepMeaning(int parameter)
{
    return DrawMeaning(TheStudy().Swept[std::size_t(parameter)].Draw);
}
EMSCRIPTEN_KEEPALIVE void StudyBeginSweep(int values)
{
    Study& study = TheStudy();
    study.Sweep.assign(study.Swept.size(), std::vector<SweepPoint>(std::size_t(values)));
}
EMSCRIPTEN_KEEPALIVE SweepPoint* StudySweepPoint(int parameter, int value)
{
    return &TheStudy().Sweep[std::size_t(parameter)][std::size_t(value)];
}
EMSCRIPTEN_KEEPALIVE int StudySweepPointBytes() { return int(sizeof(SweepPoint)); }

/// A point's figures, a record: r, value (the parameter's), mostlyCaught
/// (the share of places where at least half are caught), caught (the share
/// of shots), median (frames; 0: never), miss (pixels; null: none missed).
EMSCRIPTEN_KEEPALIVE const char* StudySweepFigures(int parameter, int value)
{
    const SweepPoint& point = TheStudy().Sweep[std::size_t(parameter)][std::size_t(value)];
    return Hand(JsonRecord{}
                    .Number("r", point.R)
                    .Number("value", point.Value)
                    .Number("mostlyCaught", point.Figures.MostlyCaught)
                    .Number("caught", point.Figures.Caught)
                    .Number("median", point.Figures.Median)
                    .Raw("miss", point.Figures.Missed ? JsonNumber(point.Figures.Miss) : "null")
                    .Done());
}

/// A parameter's sweep chart, painted: SweepChartLayout's Width x Height, RGBA.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* StudySweepChart(int parameter)
{
    static std::vector<std::uint8_t> rgba;
    const SweepCurve curve = CurveOf(TheStudy(), parameter);
    Surface chart = MakeSurface(SweepChartLayout::Width, SweepChartLayout::Height);
    PaintSweepChart(chart, LayOutSweepChart(curve), curve);
    return WholeRgba(chart, rgba);
}

/// The same chart's layout, a record: width, height, plot {left, top, width,
/// height}, points (each value's x), flat, words, and labels {x, y, text,
/// align, baseline} for the page to write.
EMSCRIPTEN_KEEPALIVE const char* StudySweepChartLayout(int parameter)
{
    using Layout = SweepChartLayout;
    const SweepCurve curve = CurveOf(TheStudy(), parameter);
    const Layout layout = LayOutSweepChart(curve);
    std::string points = "[", labels = "[";
    for (const SweepPoint& point : curve.Points)
        points += (points.size() > 1 ? "," : "") + JsonNumber(ChartX(point.R));
    const auto label = [&](const ChartLabel& one, const char* align, const char* baseline) {
        labels += (labels.size() > 1 ? "," : "") + LabelJson(one, align, baseline);
    };
    for (const ChartLabel& tick : layout.YTicks)
        label(tick, "right", "middle");
    for (const ChartLabel& tick : layout.XTicks)
        label(tick, "center", "top");
    label(layout.Title, "center", "top");
    label(layout.PlacesKey, "left", "middle");
    label(layout.ShotsKey, "left", "middle");
    const std::string plot = JsonRecord{}
                                 .Number("left", Layout::PlotLeft)
                                 .Number("top", Layout::PlotTop)
                                 .Number("width", Layout::PlotWidth)
                                 .Number("height", Layout::PlotHeight)
                                 .Done();
    return Hand(JsonRecord{}
                    .Number("width", Layout::Width)
                    .Number("height", Layout::Height)
                    .Raw("plot", plot)
                    .Raw("points", points + "]")
                    .Flag("flat", layout.Flat)
                    .Flag("said", layout.Said())
                    .Words("words", layout.Words)
                    .Raw("labels", labels + "]")
                    .Done());
}

/// The sweep's CSV, the bytes homing-sim --sweep writes for the settings it
/// was computed with.
EMSCRIPTEN_KEEPALIVE const char* StudySweepCsv()
{
    std::vector<SweepCurve> curves;
    const Study& study = TheStudy();
    for (std::size_t n = 0; n < study.Swept.size(); ++n)
        curves.push_back({study.Swept[n], study.Sweep[n]});
    MapSettings settings = study.Settings;
    settings.Step = SweepStep, settings.Held = LaunchDraw::None;
    return Hand(SweepMadeByLine(settings, int(study.Sweep.empty() ? 0 : study.Sweep[0].size())) + SweepCsv(curves));
}

/// Chooses a place, whose shots StudyFlyTrail flies one by one (the page
/// flies a few at a time, between the reader's events); returns how many.
EMSCRIPTEN_KEEPALIVE int StudyBeginTrails(int mode, int x, int y)
{
    Study& study = TheStudy();
    study.PlaceMode = mode, study.PlaceX = x, study.PlaceY = y;
    study.Trails.clear();
    study.TrailFrames = ShotScriptFrames(study.Settings, x, y, ShotLife + 1); // every shot's own
    return study.Settings.Shots;
}

/// Flies the place's next shot by its script; returns its number.
EMSCRIPTEN_KEEPALIVE int StudyFlyTrail()
{
    Study& study = TheStudy();
    const int shot = int(study.Trails.size());
    study.Trails.push_back(
        FlyScript(ShotScriptHead(study.Settings, SteeringMode(study.PlaceMode), study.PlaceX, study.PlaceY, shot) +
                  study.TrailFrames));
    return shot;
}

/// A shot of the place: its frames, how it ended, and its positions
/// (x, y a frame, as the trace gives them).
EMSCRIPTEN_KEEPALIVE int StudyTrailFrames(int shot) { return int(TheStudy().Trails[std::size_t(shot)].size()); }
EMSCRIPTEN_KEEPALIVE int StudyTrailEnded(int shot) { return TheStudy().Trails[std::size_t(shot)].back().Ended; }
EMSCRIPTEN_KEEPALIVE const float* StudyTrailPoints(int shot)
{
    static std::vector<float> points;
    points.clear();
    for (const Moment& moment : TheStudy().Trails[std::size_t(shot)])
        points.insert(points.end(), {moment.Shot.X, moment.Shot.Y});
    return points.data();
}

/// Chooses a shot of the place: flies it, keeps its moments and the script
/// that flies it (to its end); returns its frames.
EMSCRIPTEN_KEEPALIVE int StudyChooseShot(int shot)
{
    Study& study = TheStudy();
    study.Moments = study.Trails[std::size_t(shot)];
    study.ShotScriptText = ShotScript(study.Settings, SteeringMode(study.PlaceMode), study.PlaceX, study.PlaceY, shot,
                                      int(study.Moments.size()));
    study.Drawn = StartFlight(study.ShotScriptText);
    return int(study.Moments.size());
}

EMSCRIPTEN_KEEPALIVE const char* StudyShotScript() { return TheStudy().ShotScriptText.c_str(); }

/// The chosen shot's real frame at its flight's frame `frame`, as a `png`
/// line there draws it: 300 x 300 RGBA.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* StudyDrawShotFrame(int frame)
{
    Study& study = TheStudy();
    if (study.Drawn->Sim.World.FrameCount > WorldFrame(frame))
        study.Drawn = StartFlight(study.ShotScriptText); // back in time: from the start
    RunFlightTo(*study.Drawn, WorldFrame(frame));
    if (study.Sheet.Pixels.empty()) {
        study.Playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
        study.Sheet = LoadSpriteSheet();
        study.Frame.resize(std::size_t(PlayfieldSize) * PlayfieldSize * 4);
    }
    PaintFrame(study.Drawn->Sim.World, study.Playfield, study.Sheet);
    CopyRgba(study.Playfield, {0, 0, PlayfieldSize, PlayfieldSize}, study.Frame);
    return study.Frame.data();
}

/// The chosen shot's figures at its frame `frame`, a record: x, y, speed
/// (pixels a frame), heading (degrees, y down), turn (degrees a frame: the
/// method's own rate for the turning chases, else as measured since the frame
/// before, as the trace's figures measure it), radius (of its turning circle;
/// 0: none), markerX, markerY, distance (to the marker), ended (0 flying, 1
/// caught, 2 expired), largestTurn and meanTurn (the change of direction
/// between two frames so far, degrees: the turn a frame it demanded), guide
/// ("marker", "line of sight" or "intercept": what it steers by), aimX and
/// aimY (the point it aimed at this frame: the meeting point, for a lead
/// chase), sightTurn (the line of sight's turn since the frame before, degrees).
EMSCRIPTEN_KEEPALIVE const char* StudyShotFigures(int frame)
{
    const Study& study = TheStudy();
    const Moment& now = study.Moments[std::size_t(frame - 1)];
    const Shot& shot = now.Shot;
    const double speed = std::hypot(double(shot.VX), double(shot.VY));
    const bool turning = Turning(study.PlaceMode);
    double turn = turning ? double(shot.Turn) : 0;
    if (!turning && frame > 1) {
        const Shot& before = study.Moments[std::size_t(frame - 2)].Shot;
        turn = SignedTurn(before.VX, before.VY, shot.VX, shot.VY);
    }
    double largest = 0, sum = 0;
    for (int n = 1; n < frame; ++n) {
        const Shot& from = study.Moments[std::size_t(n - 1)].Shot;
        const Shot& to = study.Moments[std::size_t(n)].Shot;
        const double change = std::abs(SignedTurn(from.VX, from.VY, to.VX, to.VY));
        largest = std::max(largest, change), sum += change;
    }
    const Method& method = Methods[std::size_t(study.PlaceMode)];
    double aimX = now.MarkerX, aimY = now.MarkerY, sightTurn = 0;
    if (frame > 1 && method.Guide == MethodGuide::Intercept) {
        // This frame's step saw the shot as the frame before left it.
        Shot before = study.Moments[std::size_t(frame - 2)].Shot;
        before.Age += 1;
        World seen;
        seen.MeX = now.MarkerX, seen.MeY = now.MarkerY;
        LeadPoint(before, seen, aimX, aimY);
    }
    if (frame > 1 && method.Guide == MethodGuide::LineOfSight)
        sightTurn = std::remainder(double(shot.Sight) - double(study.Moments[std::size_t(frame - 2)].Shot.Sight),
                                   2 * std::numbers::pi) /
                    DegToRad;
    constexpr const char* Guides[] = {"marker", "line of sight", "intercept"};
    return Hand(JsonRecord{}
                    .Number("x", shot.X)
                    .Number("y", shot.Y)
                    .Number("speed", speed)
                    .Number("heading", HeadingOf(shot.VX, shot.VY))
                    .Number("turn", turn)
                    .Number("radius", turning ? TurningRadius(speed, turn) : 0)
                    .Number("markerX", now.MarkerX)
                    .Number("markerY", now.MarkerY)
                    .Number("distance", std::hypot(double(now.MarkerX) - shot.X, double(now.MarkerY) - shot.Y))
                    .Number("ended", now.Ended)
                    .Number("largestTurn", largest)
                    .Number("meanTurn", frame > 1 ? sum / (frame - 1) : 0)
                    .Words("guide", Guides[int(method.Guide)])
                    .Number("aimX", aimX)
                    .Number("aimY", aimY)
                    .Number("sightTurn", sightTurn)
                    .Done());
}

/// The chosen shot's record after frame `frame`, and the marker, one
/// "shot.X = 140.5" a line, each float as the shortest text that reads back to it.
EMSCRIPTEN_KEEPALIVE const char* StudyShotRecord(int frame)
{
    static std::string text;
    const Moment& now = TheStudy().Moments[std::size_t(frame - 1)];
    const Shot& shot = now.Shot;
    text.clear();
    // Named as the steps name them: the shot's record `s`, what it knows of the world `in`.
    const std::pair<const char*, float> fields[] = {
        {"s.X", shot.X},           {"s.Y", shot.Y},         {"s.VX", shot.VX},       {"s.VY", shot.VY},
        {"s.Speed", shot.Speed},   {"s.Angle", shot.Angle}, {"s.Turn", shot.Turn},   {"s.Gain", shot.Gain},
        {"s.Sight", shot.Sight},   {"s.SeenX", shot.SeenX}, {"s.SeenY", shot.SeenY}, {"s.SeenVX", shot.SeenVX},
        {"s.SeenVY", shot.SeenVY}, {"in.MeX", now.MarkerX}, {"in.MeY", now.MarkerY}};
    for (const auto& [name, value] : fields)
        text += std::string(name) + " = " + FloatText(value) + "\n";
    text += "in.Age = " + std::to_string(shot.Age) + "\n";
    return text.c_str();
}

/// The orbit figure's answers for a shot at `speed` pixels a frame turning
/// at most `turn` degrees a frame, and a marker `ahead` and `beside` it
/// (pixels), a record: radius (of the turning circle), outOfReach, and
/// turnToReach (the least turn that reaches a marker straight beside the
/// heading at that distance).
EMSCRIPTEN_KEEPALIVE const char* StudyOrbitFigures(double speed, double turn, double ahead, double beside)
{
    return Hand(JsonRecord{}
                    .Number("radius", TurningRadius(speed, turn))
                    .Flag("outOfReach", OutOfReach(speed, turn, ahead, beside))
                    .Number("turnToReach", TurnToReach(speed, beside))
                    .Done());
}

} // extern "C"
