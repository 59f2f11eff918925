#include "compound_index.h"

#include "common/failure.h"
#include "common/field_reader.h"
#include "common/number_text.h"
#include "common/text_file.h"

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
    FieldReader reader(text);
    qsizetype position = 0; // 0 = a name, 1..11 = its value fields
    while (!reader.atEnd()) {
        QString item = reader.next();
        if (item.startsWith(u';'))
            continue;
        if (position == 0) {
            index.names_.push_back(std::move(item));
            index.values_.resize(index.values_.size() + ValueFields);
        } else {
            index.values_[index.values_.size() - ValueFields + position - 1] = std::move(item);
        }
        ++index.fieldCount_;
        position = (position + 1) % (ValueFields + 1);
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

double CompoundIndex::field(int record, int k) const
{
    if (record < 0 || record >= recordCount() || k < 1 || k > ValueFields)
        throw Failure(FailureCode::IndexOutOfRange);
    if (qsizetype(record) * (ValueFields + 1) + k >= fieldCount_)
        throw Failure(FailureCode::ReadPastEnd);
    return leadingValue(values_[std::size_t(record) * ValueFields + std::size_t(k - 1)]);
}

double CompoundIndex::gibbsEnergy(int record, int kelvin) const
{
    if (kelvin < 300 || kelvin > 1000 || kelvin % 100 != 0)
        throw Failure(FailureCode::InvalidArgument);
    return field(record, kelvin / 100 + 1);
}

} // namespace norvanta
