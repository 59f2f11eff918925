#include "compound_database.h"

#include "common/failure.h"
#include "common/number_text.h"
#include "common/text_file.h"
#include "physical_lines.h"

namespace norvanta {

namespace {

QString leftTrimmedBlanks(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return text.mid(i);
}

QString trimmedBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return leftTrimmedBlanks(text.left(end));
}

// The name a record line shows in the browser: the text between the quotes
// when the line holds exactly two, otherwise the text before the first comma.
QString browserName(const QString& line)
{
    if (line.count(u'"') == 2) {
        const qsizetype first = line.indexOf(u'"');
        const qsizetype second = line.indexOf(u'"', first + 1);
        return line.mid(first + 1, second - first - 1);
    }
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0)
        throw Failure(FailureCode::InvalidArgument);
    return line.left(comma);
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
    if (leftTrimmedBlanks(line).startsWith(u";*")) {
        if (genre_ == MaxGenres)
            throw Failure(FailureCode::IndexOutOfRange);
        ++genre_;
        record_ = 0;
        // The name counts from the third character of the line as stored, so
        // an indented header keeps part of its ";*".
        const QString name = trimmedBlanks(line.mid(2));
        genreNames_.append(name);
        rows_[genre_] = QStringList{name};
        return;
    }
    if (line.startsWith(u';'))
        return;

    const QString name = browserName(line);
    if (record_ == MaxRecordsPerGenre)
        throw Failure(FailureCode::IndexOutOfRange);
    ++record_;
    QStringList& row = rows_[genre_];
    if (row.isEmpty())
        row.append(QString());
    row.append(name);
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
