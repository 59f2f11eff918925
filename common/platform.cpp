#include "common/platform.h"

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

// ".txt" of the single pattern "*.txt"; empty for anything else.
QString extensionOf(const QString& patterns)
{
    const QString pattern = patterns.trimmed();
    if (!pattern.startsWith(u"*."_s) || pattern.size() < 3)
        return {};
    const QString extension = pattern.mid(1);
    for (const QChar c : extension.mid(1)) {
        if (c == u'*' || c == u'?' || c == u'[' || c == u';' || c == u'.' || c.isSpace())
            return {};
    }
    return extension;
}

} // namespace

FileChoice withFilterExtension(const FileChoice& choice, const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    const qsizetype patternsAt = 2 * qsizetype(choice.filterIndex) + 1;
    if (choice.filterIndex < 0 || patternsAt >= parts.size())
        return choice;
    if (choice.fileName.isEmpty() || choice.fileName.contains(u'.'))
        return choice;
    const QString extension = extensionOf(parts[patternsAt]);
    if (extension.isEmpty())
        return choice;
    FileChoice completed = choice;
    completed.fullPath += extension;
    completed.fileName += extension;
    return completed;
}

} // namespace norvanta
