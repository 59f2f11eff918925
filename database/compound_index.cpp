#include "compound_index.h"

#include "common/failure.h"
#include "common/field_reader.h"
#include "common/number_text.h"
#include "common/text_file.h"
#include "data_line.h"
#include "physical_lines.h"

#include <algorithm>
#include <cmath>

namespace norvanta {

CompoundIndex CompoundIndex::load(const QString& path)
{
    return parse(readShiftJisFile(path));
}

CompoundIndex CompoundIndex::parse(const QString& text)
{
    CompoundIndex index;
    // A record line written by registration takes some 60 characters.
    const std::size_t expectedRecords = std::size_t(text.size() / 60 + 1);
    index.names_.reserve(expectedRecords);
    index.values_.reserve(expectedRecords * ValueFields);
    index.valueCounts_.reserve(expectedRecords);
    for (const QString& line : physicalLines(text)) {
        DataLine read = readDataLine(line);
        if (read.kind == DataLine::Kind::GenreHeader)
            index.genres_.append(read.name);
        if (read.kind != DataLine::Kind::Record)
            continue;
        index.genreOf_.push_back(int(index.genres_.size()) - 1);
        index.names_.push_back(std::move(read.name));
        const qsizetype count = std::min<qsizetype>(read.values.size(), ValueFields);
        for (qsizetype k = 0; k < ValueFields; ++k)
            index.values_.push_back(k < count ? std::move(read.values[k]) : QString());
        index.valueCounts_.push_back(qint8(count));
    }
    return index;
}

std::optional<int> CompoundIndex::find(const QString& name) const
{
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name)
            return int(i);
    }
    return std::nullopt;
}

std::optional<QString> CompoundIndex::duplicateOf(const QString& name) const
{
    const QString wanted = name.toUpper();
    for (const QString& stored : names_) {
        if (stored.toUpper() == wanted)
            return stored;
    }
    return std::nullopt;
}

QString CompoundIndex::name(int record) const
{
    if (record < 0 || record >= recordCount())
        throw Failure(FailureCode::IndexOutOfRange);
    return names_[std::size_t(record)];
}

QString CompoundIndex::genre(int record) const
{
    if (record < 0 || record >= recordCount())
        throw Failure(FailureCode::IndexOutOfRange);
    const int genre = genreOf_[std::size_t(record)];
    return genre < 0 ? QString() : genres_[genre];
}

double CompoundIndex::field(int record, int k) const
{
    if (record < 0 || record >= recordCount() || k < 1 || k > ValueFields)
        throw Failure(FailureCode::IndexOutOfRange);
    if (k > valueCounts_[std::size_t(record)])
        throw Failure(FailureCode::ReadPastEnd);
    const std::optional<double> value =
        leadingNumber(values_[std::size_t(record) * ValueFields + std::size_t(k - 1)]);
    if (!value)
        throw Failure(FailureCode::ReadPastEnd);
    if (!std::isfinite(*value))
        throw Failure(FailureCode::Overflow);
    return *value;
}

void CompoundIndex::requireFiniteValues(int record) const
{
    if (record < 0 || record >= recordCount())
        throw Failure(FailureCode::IndexOutOfRange);
    for (int k = 1; k <= valueCounts_[std::size_t(record)]; ++k) {
        const std::optional<double> value =
            leadingNumber(values_[std::size_t(record) * ValueFields + std::size_t(k - 1)]);
        if (value && !std::isfinite(*value))
            throw Failure(FailureCode::Overflow);
    }
}

double CompoundIndex::gibbsEnergy(int record, int kelvin) const
{
    if (kelvin < 300 || kelvin > 1000 || kelvin % 100 != 0)
        throw Failure(FailureCode::InvalidArgument);
    return field(record, kelvin / 100 + 1);
}

} // namespace norvanta
