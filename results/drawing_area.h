#pragma once

#include "canvas.h"

#include <QPointF>
#include <QWidget>

namespace norvanta {

// A drawing area of the results window. What is drawn on its canvas is kept
// as a picture and painted again whenever the widget is exposed, so covering
// and uncovering the window keeps the drawing. Mouse positions are reported
// in twips from the area's top-left corner.
class DrawingArea : public QWidget {
    Q_OBJECT

public:
    explicit DrawingArea(QWidget* parent = nullptr);

    // Draw here, then call update() to show it.
    RecordingCanvas& picture() { return picture_; }
    const RecordingCanvas& picture() const { return picture_; }

    QPointF toTwips(QPointF pixels) const;

Q_SIGNALS:
    void mousePressed(QPointF twips);
    void mouseMoved(QPointF twips);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    RecordingCanvas picture_;
};

} // namespace norvanta
