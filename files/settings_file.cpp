#include "settings_file.h"

#include "float_text.h"

#include "common/failure.h"
#include "common/field_reader.h"
#include "common/number_text.h"
#include "common/text_file.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <optional>
#include <variant>

namespace norvanta {

namespace {

using IntegerSetting = qint16 SettingsValues::*;
using FloatSetting = float SettingsValues::*;
using TextSetting = QString SettingsValues::*;
struct ReactionSetting {
    ReactionField field;
    int row;
};

struct SettingKey {
    const char16_t* name;
    std::variant<IntegerSetting, FloatSetting, TextSetting, ReactionSetting> target;
};

// Every key, in the order the file is written.
const std::array<SettingKey, 34>& settingKeys()
{
    using F = ReactionField;
    using S = SettingsValues;
    static const std::array<SettingKey, 34> keys{{
        {u"LimitPos", &S::LimitPos},
        {u"PlotMode", &S::PlotMode},
        {u"ReactantNum1", ReactionSetting{F::ReactNum, 0}},
        {u"ReactantNum2", ReactionSetting{F::ReactNum, 1}},
        {u"ReactantNum3", ReactionSetting{F::ReactNum, 2}},
        {u"ReactantNum4", ReactionSetting{F::ReactNum, 3}},
        {u"Reactant1", ReactionSetting{F::React, 0}},
        {u"Reactant2", ReactionSetting{F::React, 1}},
        {u"Reactant3", ReactionSetting{F::React, 2}},
        {u"Reactant4", ReactionSetting{F::React, 3}},
        {u"MolarRatio1", ReactionSetting{F::Molar, 0}},
        {u"MolarRatio2", ReactionSetting{F::Molar, 1}},
        {u"MolarRatio3", ReactionSetting{F::Molar, 2}},
        {u"MolarRatio4", ReactionSetting{F::Molar, 3}},
        {u"ProductNum1", ReactionSetting{F::ProductNum, 0}},
        {u"ProductNum2", ReactionSetting{F::ProductNum, 1}},
        {u"ProductNum3", ReactionSetting{F::ProductNum, 2}},
        {u"ProductNum4", ReactionSetting{F::ProductNum, 3}},
        {u"Product1", ReactionSetting{F::Product, 0}},
        {u"Product2", ReactionSetting{F::Product, 1}},
        {u"Product3", ReactionSetting{F::Product, 2}},
        {u"Product4", ReactionSetting{F::Product, 3}},
        {u"Pressure", ReactionSetting{F::Pressure, 0}},
        {u"TetraPrecision", &S::TetraPrecision},
        {u"DispHelp", &S::DispHelp},
        {u"ColorPrintMode", &S::ColorPrintMode},
        {u"MainLeft", &S::MainLeft},
        {u"MainTop", &S::MainTop},
        {u"ResultsLeft", &S::ResultsLeft},
        {u"ResultsTop", &S::ResultsTop},
        {u"Search", &S::Search},
        {u"UsualDirectory", &S::UsualDirectory},
        {u"PrintFontName", &S::PrintFontName},
        {u"PrintFontSize", &S::PrintFontSize},
    }};
    return keys;
}

const SettingKey* findKey(const QString& upperKey)
{
    for (const SettingKey& key : settingKeys()) {
        if (QString::fromUtf16(key.name).toUpper() == upperKey)
            return &key;
    }
    return nullptr;
}

QString withoutBlanks(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    while (end > start && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.mid(start, end - start).toString();
}

// The leading value rounded to the nearest integer, halves to the even one;
// nothing when that lies outside the 16-bit range.
std::optional<qint16> integerValue(QStringView text)
{
    const double value = leadingValue(text);
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return qint16(rounded);
}

// The leading value; nothing when a 32-bit float cannot hold it.
std::optional<float> floatValue(QStringView text)
{
    const double value = leadingValue(text);
    if (!(std::fabs(value) <= double(FLT_MAX)))
        return std::nullopt;
    return float(value);
}

// The text of the field, in ReactionFields or const ReactionFields.
template <typename Fields>
auto& fieldText(Fields& fields, ReactionField field, int row)
{
    switch (field) {
    case ReactionField::ReactNum:
        return fields.reactNum[row];
    case ReactionField::React:
        return fields.react[row];
    case ReactionField::Molar:
        return fields.molar[row];
    case ReactionField::ProductNum:
        return fields.productNum[row];
    case ReactionField::Product:
        return fields.product[row];
    case ReactionField::Pressure:
        break;
    }
    return fields.pressure;
}

// A value that Shift_JIS cannot hold, that holds a line break, or that holds
// a double quote (which would end its quoted entry early) would read back
// changed or shift the entries after it.
bool storable(const QString& value)
{
    return !value.contains(u'\r') && !value.contains(u'\n') && !value.contains(u'"') &&
           canStoreInShiftJis(value);
}

// A text entry as the file can hold it: its first-start value in place of
// one it cannot.
QString storableValue(const QString& value, const QString& firstStartValue)
{
    return storable(value) ? value : firstStartValue;
}

// The reaction rows as the file can hold them: a row with a text the file
// cannot hold is written empty as a whole, as is LimitPos when it points to
// such a reactant row, so the next start never restores half a row.
ReactionFields storableRows(const ReactionFields& fields, SettingsValues& written)
{
    ReactionFields rows = fields;
    for (size_t row = 0; row < 4; ++row) {
        if (!storable(fields.reactNum[row]) || !storable(fields.react[row]) ||
            !storable(fields.molar[row])) {
            rows.reactNum[row].clear();
            rows.react[row].clear();
            rows.molar[row].clear();
            if (written.LimitPos == qint16(row))
                written.LimitPos = SettingsValues().LimitPos;
        }
        if (!storable(fields.productNum[row]) || !storable(fields.product[row])) {
            rows.productNum[row].clear();
            rows.product[row].clear();
        }
    }
    return rows;
}

} // namespace

SettingsValues defaultSettings(const QString& startDirectory)
{
    SettingsValues values;
    values.UsualDirectory =
        startDirectory.endsWith(u'/') ? startDirectory : startDirectory + u'/';
    return values;
}

QString settingsFileName()
{
    return QStringLiteral("Norvane.ini");
}

void applyAssignment(ReactionFields& fields, const FieldAssignment& assignment)
{
    fieldText(fields, assignment.field, assignment.row) = assignment.text;
}

SettingsRead parseSettings(const QString& text, SettingsValues values)
{
    SettingsRead read{std::move(values), {}};
    FieldReader reader(text);
    while (!reader.atEnd()) {
        const QString entry = reader.next();
        const qsizetype equals = entry.indexOf(u'=');
        if (equals <= 0)
            continue;
        const SettingKey* key = findKey(withoutBlanks(QStringView(entry).left(equals)).toUpper());
        if (!key)
            continue;
        const QString value = withoutBlanks(QStringView(entry).mid(equals + 1));
        SettingsValues& v = read.values;
        if (const auto* integer = std::get_if<IntegerSetting>(&key->target)) {
            if (const auto parsed = integerValue(value))
                v.*(*integer) = *parsed;
        } else if (const auto* real = std::get_if<FloatSetting>(&key->target)) {
            if (const auto parsed = floatValue(value))
                v.*(*real) = *parsed;
        } else if (const auto* textSetting = std::get_if<TextSetting>(&key->target)) {
            v.*(*textSetting) = value;
        } else {
            const auto& reaction = std::get<ReactionSetting>(key->target);
            read.assignments.push_back({reaction.field, reaction.row, value});
        }
    }
    return read;
}

SettingsRead readSettingsFile(const QString& path, const SettingsValues& values)
{
    try {
        return parseSettings(readShiftJisFile(path), values);
    } catch (const Failure&) {
        return {values, {}};
    }
}

WindowEdges rememberedEdges(const SettingsValues& values)
{
    return {values.MainLeft, values.MainTop, values.ResultsLeft, values.ResultsTop};
}

QString settingsFileText(const SettingsValues& values, const ReactionFields& fields,
                         const WindowEdges& edges, const QString& startDirectory)
{
    SettingsValues written = values;
    written.MainLeft = edges.MainLeft;
    written.MainTop = edges.MainTop;
    written.ResultsLeft = edges.ResultsLeft;
    written.ResultsTop = edges.ResultsTop;

    const ReactionFields rows = storableRows(fields, written);
    SettingsValues firstStart = defaultSettings(startDirectory);
    if (startDirectory.isEmpty() || !storable(firstStart.UsualDirectory))
        firstStart.UsualDirectory.clear();
    const ReactionFields firstStartFields;
    QString text;
    for (const SettingKey& key : settingKeys()) {
        QString value;
        if (const auto* integer = std::get_if<IntegerSetting>(&key.target))
            value = QString::number(written.*(*integer));
        else if (const auto* real = std::get_if<FloatSetting>(&key.target))
            value = floatNumberText(written.*(*real));
        else if (const auto* textSetting = std::get_if<TextSetting>(&key.target))
            value = storableValue(written.*(*textSetting), firstStart.*(*textSetting));
        else {
            const auto& setting = std::get<ReactionSetting>(key.target);
            value = storableValue(fieldText(rows, setting.field, setting.row),
                                  fieldText(firstStartFields, setting.field, setting.row));
        }
        text += u'"' + QString::fromUtf16(key.name) + u'=' + value + QStringLiteral("\"\r\n");
    }
    return text;
}

bool writeSettingsFile(const QString& path, const SettingsValues& values,
                       const ReactionFields& fields, const WindowEdges& edges,
                       const QString& startDirectory)
{
    try {
        writeShiftJisFile(path, settingsFileText(values, fields, edges, startDirectory));
        return true;
    } catch (const Failure&) {
        return false;
    }
}

} // namespace norvanta
