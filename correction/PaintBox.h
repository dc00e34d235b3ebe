// An opaque drawing area that hands its painting and mouse input to its owner
// through callbacks, so the editor window keeps its handlers in one place.
#pragma once

#include <QWidget>
#include <functional>

class QPainter;

namespace bitonix {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent);

    // Paints every pixel of the area (the background is not erased first).
    std::function<void(QPainter&)> OnPaint;
    // Button pressed, mouse moved (with or without a button), button released;
    // positions in the area's client pixels.
    std::function<void(QMouseEvent&)> OnMouseDown;
    std::function<void(QMouseEvent&)> OnMouseMove;
    std::function<void(QMouseEvent&)> OnMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace bitonix
