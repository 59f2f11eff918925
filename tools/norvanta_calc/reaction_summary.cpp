#include "reaction_summary.h"

#include "engine/temperature_sweep.h"

#include <QStringList>

#include <cmath>

namespace norvanta::calc {

using namespace Qt::StringLiterals;

namespace {

// Bisection on temperature stops when the bracket is this narrow, well
// below the 0.1 K the line shows.
constexpr double kTemperatureResolution = 1e-3;

QString temperatureColumns(const Crossing& crossing)
{
    switch (crossing.place) {
    case Crossing::Place::Below:
        return QString::fromUtf16(kBelowWord) + u'\t' + QString::fromUtf16(kBelowWord);
    case Crossing::Place::Above:
        return QString::fromUtf16(kAboveWord) + u'\t' + QString::fromUtf16(kAboveWord);
    case Crossing::Place::At:
        break;
    }
    return QString::number(crossing.kelvin, 'f', 1) + u'\t' +
           QString::number(crossing.kelvin - 273, 'f', 1);
}

} // namespace

Crossing gibbsZeroCrossing(const ResultTable& table)
{
    for (int i = 0; i < ResultTable::kPoints; i += 4) {
        const ResultPoint& from = table.kelvin[size_t(i)];
        if (!from.computed)
            continue;
        const double kelvin = ResultTable::kelvinTemperature(i);
        if (from.dG == 0)
            return {Crossing::Place::At, kelvin};
        if (i + 4 >= ResultTable::kPoints)
            break;
        const ResultPoint& to = table.kelvin[size_t(i + 4)];
        if (to.computed && (from.dG < 0) != (to.dG < 0) && to.dG != 0)
            return {Crossing::Place::At, kelvin + 100 * from.dG / (from.dG - to.dG)};
    }
    const double first = table.kelvin.front().dG;
    const double last = table.kelvin.back().dG;
    return {std::fabs(last) < std::fabs(first) ? Crossing::Place::Above : Crossing::Place::Below};
}

Crossing conversionCrossing(const ResultTable& table, double target,
                            const std::function<double(double kelvin)>& conversionAt)
{
    using Direction = Crossing::Direction;
    int first = -1;
    int before = -1;
    bool beforeUnder = false;
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        const ResultPoint& point = table.kelvin[size_t(i)];
        if (!point.computed)
            continue;
        const bool under = point.conversion < target;
        if (before >= 0 && under != beforeUnder) {
            // lo stays on the side of the point before, hi on this point's.
            double lo = ResultTable::kelvinTemperature(before);
            double hi = ResultTable::kelvinTemperature(i);
            while (hi - lo > kTemperatureResolution) {
                const double mid = (lo + hi) / 2;
                ((conversionAt(mid) < target) == beforeUnder ? lo : hi) = mid;
            }
            return {Crossing::Place::At, (lo + hi) / 2,
                    beforeUnder ? Direction::Rises : Direction::Falls};
        }
        if (first < 0)
            first = i;
        before = i;
        beforeUnder = under;
    }
    if (first < 0)
        return {Crossing::Place::Above};
    const bool falls =
        table.kelvin[size_t(before)].conversion < table.kelvin[size_t(first)].conversion;
    const bool farSide = falls ? beforeUnder : !beforeUnder;
    return {farSide ? Crossing::Place::Below : Crossing::Place::Above, 0,
            falls ? Direction::Falls : Direction::Rises};
}

QString reactionSummary(const QString& fileName, const ResultTable& table,
                        const ReactionDefinition& definition, const CompoundIndex& database,
                        SolverFunctions& solver, double kpFactor,
                        const std::vector<double>& targets)
{
    TemperatureSweep sweep(definition, database, solver, kpFactor, true, {});
    const auto conversionAt = [&sweep](double kelvin) {
        return sweep.kelvinPointAt(kelvin).conversion;
    };
    std::vector<Crossing> crossings;
    for (const double target : targets)
        crossings.push_back(conversionCrossing(table, target, conversionAt));
    return summaryLine(fileName, gibbsZeroCrossing(table), crossings);
}

std::vector<double> parseTargets(const QString& text)
{
    std::vector<double> targets;
    for (const QString& item : text.split(u',')) {
        bool ok = false;
        const double percent = item.trimmed().toDouble(&ok);
        if (!ok || !(percent > 0 && percent <= 100))
            return {};
        targets.push_back(percent / 100);
    }
    return targets;
}

QString summaryHeader(const std::vector<double>& targets)
{
    QString line = u"ファイル\tdG=0(K)\tdG=0(℃)"_s;
    for (const double target : targets) {
        const QString percent = QString::number(target * 100, 'g', 15) + u'%';
        line += u'\t' + percent + u"(K)\t"_s + percent + u"(℃)\t"_s + percent + u"(向き)"_s;
    }
    return line;
}

QString summaryLine(const QString& fileName, const Crossing& gibbsZero,
                    const std::vector<Crossing>& targets)
{
    QString line = fileName + u'\t' + temperatureColumns(gibbsZero);
    for (const Crossing& crossing : targets) {
        line += u'\t' + temperatureColumns(crossing) + u'\t' +
                QString::fromUtf16(crossing.direction == Crossing::Direction::Falls ? kFallsWord
                                                                                    : kRisesWord);
    }
    return line;
}

QString failedSummaryLine(const QString& fileName, std::size_t targetCount)
{
    return fileName + QString(qsizetype(2 + 3 * targetCount), u'\t');
}

} // namespace norvanta::calc
