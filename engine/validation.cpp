#include "validation.h"

#include "database/compound_index.h"
#include "database/polynomial_file.h"
#include "thermo/thermo_data.h"

#include "common/failure.h"
#include "common/number_text.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 4;

ValidationFailure warning(const QString& text, FocusTarget focus)
{
    return {RunMessage{text, MessageIcon::Exclamation}, focus};
}

double divided(double value, double divisor)
{
    if (divisor == 0)
        throw Failure(FailureCode::DivisionByZero);
    return value / divisor;
}

// Closes up empty rows: an empty row takes the row below it, rows 1 to
// count + 1 visited in turn until the first `count` rows are all filled.
// `moveUp(j)` moves row j + 1 into row j and empties row j + 1.
//
// A single filled row in the last row lies beyond row count + 2, which that
// pass never reaches, so the pass is extended down to the lowest filled row.
// Wherever the plain pass finishes, the extended one visits the same rows.
template <typename IsEmpty, typename MoveUp>
void closeUpRows(int count, IsEmpty isEmpty, MoveUp moveUp)
{
    const auto allFilled = [&] {
        for (int j = 0; j < count; ++j) {
            if (isEmpty(j))
                return false;
        }
        return true;
    };
    const auto lowestFilled = [&] {
        int lowest = 0;
        for (int j = 0; j < kRows; ++j) {
            if (!isEmpty(j))
                lowest = j;
        }
        return lowest;
    };
    int j = 0;
    do {
        if (isEmpty(j) && j + 1 < kRows)
            moveUp(j);
        ++j;
        if (j > std::max(count, lowestFilled() - 1))
            j = 0;
    } while (!allFilled());
}

// A number the user typed; one too large for a double is no number the
// calculation can take.
std::optional<double> typedNumber(const QString& text)
{
    const double value = leadingValue(text);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

const QString kUnbalancedText = u"炭素,水素,酸素の化学量論が合っていません"_s;

QString notRegisteredText(const QString& side, int slot)
{
    return side + u"(No."_s + QString::number(slot) + u")はファイルに登録されていません"_s;
}

} // namespace

QString trimmedBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

void prepareReaction(ReactionFields& fields, ReactionDefinition& definition)
{
    for (int row = 0; row < kRows; ++row) {
        fields.react[row] = trimmedBlanks(fields.react[row]);
        fields.product[row] = trimmedBlanks(fields.product[row]);
    }
    definition = ReactionDefinition{};
}

std::optional<ValidationFailure> collectRows(ReactionFields& fields, ReactionDefinition& definition)
{
    // Names go to the next free slot; coefficients and ratios to the slot of
    // their row until the close-up below brings them together.
    int reactants = 0;
    for (int row = 0; row < kRows; ++row) {
        if (fields.react[row].isEmpty())
            continue;
        definition.reactantNames[reactants] = fields.react[row];
        if (fields.reactNum[row].isEmpty())
            fields.reactNum[row] = QStringLiteral("1");
        const auto coefficient = typedNumber(fields.reactNum[row]);
        if (!coefficient)
            return warning(kUnbalancedText, {FocusControl::ReactNum, row});
        definition.reactantCoefficients[row] = *coefficient;
        const auto ratio = typedNumber(fields.molar[row]);
        if (fields.molar[row].isEmpty() || !ratio)
            return warning(u"分圧(比)を入力してください"_s, {FocusControl::Molar, row});
        definition.reactantRatios[row] = *ratio;
        ++reactants;
    }
    definition.reactantCount = reactants;

    int products = 0;
    for (int row = 0; row < kRows; ++row) {
        if (fields.product[row].isEmpty())
            continue;
        definition.productNames[products] = fields.product[row];
        if (fields.productNum[row].isEmpty())
            fields.productNum[row] = QStringLiteral("1");
        const auto coefficient = typedNumber(fields.productNum[row]);
        if (!coefficient)
            return warning(kUnbalancedText, {FocusControl::ProductNum, row});
        definition.productCoefficients[row] = *coefficient;
        ++products;
    }
    definition.productCount = products;

    if (reactants == 0)
        return warning(u"反応系を入力してください"_s, {FocusControl::React, 0});
    if (products == 0)
        return warning(u"反応系を入力してください"_s, {FocusControl::Product, 0});

    closeUpRows(
        reactants, [&](int j) { return fields.react[j].isEmpty(); },
        [&](int j) {
            fields.react[j] = std::exchange(fields.react[j + 1], QString());
            fields.reactNum[j] = std::exchange(fields.reactNum[j + 1], QString());
            fields.molar[j] = std::exchange(fields.molar[j + 1], QString());
            definition.reactantCoefficients[j] =
                std::exchange(definition.reactantCoefficients[j + 1], 0.0);
            definition.reactantRatios[j] = std::exchange(definition.reactantRatios[j + 1], 0.0);
            if (fields.restrict == j + 1)
                fields.restrict = j;
        });
    closeUpRows(
        products, [&](int j) { return fields.product[j].isEmpty(); },
        [&](int j) {
            fields.product[j] = std::exchange(fields.product[j + 1], QString());
            fields.productNum[j] = std::exchange(fields.productNum[j + 1], QString());
            definition.productCoefficients[j] =
                std::exchange(definition.productCoefficients[j + 1], 0.0);
        });
    return std::nullopt;
}

