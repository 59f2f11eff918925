#include "composition_view.h"

#include "common/number_text.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr double kCelsiusOffset = 273.15;

// The largest mole fraction of each species over every point of every series.
std::vector<double> largestFractions(const CompositionView& view)
{
    std::vector<double> largest(size_t(view.species.size()), 0.0);
    for (const ShownSeries& series : view.series) {
        for (const CompositionPoint& point : series.points) {
            for (size_t s = 0; s < largest.size() && s < point.moleFractions.size(); ++s) {
                if (std::isfinite(point.moleFractions[s]))
                    largest[s] = std::max(largest[s], point.moleFractions[s]);
            }
        }
    }
    return largest;
}

QString csvField(const QString& field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

} // namespace

double shownTemperature(const CompositionPoint& point, TemperatureUnit unit)
{
    return unit == TemperatureUnit::Kelvin ? point.kelvin : point.kelvin - kCelsiusOffset;
}

QString temperatureText(const CompositionPoint& point, TemperatureUnit unit)
{
    const long degrees = std::lround(shownTemperature(point, unit));
    return QString::number(degrees) + (unit == TemperatureUnit::Kelvin ? u" K"_s : u" ﾟC"_s);
}

QString pressuresText(const std::vector<double>& pressures)
{
    QStringList texts;
    for (const double p : pressures)
        texts << generalNumberText(p);
    return texts.join(u", "_s) + u" atm"_s;
}

ListedSpecies listedSpecies(const CompositionView& view, double cutoff)
{
    const std::vector<double> largest = largestFractions(view);
    std::vector<int> order(largest.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return largest[size_t(a)] > largest[size_t(b)]; });
    ListedSpecies listed;
    for (const int s : order) {
        if (largest[size_t(s)] >= cutoff)
            listed.shown.push_back(s);
        else
            ++listed.hidden;
    }
    return listed;
}

QString compositionHeading(const QStringList& feedNames, const std::vector<double>& feedMoles,
                           const std::vector<double>& pressures,
                           std::optional<double> adiabaticFeedKelvin)
{
    QStringList ratios;
    for (const double moles : feedMoles)
        ratios << generalNumberText(moles);
    QString heading = u"原料 "_s + feedNames.join(u':') + u'=' + ratios.join(u':') + u"　全圧 "_s +
                      pressuresText(pressures);
    if (adiabaticFeedKelvin)
        heading += u"　断熱 (原料 "_s + generalNumberText(*adiabaticFeedKelvin) + u" K)"_s;
    return heading;
}

std::optional<std::vector<double>> readPressures(const QString& text)
{
    static const QRegularExpression separators(u"[,、\\s]+"_s);
    std::vector<double> pressures;
    for (const QString& item : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const double p = item.toDouble(&ok);
        if (!ok || !std::isfinite(p) || p <= 0)
            return std::nullopt;
        pressures.push_back(p);
    }
    return pressures;
}

QString csvFromTabText(const QString& text, const QString& lineEnd)
{
    QStringList lines = text.split(lineEnd);
    for (QString& line : lines) {
        QStringList fields = line.split(u'\t');
        for (QString& field : fields)
            field = csvField(field);
        line = fields.join(u',');
    }
    return lines.join(lineEnd);
}

} // namespace norvanta
