#include "report_text.h"

#include "common/number_text.h"

namespace norvanta {

namespace {

const QString kLimitMark = QStringLiteral("ﾟ");
const QString kLineEnd = QStringLiteral("\r\n");
constexpr QChar kTab = u'\t';

// One reaction term: coefficient when above 1, the limiting mark, and the
// name in parentheses when a coefficient stands before a name that itself
// begins with a positive number (2(1-butene)).
QString term(const QString& coefficientText, const QString& name, bool limiting)
{
    const double coefficient = leadingValue(coefficientText);
    const bool bracketed = coefficient > 1 && leadingValue(name) > 0;
    QString text;
    if (coefficient > 1)
        text += generalNumberText(coefficient);
    if (limiting)
        text += kLimitMark;
    if (bracketed)
        text += u'(';
    text += name;
    if (bracketed)
        text += u')';
    return text;
}

// A slot's separator is written whenever the slot has a name, so a gap
// before it still shows: +2H2 or :CH4 in a first place.
QString separated(int slot, const QString& name, QChar separator, const QString& text)
{
    return slot > 0 && !name.isEmpty() ? separator + text : text;
}

QString signedOrEmpty(bool computed, double value)
{
    return computed ? signedNumberText(value) : QString();
}

} // namespace

QString reactionLine(const ReactionFields& fields, int limitPos)
{
    QString line;
    for (int k = 0; k < 4; ++k) {
        const QString& name = fields.react[size_t(k)];
        line += separated(k, name, u'+', term(fields.reactNum[size_t(k)], name, k == limitPos));
    }
    line += u'=';
    for (int k = 0; k < 4; ++k) {
        const QString& name = fields.product[size_t(k)];
        line += separated(k, name, u'+', term(fields.productNum[size_t(k)], name, false));
    }
    return line;
}

QString ratioLine(const ReactionFields& fields)
{
    QString names;
    QString ratios;
    for (int k = 0; k < 4; ++k) {
        const QString& name = fields.react[size_t(k)];
        if (name.isEmpty())
            continue;
        names += separated(k, name, u':', name);
        ratios +=
            separated(k, name, u':', generalNumberText(leadingValue(fields.molar[size_t(k)])));
    }
    return names + u'=' + ratios;
}

QString pressureLine(const ReactionFields& fields)
{
    return QStringLiteral("全圧:") + fields.pressure + QStringLiteral(" atm");
}

QString MakeResultText(const ResultReportInput& input)
{
    const bool kelvin = input.temperatureUnit == TemperatureUnit::Kelvin;
    const bool kj = input.energyUnit == EnergyUnit::KJ;

    const QString header = (kelvin ? QStringLiteral("Temp./K") : QStringLiteral("Temp./ﾟC")) +
                           kTab + (kj ? QStringLiteral("dG/kJ") : QStringLiteral("dG/kcal")) +
                           kTab + QStringLiteral("Kp") + kTab + QStringLiteral("Conv./%");
    const QStringList lines = {
        QStringLiteral("化学平衡計算の結果"),
        QString(),
        QStringLiteral("日時 ") + input.timestamp.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss")),
        QString(),
        QStringLiteral("*** 反 応 系 ***"),
        reactionLine(input.fields, input.limitPos),
        QStringLiteral("(ﾟ:制限化合物)"),
        QString(),
        QStringLiteral("*** 反応分圧比 ***"),
        ratioLine(input.fields),
        QString(),
        QStringLiteral("*** 反応全圧 ***"),
        pressureLine(input.fields),
        QString(),
        QStringLiteral("*** 平衡計算の結果 ***"),
        header,
    };

    QString text;
    for (const QString& line : lines)
        text += line + kLineEnd;

    const auto& series = kelvin ? input.table.kelvin : input.table.celsius;
    for (int i = 0; i < ResultTable::kPoints; i += sampleStride(input.tetraPrecision)) {
        const ResultPoint& point = series[size_t(i)];
        const int temperature =
            kelvin ? ResultTable::kelvinTemperature(i) : ResultTable::celsiusTemperatureC(i);
        const double dG = kj ? point.dG * input.caltoj : point.dG;
        // The sign is the fraction's; only the digits are scaled to percent.
        const QString conversion = point.computed
                                       ? (point.conversion >= 0 ? QStringLiteral("+") : QString()) +
                                             generalNumberText(100 * point.conversion)
                                       : QString();
        text += u'+' + QString::number(temperature) + kTab + signedOrEmpty(point.computed, dG) +
                kTab + signedOrEmpty(point.computed, point.kp) + kTab + conversion + kLineEnd;
    }
    return text;
}

} // namespace norvanta
