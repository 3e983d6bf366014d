#include "PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(const Surface& image, QWidget* parent)
    : QFrame(parent), View(reinterpret_cast<const uchar*>(image.Pixels.data()), image.Width, image.Height,
                           image.Width * int(sizeof(Pixel)), QImage::Format_RGB32)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // The border and the image cover every pixel: no background fill first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    // A frame's repaint lies inside the border; only an expose reaches it.
    if (!contentsRect().contains(event->rect()))
        QFrame::paintEvent(event);
    // Only what was asked for: a frame's changed tiles, or what an expose uncovered.
    QPainter painter(this);
    for (const QRect& asked : event->region()) {
        const QRect target = asked & contentsRect();
        if (!target.isEmpty())
            painter.drawImage(target, View, target.translated(-DrawingOrigin()));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->position() - QPointF(DrawingOrigin()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(event->buttons(), event->position() - QPointF(DrawingOrigin()));
}
