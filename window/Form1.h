#pragma once
// The program's only window: the playfield, the sprite sheet, the six option
// buttons for the steering mode, the two check boxes and the start-up timer.
// It owns the world and everything the frame loop works on.

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "FrameLoop.h"
#include "Methods.h"
#include "QtSeams.h"
#include "Random.h"
#include "Raster.h"
#include "Session.h"
#include "SystemBeep.h"
#include "TickCount.h"
#include "World.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;
class QTimer;
class PictureBox;

class Form1 final : public QWidget {
    Q_OBJECT

public:
    /// `clock` paces the frames: the real one unless a test hands in its own.
    explicit Form1(Clock* clock = nullptr);

    // The event handlers; each changes the world only between frames.
    void Form_Load();
    void Form_QueryUnload();
    void Option1_Click(int Index);
    void Check1_Click();
    void Check2_Click();
    void Picture1_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Picture1_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Timer1_Timer();

    const World& GetWorld() const { return TheWorld; }
    PlayfieldPresenter& GetPresenter() { return *Presenter; }
    World& GetWorld() { return TheWorld; }

    /// Starts recording, tracing or replaying this session, before the window
    /// is shown. Returns what is wrong with the files in one line, or nothing.
    [[nodiscard]] std::string OpenSession(const SessionFiles& files);
    /// Writes out what the session's files hold back; returns the exit
    /// status the session owes (0 when all went well). Safe to call again.
    int FinishSession();

    // The controls, by their names.
    PictureBox* Picture1;
    PictureBox* Picture2;
    QButtonGroup* Option1;
    std::array<QRadioButton*, OptionButtonCount> Option1Buttons{};
    QCheckBox* Check1;
    QCheckBox* Check2;
    QTimer* Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    /// Qt's event pump, then the replayed script's commands that are due.
    struct ReplayPump final : EventPump {
        Form1& Form;
        explicit ReplayPump(Form1& form) : Form(form) {}
        void ProcessPendingEvents(std::uint32_t maxWaitMs) override;
    };

    World TheWorld;
    QueuedRandom Random;
    Surface Playfield; ///< Picture1's persistent image
    Surface Sheet;     ///< Picture2's: the sprite sheet
    FramePacing Pacing;
    SteadyClock RealClock;
    Clock& FrameClock;
    QtEventPump Pump;
    SystemBeep Beep;
    std::unique_ptr<PlayfieldPresenter> Presenter; ///< made once Picture1 exists
    Session TheSession;
    ReplayPump PumpAndReplay{*this};

    void CreateControls();
    void ConnectHandlers();
    /// Plays a batch of the script's commands that are due; true when more are.
    bool PlayDueCommands();
    /// An input from a control: applied, and recorded when the session is.
    void Input(const Command& command);
    /// Shows the world's mode and switches on the controls, without clicking them.
    void ShowSwitches();
};