namespace {

// The elements other than C, H and O that do not balance, in the order they
// first appear; nothing unless the polynomial file holds every compound.
std::optional<QString> otherElementOutOfBalance(const ReactionDefinition& definition,
                                                const PolynomialFile& polynomials)
{
    std::vector<std::pair<QString, double>> sums;
    const auto add = [&](const QString& name, double coefficient) {
        const auto species = polynomials.find(name);
        if (!species)
            return false;
        for (const ElementCount& e : polynomials.species()[size_t(*species)].elements) {
            if (e.symbol == u"C"_s || e.symbol == u"H"_s || e.symbol == u"O"_s)
                continue;
            auto sum = std::find_if(sums.begin(), sums.end(),
                                    [&](const auto& s) { return s.first == e.symbol; });
            if (sum == sums.end())
                sum = sums.insert(sums.end(), {e.symbol, 0.0});
            sum->second += e.count * coefficient;
        }
        return true;
    };
    for (int k = 0; k < definition.reactantCount; ++k) {
        if (!add(definition.reactantNames[k], definition.reactantCoefficients[k]))
            return std::nullopt;
    }
    for (int k = 0; k < definition.productCount; ++k) {
        if (!add(definition.productNames[k], -definition.productCoefficients[k]))
            return std::nullopt;
    }
    for (const auto& [symbol, sum] : sums) {
        if (sum != 0)
            return symbol;
    }
    return std::nullopt;
}

} // namespace

std::optional<ValidationFailure> checkCompounds(const ReactionDefinition& definition,
                                                const CompoundIndex& database,
                                                const PolynomialFile* polynomials)
{
    // Every compound is looked up once per element, so a compound missing
    // from the file is reported while carbon is checked, before any balance.
    for (int element = 0; element < 3; ++element) {
        double sum = 0;
        for (int k = 0; k < definition.reactantCount; ++k) {
            const auto record = database.find(definition.reactantNames[k]);
            if (!record)
                return warning(notRegisteredText(u"反応系"_s, k + 1), {FocusControl::React, k});
            sum += database.atomCount(*record, element) * definition.reactantCoefficients[k];
        }
        for (int k = 0; k < definition.productCount; ++k) {
            const auto record = database.find(definition.productNames[k]);
            if (!record)
                return warning(notRegisteredText(u"生成系"_s, k + 1), {FocusControl::Product, k});
            sum -= database.atomCount(*record, element) * definition.productCoefficients[k];
        }
        if (sum != 0)
            return warning(kUnbalancedText, {});
    }
    if (polynomials) {
        if (const auto element = otherElementOutOfBalance(definition, *polynomials))
            return warning(
                ThermoData::japaneseElementName(*element) + u"の化学量論が合っていません"_s, {});
    }
    return std::nullopt;
}

std::optional<ValidationFailure> normaliseReaction(const ReactionFields& fields,
                                                   ReactionDefinition& definition)
{
    int limiting = 0;
    for (int row = 0; row < kRows; ++row) {
        if (fields.restrict != row)
            continue;
        if (fields.react[row].isEmpty())
            return warning(u"制限化合物の指定が正しくありません"_s, {FocusControl::Restrict, row});
        limiting = row + 1;
    }
    if (limiting == 0)
        return warning(u"制限化合物を指定してください"_s, {FocusControl::Restrict, 0});
    definition.limitingCompound = limiting;

    auto& coefficients = definition.reactantCoefficients;
    auto& ratios = definition.reactantRatios;
    const int reactants = definition.reactantCount;
    std::swap(coefficients[0], coefficients[limiting - 1]);
    std::swap(definition.reactantNames[0], definition.reactantNames[limiting - 1]);
    std::swap(ratios[0], ratios[limiting - 1]);

    for (int k = 1; k < reactants; ++k)
        coefficients[k] = divided(coefficients[k], coefficients[0]);
    for (int k = 0; k < definition.productCount; ++k)
        definition.productCoefficients[k] =
            divided(definition.productCoefficients[k], coefficients[0]);
    coefficients[0] = 1;

    // No other reactant may run out before the limiting compound has fully reacted.
    if (reactants == 1) {
        ratios[0] = 1;
    } else {
        for (int k = 1; k < reactants; ++k) {
            if (!(divided(ratios[k], ratios[0]) >= coefficients[k]))
                return warning(u"分圧(比)かあるいは制限化合物の指定が正しくありません"_s, {});
        }
    }
    for (int k = reactants - 1; k >= 0; --k)
        ratios[k] = ratios[k] / ratios[0];

    const double pressure = typedNumber(fields.pressure).value_or(0);
    if (!(pressure > 0))
        return pressureFailure();
    definition.totalPressure = pressure;
    return std::nullopt;
}

ValidationFailure pressureFailure()
{
    return warning(u"全圧を正しく入力してください"_s, {FocusControl::Pressure, 0});
}

std::optional<ValidationFailure> validateReaction(ReactionFields& fields,
                                                  ReactionDefinition& definition,
                                                  const CompoundIndex& database,
                                                  const PolynomialFile* polynomials)
{
    prepareReaction(fields, definition);
    if (auto failure = collectRows(fields, definition))
        return failure;
    if (auto failure = checkCompounds(definition, database, polynomials))
        return failure;
    return normaliseReaction(fields, definition);
}

} // namespace norvanta
