// The main window under the offscreen platform: layout, captions, font, each
// handler's effect on the world, and the frame loop started by Timer1.

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "Form1.h"
#include "PictureBox.h"

class Form1Test : public QObject {
    Q_OBJECT

private:
    /// A shown window whose start-up timer is held back, so no frame loop runs
    /// unless a test starts it.
    std::unique_ptr<Form1> OpenForm()
    {
        auto form = std::make_unique<Form1>();
        form->Timer1->stop();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("window not exposed");
        return form;
    }

    static QRect Rect(int left, int top, int width, int height) { return QRect(left, top, width, height); }

private slots:
    void layoutIsExactlyAsTabled()
    {
        const auto form = OpenForm();
        QCOMPARE(form->size(), QSize(516, 318));
        QCOMPARE(form->windowTitle(), QString::fromUtf8("追尾ミサイルサンプル"));
        QCOMPARE(form->Picture1->geometry(), Rect(8, 8, 304, 304));
        QCOMPARE(form->Picture1->contentsRect(), Rect(2, 2, 300, 300));
        QCOMPARE(form->Picture1->frameShadow(), QFrame::Sunken);
        QCOMPARE(form->Picture2->geometry(), Rect(336, 16, 84, 68));
        QCOMPARE(form->Picture2->contentsRect().size(), QSize(80, 64));
        const char* captions[] = {"XY別通常追尾", "通常追尾", "角度追尾", "角度追尾2", "XY別加速追尾", "加速追尾"};
        static_assert(std::size(captions) == OptionButtonCount);
        for (int index = 0; index < OptionButtonCount; ++index) {
            QRadioButton* button = form->Option1Buttons[std::size_t(index)];
            QCOMPARE(button->geometry(), Rect(320, 104 + 24 * index, 169, 17));
            QCOMPARE(button->text(), QString::fromUtf8(captions[index]));
            QCOMPARE(form->Option1->id(button), index);
            QCOMPARE(button->isChecked(), index == 0);
        }
        QCOMPARE(form->Check1->geometry(), Rect(320, 256, 193, 25));
        QCOMPARE(form->Check2->geometry(), Rect(320, 280, 201, 25)); // cut off at the right edge
        QCOMPARE(form->Check1->text(), QString::fromUtf8("最高速度以上にならない"));
        QCOMPARE(form->Check2->text(), QString::fromUtf8("速度ベクトル表示をしない"));
        QVERIFY(!form->Check1->isChecked());
        QVERIFY(!form->Check2->isChecked());
        QCOMPARE(form->Timer1->interval(), 10);
    }

    void tabOrderPutsIndex3Last()
    {
        const auto form = OpenForm();
        const QList<QWidget*> expected = {form->Picture1,
                                          form->Picture2,
                                          form->Option1Buttons[0],
                                          form->Option1Buttons[1],
                                          form->Option1Buttons[2],
                                          form->Option1Buttons[4],
                                          form->Option1Buttons[5],
                                          form->Check1,
                                          form->Check2,
                                          form->Option1Buttons[3]};
        QWidget* widget = expected.front();
        for (int n = 1; n < expected.size(); ++n) {
            widget = widget->nextInFocusChain();
            QCOMPARE(widget, expected[n]);
        }
    }

    void everyCaptionRendersInOneJapaneseFace()
    {
        const auto form = OpenForm();
        const QFont font = form->Option1Buttons[0]->font();
        QCOMPARE(font.pointSize(), 12);
        const QFontMetrics metrics(font);
        const QString all = form->windowTitle() + form->Check1->text() + form->Check2->text() +
                            form->Option1Buttons[0]->text() + form->Option1Buttons[4]->text() +
                            form->Option1Buttons[3]->text();
        for (const uint codePoint : all.toUcs4())
            QVERIFY2(
                metrics.inFontUcs4(codePoint),
                qPrintable(
                    QString("missing U+%1 in %2").arg(codePoint, 4, 16, QChar('0')).arg(QFontInfo(font).family())));
    }

    void loadSetsTheSwitches()
    {
        const auto form = OpenForm();
        const World& world = form->GetWorld();
        QCOMPARE(world.ShowVectors, FlagTrue);
        QCOMPARE(world.Running, FlagTrue);
        QCOMPARE(world.SpeedLimitOn, FlagFalse);
        QCOMPARE(world.Mode, SteeringMode::PerAxisChase);
        QCOMPARE(world.MeX, 0.f);
    }

    void optionButtonsSetTheModeAndClearTheShots()
    {
        const auto form = OpenForm();
        World& world = form->GetWorld();
        world.Shots[4].Alive = FlagTrue;
        QTest::mouseClick(form->Option1Buttons[3], Qt::LeftButton);
        QCOMPARE(world.Mode, SteeringMode::AngleChase2);
        QCOMPARE(FlyingShots(world), 0);
        QTest::keyClick(form->Option1Buttons[3], Qt::Key_Down); // arrows move the selection too
        QCOMPARE(world.Mode, SteeringMode::PerAxisAccelChase);
    }

