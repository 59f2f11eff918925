#pragma once

#include <QString>
#include <QStringList>

namespace norvanta {

// Converts the program's filter list "description|pattern|description|pattern"
// (patterns within one entry separated by ";") into file dialog name filters.
// File names here are case-sensitive, so each pattern matches its letters in
// either case ("*.txt" also finds R1.TXT), and "*.*" matches every name, with
// or without a dot, as it does where the program's files come from.
QStringList qtNameFilters(const QString& filter);

// The index in qtNameFilters' list of the filter a dialog reports selected,
// whether it reports the whole filter or only the description the user saw;
// -1 when it is none of them.
int nameFilterIndex(const QStringList& nameFilters, const QString& selected);

} // namespace norvanta
