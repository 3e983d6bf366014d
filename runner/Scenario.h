#pragma once
// One world driven by script commands, as the window's handlers and frame loop
// would drive it, with a queue of exact random values in front of the generator.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FrameObserver.h"
#include "Output.h"
#include "Random.h"
#include "Raster.h"
#include "RunFrame.h"
#include "ScriptReader.h"
#include "ScriptWorld.h"
#include "Seams.h"
#include "ShotHistory.h"
#include "TraceWriter.h"
#include "World.h"

struct TrailCanvas;

struct Scenario {
    Scenario();
    ~Scenario();

    ScriptWorld Sim;                      ///< the world and what drives it
    Surface Sheet;                        ///< the sprite sheet, for pictures
    Surface Playfield;                    ///< 300 x 300, for pictures
    std::unique_ptr<ShotHistory> History; ///< only when figures or trails need it
    std::unique_ptr<TrailCanvas> Trails;  ///< only when trail pictures are asked for
    bool PictureFailed = false;           ///< a png or trail line's picture could not be written
    std::string Script = "a script";      ///< what its pictures say made them: "script NAME"
};

/// A world as the window's is once it has loaded, its generator seeded from the
/// clock. With `keepHistory` every flying shot's figures are followed, and with
/// `keepTrails` the trail picture is drawn as the frames run.
void StartScenario(Scenario& scenario, bool keepHistory, bool keepTrails);

/// Carries out one command. Returns an error message, empty on success.
[[nodiscard]] std::string Execute(Scenario& scenario, const Command& command);

/// Reads the whole script once without running it, as the runner checks it:
/// a png or trail line whose picture could not be written there is an error
/// ("line N: ..."), so nothing runs that would be thrown away; `cannotWrite`
/// says whether that error is that nothing can be written there.
[[nodiscard]] std::string CheckRunnerScript(ScriptInput& input, ScriptCheck& check, bool* cannotWrite = nullptr);
