#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(const Surface& image, QWidget* parent)
    : QFrame(parent), View(reinterpret_cast<const uchar*>(image.Pixels.data()), image.Width, image.Height,
                           image.Width * int(sizeof(Pixel)), QImage::Format_RGB32)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.drawImage(DrawingOrigin(), View);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->position() - QPointF(DrawingOrigin()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(event->buttons(), event->position() - QPointF(DrawingOrigin()));
}
