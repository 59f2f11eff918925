#include "data_line.h"

#include "common/field_reader.h"

namespace norvanta {

namespace {

qsizetype leadingBlanks(const QString& line)
{
    qsizetype i = 0;
    while (i < line.size() && line[i] == u' ')
        ++i;
    return i;
}

QString trimmedBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    const qsizetype start = leadingBlanks(text);
    return start < end ? text.mid(start, end - start) : QString();
}

bool onlyBlanksAndTabs(const QString& line)
{
    for (const QChar c : line) {
        if (c != u' ' && c != u'\t')
            return false;
    }
    return true;
}

} // namespace

DataLine readDataLine(const QString& line)
{
    DataLine result;
    if (onlyBlanksAndTabs(line))
        return result;
    if (QStringView(line).mid(leadingBlanks(line)).startsWith(u";*")) {
        result.kind = DataLine::Kind::GenreHeader;
        // Counted from the third character as stored, so an indented header
        // keeps part of its ";*".
        result.name = trimmedBlanks(line.mid(2));
        return result;
    }
    FieldReader reader(line);
    QString name = reader.next();
    if (name.startsWith(u';')) {
        result.kind = DataLine::Kind::Comment;
        return result;
    }
    result.kind = DataLine::Kind::Record;
    result.name = std::move(name);
    // A record line holds eleven values.
    result.values.reserve(11);
    while (!reader.lineEnded() && !reader.atEnd())
        result.values.append(reader.next());
    return result;
}

} // namespace norvanta
