#include "file_lookup.h"

#include <QDir>
#include <QFileInfo>

namespace norvanta::calc {

using namespace Qt::StringLiterals;

namespace {

QString notFoundMessage(const QString& fileName, const QStringList& tried)
{
    QString message = fileName + u"が見つかりません。探した場所:"_s;
    for (const QString& path : tried)
        message += u"\n  "_s + path;
    return message;
}

} // namespace

ProgramFolders programFolders(const QString& programFolder, ProgramLayout layout)
{
    if (layout == ProgramLayout::BuildTree)
        return {programFolder, programFolder};
    const QString prefix = QDir::cleanPath(programFolder + u"/.."_s);
    return {prefix + u"/share/norvanta"_s, prefix + u"/lib/norvanta"_s};
}

LookupPlaces lookupPlaces(const QString& currentFolder, const ProgramFolders& own)
{
    return {currentFolder, QDir(QDir::homePath()).filePath(u"Norvanta"_s), own.data, own.library};
}

LookupResult findFile(const QString& fileName, const QStringList& folders)
{
    LookupResult result;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        // Two places may be one folder (the staging folder as current folder).
        if (result.tried.contains(path))
            continue;
        result.tried.append(path);
        if (QFileInfo(path).isFile()) {
            result.path = path;
            break;
        }
    }
    return result;
}

std::optional<QString> applyLookup(CalcOptions& options, const LookupPlaces& places)
{
    const struct {
        bool given;
        QString& path;
        QString fileName;
        QStringList folders;
    } files[] = {
        {options.databaseGiven, options.databasePath, u"Norvane.dat"_s,
         {places.currentFolder, places.userFolder, places.installedDataFolder}},
        {options.libraryGiven, options.libraryPath, u"Norvane.dll"_s,
         {places.installedLibraryFolder}},
    };
    for (const auto& file : files) {
        if (file.given)
            continue;
        const LookupResult found = findFile(file.fileName, file.folders);
        if (!found.path)
            return notFoundMessage(file.fileName, found.tried);
        file.path = *found.path;
    }
    return std::nullopt;
}

} // namespace norvanta::calc
