// The floor for a Qt widget: one QWidget, its image painted in paintEvent,
// update() of the changed rectangle every 26 ms.

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "FloorJob.h"

using namespace floor_job;

class Field final : public QWidget {
public:
    Field()
    {
        setWindowTitle("floor");
        setFixedSize(WindowWidth, WindowHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true); // pointer motion reaches it, as it reaches the window
        Image.fill(Qt::white);
        Timer.setTimerType(Qt::PreciseTimer);
        connect(&Timer, &QTimer::timeout, this, [this] {
            const Rect changed = Step(reinterpret_cast<std::uint32_t*>(Image.bits()), Size, Steps);
            update(changed.X + Left, changed.Y + Top, changed.Width, changed.Height);
        });
        Timer.start(IntervalMs);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        for (const QRect& rect : event->region()) {
            painter.fillRect(rect, Qt::lightGray);
            const QRect target = rect & QRect(Left, Top, Size, Size);
            if (!target.isEmpty())
                painter.drawImage(target, Image, target.translated(-Left, -Top));
        }
    }

private:
    QImage Image{Size, Size, QImage::Format_RGB32};
    QTimer Timer;
    int Steps = 0;
};

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    Field field;
    field.show();
    QTimer::singleShot(int(Seconds(argc, argv) * 1000), &application, &QApplication::quit);
    return application.exec();
}
