#include "compound_database.h"

#include "common/failure.h"
#include "common/number_text.h"
#include "common/text_file.h"
#include "data_line.h"
#include "physical_lines.h"

namespace norvanta {

namespace {

// The structure the browser requires of a record line besides its name: a
// line that does not hold exactly two double quotes must hold a comma. A
// blank line fails the same way.
void requireRecordShape(const QString& line)
{
    if (line.count(u'"') != 2 && !line.contains(u','))
        throw Failure(FailureCode::InvalidArgument);
}

} // namespace

CompoundDatabaseLoad CompoundDatabase::load(const QString& path)
{
    try {
        return parse(readShiftJisFile(path));
    } catch (const Failure& failure) {
        return {CompoundDatabase(), compoundDatabaseFailure(failure.code())};
    }
}

CompoundDatabaseLoad CompoundDatabase::parse(const QString& text)
{
    CompoundDatabaseLoad result;
    try {
        for (const QString& line : physicalLines(text))
            result.database.readLine(line);
    } catch (const Failure& failure) {
        result.failure = compoundDatabaseFailure(failure.code());
    }
    return result;
}

void CompoundDatabase::readLine(const QString& line)
{
    const DataLine read = readDataLine(line);
    switch (read.kind) {
    case DataLine::Kind::GenreHeader:
        if (genre_ == MaxGenres)
            throw Failure(FailureCode::IndexOutOfRange);
        ++genre_;
        record_ = 0;
        genreNames_.append(read.name);
        rows_[genre_] = QStringList{read.name};
        return;
    case DataLine::Kind::Comment:
        return;
    case DataLine::Kind::Blank:
    case DataLine::Kind::Record:
        requireRecordShape(line);
        break;
    }
    if (record_ == MaxRecordsPerGenre)
        throw Failure(FailureCode::IndexOutOfRange);
    ++record_;
    QStringList& row = rows_[genre_];
    if (row.isEmpty())
        row.append(QString());
    row.append(read.name);
}

QString CompoundDatabase::cell(int genre, int column) const
{
    if (genre < 0 || genre > MaxGenres || column < 0 || column > MaxRecordsPerGenre)
        throw Failure(FailureCode::IndexOutOfRange);
    const QStringList& row = rows_[genre];
    return column < row.size() ? row[column] : QString();
}

int CompoundDatabase::genreNumber(const QString& shownGenre) const
{
    for (int g = 1; g <= MaxGenres; ++g) {
        if (cell(g, 0) == shownGenre)
            return g;
    }
    return 0;
}

QStringList CompoundDatabase::genreEntries(int genre) const
{
    QStringList entries;
    if (genre < 1 || genre > MaxGenres)
        return entries;
    for (int k = 1; k <= MaxRecordsPerGenre; ++k) {
        const QString name = cell(genre, k);
        if (name.isEmpty())
            break;
        entries.append(name);
    }
    return entries;
}

CompoundDatabaseFailure compoundDatabaseFailure(int code)
{
    if (code == FailureCode::ReadPastEnd)
        return {code, QStringLiteral("化合物データファイル(Norvane.dat)が不正です"),
                MessageIcon::Exclamation};
    return {code,
            QStringLiteral("内部エラー(No:") + blankSignedNumberText(code) +
                QStringLiteral(")が発生しました"),
            MessageIcon::Error};
}

} // namespace norvanta