    void everyPartOfAControlTakesTheClick()
    {
        // A click at the far right of each control's rectangle, found the way
        // the window finds it: the control on top at that point.
        const auto form = OpenForm();
        const World& world = form->GetWorld();
        const auto clickAt = [&](int x, int y, QWidget* expected) {
            QWidget* target = form->childAt(x, y);
            QCOMPARE(target, expected);
            QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(form.get(), QPoint(x, y)));
        };
        for (const int index : {2, 5, 0, 4, 1, 3}) {
            clickAt(320 + 169 - 1, 104 + 24 * index + 8, form->Option1Buttons[std::size_t(index)]);
            QCOMPARE(world.Mode, static_cast<SteeringMode>(index));
        }
        clickAt(320 + 193 - 1, 256 + 12, form->Check1);
        QCOMPARE(world.SpeedLimitOn, FlagTrue);
        clickAt(515, 280 + 12, form->Check2); // the last column the window shows
        QCOMPARE(world.ShowVectors, FlagFalse);
        clickAt(400, 280, form->Check2); // the row both share: Check2 is on top
        QCOMPARE(world.ShowVectors, FlagTrue);
        QCOMPARE(world.SpeedLimitOn, FlagTrue);
    }

    void checkBoxesFlipTheirFlagOncePerChange()
    {
        const auto form = OpenForm();
        const World& world = form->GetWorld();
        QTest::mouseClick(form->Check1, Qt::LeftButton);
        QCOMPARE(world.SpeedLimitOn, FlagTrue);
        form->Check1->setFocus();
        QTest::keyClick(form->Check1, Qt::Key_Space);
        QCOMPARE(world.SpeedLimitOn, FlagFalse);
        QTest::mouseClick(form->Check2, Qt::LeftButton);
        QCOMPARE(world.ShowVectors, FlagFalse);
        QVERIFY(form->Check2->isChecked());
        QTest::mouseClick(form->Check2, Qt::LeftButton);
        QCOMPARE(world.ShowVectors, FlagTrue);
    }

    void pointerMovesTheMarkerInDrawingAreaPixels()
    {
        const auto form = OpenForm();
        const World& world = form->GetWorld();
        QTest::mouseMove(form->Picture1, QPoint(2 + 120, 2 + 45));
        QCOMPARE(world.MeX, 120.f);
        QCOMPARE(world.MeY, 45.f);
        // A drag that starts on the playfield keeps reporting outside it.
        QTest::mousePress(form->Picture1, Qt::LeftButton, {}, QPoint(50, 50));
        QMouseEvent drag(QEvent::MouseMove, QPointF(-30, 420), form->Picture1->mapToGlobal(QPointF(-30, 420)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(form->Picture1, &drag);
        QCOMPARE(world.MeX, -32.f);
        QCOMPARE(world.MeY, 418.f);
        QTest::mouseRelease(form->Picture1, Qt::LeftButton, {}, QPoint(50, 50));
    }

    void rightOrMiddlePressClearsLeftDoesNot()
    {
        const auto form = OpenForm();
        World& world = form->GetWorld();
        world.Shots[0].Alive = world.Shots[20].Alive = FlagTrue;
        QTest::mousePress(form->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(form->Picture1, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(FlyingShots(world), 2);
        QTest::mousePress(form->Picture1, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseRelease(form->Picture1, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(FlyingShots(world), 0);
        world.Shots[7].Alive = FlagTrue;
        QTest::mousePress(form->Picture1, Qt::MiddleButton, {}, QPoint(10, 10));
        QTest::mouseRelease(form->Picture1, Qt::MiddleButton, {}, QPoint(10, 10));
        QCOMPARE(FlyingShots(world), 0);
    }

    void timerRunsTheLoopOnceUntilTheWindowCloses()
    {
        // A clock that moves 5 ms at every reading and asks the window to close
        // once 400 ms have passed on it: the frames it paces do not depend on
        // how loaded the machine is.
        struct SteppingClock final : Clock {
            std::uint32_t Now = 0;
            Form1* Form = nullptr;
            std::uint32_t GetTickCount() override
            {
                if ((Now += 5) == 400)
                    QMetaObject::invokeMethod(Form, &Form1::close, Qt::QueuedConnection);
                return Now;
            }
        } clock;
        auto form = std::make_unique<Form1>(&clock);
        clock.Form = form.get();
        form->show();
        QTest::mouseMove(form->Picture1, QPoint(2 + 150, 2 + 150)); // every shot is caught at launch
        // The start-up timer fires after 10 ms and the loop runs inside its handler.
        QTRY_VERIFY_WITH_TIMEOUT(!form->GetWorld().Running, 10000);
        QVERIFY(!form->Timer1->isActive());
        QVERIFY(!form->isVisible());
        // A frame at once, then one each time more than 25 ms have passed on the clock's
        // readings (a frame's own readings move it too): 12 in 400 ms, perhaps one more
        // before the close is seen.
        QVERIFY2(form->GetWorld().FrameCount >= 12 && form->GetWorld().FrameCount <= 13,
                 qPrintable(QString::number(form->GetWorld().FrameCount)));
    }

    void closingBeforeTheTimerRunsNoFrame()
    {
        auto form = std::make_unique<Form1>();
        form->show();
        form->close();
        QTest::qWait(50);
        QCOMPARE(form->GetWorld().FrameCount, 0);
        QCOMPARE(form->GetWorld().Running, FlagFalse);
    }
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"
