#include "app/file_dialog_filter.h"

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

QString caseBlindPattern(const QString& pattern)
{
    if (pattern == u"*.*"_s)
        return u"*"_s;
    QString result;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (lower != upper)
            result += u'[' + lower + upper + u']';
        else
            result += c;
    }
    return result;
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns += caseBlindPattern(pattern.trimmed());
        // The dialog takes the patterns from the last parentheses; the description
        // before them is what the user sees.
        result += parts[i] + u" ("_s + patterns.join(u' ') + u')';
    }
    return result;
}

int nameFilterIndex(const QStringList& nameFilters, const QString& selected)
{
    for (qsizetype i = 0; i < nameFilters.size(); ++i) {
        const QString& filter = nameFilters[i];
        const qsizetype patterns = filter.lastIndexOf(u" ("_s);
        if (filter == selected || (patterns > 0 && filter.left(patterns) == selected))
            return int(i);
    }
    return -1;
}

} // namespace norvanta
