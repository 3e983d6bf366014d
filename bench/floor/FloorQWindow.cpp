// The floor for a Qt window without widgets: a QWindow with its own
// QBackingStore, the changed rectangle painted and flushed every 26 ms.

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <QWindow>

#include "FloorJob.h"

using namespace floor_job;

class Field final : public QWindow {
public:
    Field()
    {
        setTitle("floor");
        resize(WindowWidth, WindowHeight);
        Image.fill(Qt::white);
        Timer.setTimerType(Qt::PreciseTimer);
        connect(&Timer, &QTimer::timeout, this, [this] {
            const Rect changed = Step(reinterpret_cast<std::uint32_t*>(Image.bits()), Size, Steps);
            if (isExposed())
                Paint(QRect(changed.X + Left, changed.Y + Top, changed.Width, changed.Height));
        });
        Timer.start(IntervalMs);
    }

protected:
    void exposeEvent(QExposeEvent*) override
    {
        if (isExposed())
            Paint(QRect(QPoint(), size()));
    }
    void resizeEvent(QResizeEvent* event) override { Store.resize(event->size()); }

private:
    void Paint(const QRect& rect)
    {
        Store.beginPaint(rect);
        QPainter painter(Store.paintDevice());
        painter.fillRect(rect, Qt::lightGray);
        const QRect target = rect & QRect(Left, Top, Size, Size);
        if (!target.isEmpty())
            painter.drawImage(target, Image, target.translated(-Left, -Top));
        painter.end();
        Store.endPaint();
        Store.flush(rect);
    }

    QBackingStore Store{this};
    QImage Image{Size, Size, QImage::Format_RGB32};
    QTimer Timer;
    int Steps = 0;
};

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    Field field;
    field.show();
    QTimer::singleShot(int(Seconds(argc, argv) * 1000), &application, &QGuiApplication::quit);
    return application.exec();
}
