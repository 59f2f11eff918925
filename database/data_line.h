#pragma once

#include <QString>
#include <QStringList>

namespace norvanta {

// One physical line of Norvane.dat as every reader of the file takes it: the
// browser table, the calculation's index, the duplicate test of registration
// and norvanta-update-data. One rule, so that a name the browser shows is the
// name a calculation finds and the name the update compares.
//
// - Blank: nothing but blanks and tabs.
// - GenreHeader: after leading blanks the line begins with ";*". Its name is
//   the line from its third character as stored, blanks around it removed.
// - Comment: any other line whose first field begins with ";".
// - Record: every other line. Its name is the first field and its values the
//   fields after it, as the field reader splits the line: blanks around an
//   unquoted field are dropped, a quoted field runs to the next quote.
struct DataLine {
    enum class Kind { Blank, Comment, GenreHeader, Record };

    Kind kind = Kind::Blank;
    QString name;
    QStringList values;
};

DataLine readDataLine(const QString& line);

} // namespace norvanta
