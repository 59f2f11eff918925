#pragma once

// Reading back what was drawn on a recording canvas.
#include "results/canvas.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

namespace norvanta {

// Readable test failure messages.
inline void PrintTo(const CanvasOperation& op, std::ostream* os)
{
    static const char* const kinds[] = {"Clear",  "Font", "LineWidth", "Line",
                                        "LineTo", "Rect", "MoveTo",    "Text"};
    *os << kinds[int(op.kind)] << "(" << op.from.x() << "," << op.from.y() << " " << op.to.x()
        << "," << op.to.y() << " " << (op.colour.windowText ? "window-text" : "rgb") << std::hex
        << op.colour.rgb << std::dec << " '" << op.text.toStdString() << "' " << op.size << ")";
}

} // namespace norvanta

namespace norvanta::test {

using Kind = CanvasOperation::Kind;

inline std::vector<CanvasOperation> operationsOf(const RecordingCanvas& canvas, Kind kind)
{
    std::vector<CanvasOperation> found;
    for (const CanvasOperation& op : canvas.operations()) {
        if (op.kind == kind)
            found.push_back(op);
    }
    return found;
}

// The texts drawn with their top-left corner at x (any y), top to bottom as drawn.
inline QStringList textsAtX(const RecordingCanvas& canvas, double x)
{
    QStringList texts;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::Text)) {
        if (op.from.x() == x)
            texts << op.text;
    }
    return texts;
}

// The texts drawn at y (any x), left to right as drawn.
inline QStringList textsAtY(const RecordingCanvas& canvas, double y)
{
    QStringList texts;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::Text)) {
        if (op.from.y() == y)
            texts << op.text;
    }
    return texts;
}

// The text drawn exactly at a point; empty when there is none.
inline QString textAt(const RecordingCanvas& canvas, QPointF at)
{
    for (const CanvasOperation& op : operationsOf(canvas, Kind::Text)) {
        if (op.from == at)
            return op.text;
    }
    return {};
}

// What shows: the lines, rectangles and texts, without the settings and moves between them.
inline std::vector<CanvasOperation> visibleOperations(const RecordingCanvas& canvas)
{
    std::vector<CanvasOperation> found;
    for (const CanvasOperation& op : canvas.operations()) {
        if (op.kind == Kind::Line || op.kind == Kind::LineTo || op.kind == Kind::Rectangle ||
            op.kind == Kind::Text)
            found.push_back(op);
    }
    return found;
}

} // namespace norvanta::test
