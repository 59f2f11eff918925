#include "app/equilibrium_motif.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace norvanta {

namespace {

// Conversion against temperature, both 0..1 across the area: a logistic
// rise centred where dG crosses zero.
double conversionAt(double t)
{
    return 1.0 / (1.0 + std::exp(-11.0 * (t - 0.5)));
}

} // namespace

void paintEquilibriumMotif(QPainter& painter, const QRectF& area, const MotifColours& colours)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = std::min(area.width(), area.height());
    const QRectF plot = area.adjusted(unit * 0.08, unit * 0.06, -unit * 0.04, -unit * 0.1);
    const auto at = [&plot](double t, double value) {
        return QPointF(plot.left() + t * plot.width(), plot.bottom() - value * plot.height());
    };

    QPen axesPen(colours.axes, std::max(1.0, unit * 0.018));
    axesPen.setCapStyle(Qt::RoundCap);
    painter.setPen(axesPen);
    painter.drawLine(at(0, 1.04), at(0, 0));
    painter.drawLine(at(0, 0), at(1.02, 0));
    for (int tick = 1; tick <= 4; ++tick) {
        const QPointF base = at(tick / 4.0, 0);
        painter.drawLine(base, base + QPointF(0, unit * 0.03));
    }

    // dG falls with temperature and changes sign at the midpoint.
    QPen gibbsPen(colours.gibbs, std::max(1.0, unit * 0.016), Qt::DashLine);
    gibbsPen.setCapStyle(Qt::RoundCap);
    painter.setPen(gibbsPen);
    painter.drawLine(at(0.04, 0.9), at(0.96, 0.1));

    QPainterPath curve(at(0, conversionAt(0)));
    constexpr int steps = 60;
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        curve.lineTo(at(t, conversionAt(t)));
    }
    QPen curvePen(colours.conversion, std::max(1.5, unit * 0.035));
    curvePen.setCapStyle(Qt::RoundCap);
    curvePen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(curvePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);

    // The equilibrium point: half converted where dG = 0.
    const double radius = unit * 0.045;
    painter.setPen(QPen(colours.axes, std::max(1.0, unit * 0.012)));
    painter.setBrush(colours.conversion);
    painter.drawEllipse(at(0.5, 0.5), radius, radius);
    painter.restore();
}

} // namespace norvanta
