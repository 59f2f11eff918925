// norvanta-update-data [SHIPPED [FOLDER]]: replaces FOLDER's Norvane.dat by the
// shipped one and appends the compounds registered there that the shipped
// file lacks, so that an upgrade brings new data without losing a registered
// compound. The previous file is kept as Norvane.dat.bak. Without arguments:
// the installed Norvane.dat and ~/Norvanta.
#include "database/data_file_update.h"

#include "common/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

int fail(const QString& message)
{
    print(stderr, u"norvanta-update-data: "_s + message);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() > 2 || arguments.contains(u"-h"_s) || arguments.contains(u"--help"_s)) {
        print(arguments.size() > 2 ? stderr : stdout,
              u"使い方: norvanta-update-data [出荷時のNorvane.dat [作業フォルダ]]"_s);
        return arguments.size() > 2 ? 64 : 0;
    }
    const QString shipped =
        arguments.value(0, QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                           u"/../share/norvanta/Norvane.dat"_s));
    const QString folder = arguments.value(1, QDir::home().filePath(u"Norvanta"_s));
    const QString target = QDir(folder).filePath(u"Norvane.dat"_s);

    if (!QFileInfo(shipped).isFile())
        return fail(u"出荷時の化合物データファイルがありません: "_s + shipped);
    if (!QFileInfo(folder).isDir())
        return fail(u"作業フォルダがありません: "_s + folder);

    norvanta::DataFileMerge merge;
    try {
        merge = norvanta::updateDataFile(shipped, target);
    } catch (const norvanta::Failure& failure) {
        return fail(target + u" を更新できません(エラー番号 "_s + QString::number(failure.code()) +
                    u")。元のファイルはそのままです"_s);
    }
    for (const QString& name : merge.dropped)
        print(stderr, u"norvanta-update-data: 「"_s + name +
                          u"」は出荷時のデータに含まれるため引き継ぎませんでした"_s);
    print(stdout, target + u" を更新しました(登録データ "_s + QString::number(merge.kept.size()) +
                      u" 件を引き継ぎ、"_s + QString::number(merge.dropped.size()) +
                      u" 件は引き継ぎませんでした)"_s);
    return 0;
}
