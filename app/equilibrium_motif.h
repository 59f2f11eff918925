#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace norvanta {

struct MotifColours {
    QColor axes;
    QColor conversion; // the conversion curve
    QColor gibbs;      // the dG line
};

// The program's emblem: a small equilibrium diagram in the given area, with
// the conversion of the limiting compound rising along the temperature axis
// and the reaction's dG falling through zero where the curve passes one half.
void paintEquilibriumMotif(QPainter& painter, const QRectF& area, const MotifColours& colours);

} // namespace norvanta
