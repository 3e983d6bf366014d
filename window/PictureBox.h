#pragma once

#include <QFrame>
#include <QImage>

#include "Raster.h"

/// A picture surface: shows a surface's persistent image inside a sunken
/// two-pixel border, and reports the mouse in pixels of its drawing area.
class PictureBox final : public QFrame {
    Q_OBJECT

public:
    PictureBox(const Surface& image, QWidget* parent);

    /// Where the drawing area's top-left pixel lies in the widget.
    QPoint DrawingOrigin() const { return contentsRect().topLeft(); }

signals:
    void MouseDown(Qt::MouseButton button, QPointF position);
    void MouseMove(Qt::MouseButtons buttons, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage View; ///< the surface's pixels, shared, never copied
};
