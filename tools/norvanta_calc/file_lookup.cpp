#include "file_lookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace norvanta::calc {

using namespace Qt::StringLiterals;

namespace {

// The installed copy's folder relative to the program's bin folder, or the
// program's own folder when it runs from the build tree's staging folder.
QString installedFolder(const QString& programFolder, const QString& relative)
{
    const QString installed = QDir::cleanPath(programFolder + u"/../"_s + relative);
    return QFileInfo(installed).isDir() ? installed : programFolder;
}

QString notFoundMessage(const QString& fileName, const QStringList& tried)
{
    QString message = fileName + u"が見つかりません。探した場所:"_s;
    for (const QString& path : tried)
        message += u"\n  "_s + path;
    return message;
}

} // namespace

LookupPlaces lookupPlaces(const QString& currentFolder)
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {currentFolder, QDir(QDir::homePath()).filePath(u"Norvanta"_s),
            installedFolder(programFolder, u"share/norvanta"_s),
            installedFolder(programFolder, u"lib/norvanta"_s)};
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
