#include "Form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include <memory>

#include "CaptionFont.h"
#include "Captions.h"
#include "FormLayout.h"
#include "Methods.h"
#include "PictureBox.h"
#include "ScriptWorld.h"
#include "SpriteSheet.h"

namespace {

constexpr QSize ClientSize{ClientWidth, ClientHeight};
static_assert(Option1Places.size() == OptionButtonCount, "every method with a caption has its option button's place");

constexpr int Timer1Interval = 10; ///< ms

/// An option button or check box that takes a click anywhere in its
/// rectangle, as the layout's controls do, not only on its box and caption.
template <typename Button>
class WholeControl final : public Button {
public:
    using Button::Button;

protected:
    bool hitButton(const QPoint& at) const override { return this->rect().contains(at); }
};

void Put(QWidget* control, const ControlPlace& place)
{
    control->setGeometry(place.Left, place.Top, place.Width, place.Height);
}

std::int16_t ButtonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

} // namespace

Form1::Form1(Clock* clock)
    : Playfield(MakeSurface(PlayfieldSize, PlayfieldSize)), Sheet(LoadSpriteSheet()),
      FrameClock(clock ? *clock : RealClock)
{
    CreateControls();
    ConnectHandlers();
    Form_Load();
    Timer1->start();
}

void Form1::CreateControls()
{
    setWindowTitle(QString::fromUtf8(WindowCaption));
    setFixedSize(ClientSize);
    setFont(CaptionFont());

    Picture1 = new PictureBox(Playfield, this);
    Put(Picture1, Picture1Place);
    Picture1->setMouseTracking(true);
    Presenter = std::make_unique<PlayfieldPresenter>(*Picture1);
    Picture2 = new PictureBox(Sheet, this);
    Put(Picture2, Picture2Place);

    Option1 = new QButtonGroup(this);
    for (int index = 0; index < OptionButtonCount; ++index) {
        auto* button = new WholeControl<QRadioButton>(QString::fromUtf8(Methods[std::size_t(index)].Caption), this);
        Put(button, Option1Places[std::size_t(index)]);
        Option1->addButton(button, index);
        Option1Buttons[std::size_t(index)] = button;
    }
    Option1Buttons[0]->setChecked(true);

    Check1 = new WholeControl<QCheckBox>(QString::fromUtf8(Check1Caption), this);
    Put(Check1, Check1Place);
    Check2 = new WholeControl<QCheckBox>(QString::fromUtf8(Check2Caption), this);
    Put(Check2, Check2Place);

    const auto control = [this](TabStop stop) -> QWidget* {
        switch (stop.Kind) {
        case Control::Picture1: return Picture1;
        case Control::Picture2: return Picture2;
        case Control::Option1: return Option1Buttons[std::size_t(stop.Index)];
        case Control::Check1: return Check1;
        case Control::Check2: return Check2;
        }
        return nullptr;
    };
    for (std::size_t n = 1; n < TabOrder.size(); ++n)
        setTabOrder(control(TabOrder[n - 1]), control(TabOrder[n]));

    Timer1 = new QTimer(this);
    Timer1->setInterval(Timer1Interval);
}

void Form1::ConnectHandlers()
{
    // Only the button that becomes selected raises a click; clicking the one
    // already selected changes nothing.
    connect(Option1, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Option1_Click(id);
    });
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    connect(Check2, &QCheckBox::toggled, this, [this] { Check2_Click(); });
    connect(Picture1, &PictureBox::MouseDown, this, [this](Qt::MouseButton button, QPointF at) {
        if (const std::int16_t number = ButtonNumber(button))
            Picture1_MouseDown(number, 0, float(at.x()), float(at.y()));
    });
    connect(Picture1, &PictureBox::MouseMove, this,
            [this](Qt::MouseButtons, QPointF at) { Picture1_MouseMove(0, 0, float(at.x()), float(at.y())); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void Form1::Form_Load()
{
    SeedRandom(Random.Generator);
    LoadWorld(TheWorld);
}

std::string Form1::OpenSession(const SessionFiles& files)
{
    std::string error = TheSession.Open(files, Random.Generator.State);
    ShowSwitches(); // while a script plays, the controls are its, not the user's
    return error;
}

void Form1::Form_QueryUnload() { TheWorld.Running = FlagFalse; }

void Form1::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept(); // the window leaves the screen; this object lives on until the loop returns
}

// Each handler is a command, applied and recorded as a replayed line is.

void Form1::Input(const Command& command)
{
    std::string error; // only a `random` line can fail, and no control makes one
    Apply(TheWorld, Random, command, error, TheSession.Recorder());
}

void Form1::Option1_Click(int Index) { Input({.Kind = CommandKind::Mode, .Mode = static_cast<SteeringMode>(Index)}); }

void Form1::Check1_Click() { Input({.Kind = CommandKind::Limit}); }

void Form1::Check2_Click() { Input({.Kind = CommandKind::Vectors}); }

void Form1::Picture1_MouseDown(std::int16_t Button, std::int16_t, float, float)
{
    if (!TheSession.Replaying()) // the script moves the marker
        Input({.Kind = CommandKind::Press, .Button = static_cast<MouseButton>(Button)});
}

void Form1::Picture1_MouseMove(std::int16_t, std::int16_t, float X, float Y)
{
    if (!TheSession.Replaying())
        Input({.Kind = CommandKind::Move, .X = X, .Y = Y});
}

void Form1::ReplayPump::ProcessPendingEvents(std::uint32_t maxWaitMs)
{
    Form.Pump.ProcessPendingEvents(maxWaitMs);
    // A script with many commands between two frames is played in batches,
    // with the window's events handled between them, so a close still works.
    while (Form.PlayDueCommands() && Form.TheWorld.Running)
        Form.Pump.ProcessPendingEvents(0);
}

bool Form1::PlayDueCommands()
{
    if (!TheSession.Replaying())
        return false;
    constexpr int Batch = 4096;
    const int played = TheSession.PlayDue(TheWorld, Random, Batch);
    if (played > 0 || !TheSession.Replaying())
        ShowSwitches(); // the script's clicks on the controls; once it ends, they are the user's again
    return played == Batch;
}

void Form1::ShowSwitches()
{
    const QSignalBlocker blockOptions(Option1), blockLimit(Check1), blockVectors(Check2);
    if (int(TheWorld.Mode) < OptionButtonCount) {
        Option1Buttons[std::size_t(TheWorld.Mode)]->setChecked(true);
    } else { // a method with no button of its own: none is checked
        Option1->setExclusive(false);
        for (QRadioButton* button : Option1Buttons)
            button->setChecked(false);
        Option1->setExclusive(true);
    }
    Check1->setChecked(TheWorld.SpeedLimitOn != 0);
    Check2->setChecked(TheWorld.ShowVectors == 0);
    for (QWidget* control : findChildren<QAbstractButton*>())
        control->setEnabled(!TheSession.Replaying());
}

void Form1::Timer1_Timer()
{
    Timer1->stop(); // fires once: the loop must never be entered twice
    FrameServices services{TheWorld,  Random, Beep,       FrameClock, PumpAndReplay,
                           Playfield, Sheet,  *Presenter, &TheSession};
    FrameLoop(services, Pacing);
    TheSession.Flush();
}

int Form1::FinishSession()
{
    TheSession.Flush();
    return TheSession.Status();
}
