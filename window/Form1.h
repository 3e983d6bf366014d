#pragma once
// The program's only window: the playfield, the sprite sheet, the six option
// buttons for the steering mode, the two check boxes and the start-up timer.
// It owns the world and everything the frame loop works on.

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

#include "FrameLoop.h"
#include "QtSeams.h"
#include "Random.h"
#include "Raster.h"
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
    Form1();

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
    World& GetWorld() { return TheWorld; }

    // The controls, by their names.
    PictureBox* Picture1;
    PictureBox* Picture2;
    QButtonGroup* Option1;
    std::array<QRadioButton*, SteeringModeCount> Option1Buttons{};
    QCheckBox* Check1;
    QCheckBox* Check2;
    QTimer* Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    World TheWorld;
    PseudoRandom Random;
    Surface Playfield; ///< Picture1's persistent image
    Surface Sheet;     ///< Picture2's: the sprite sheet
    FramePacing Pacing;
    SteadyClock Clock;
    QtEventPump Pump;
    SystemBeep Beep;
    std::unique_ptr<RepaintPresenter> Presenter; ///< made once Picture1 exists

    void CreateControls();
    void ConnectHandlers();
};
