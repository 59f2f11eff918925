// norvanta-update-data [SHIPPED [FOLDER]]: replaces FOLDER's Norvane.dat by the
// shipped one and appends the compounds registered there that the shipped
// file lacks, so that an upgrade brings new data without losing a registered
// compound. The previous file is kept as Norvane.dat.bak. Without arguments:
// the installed Norvane.dat and ~/Norvanta.
#include "database/data_file_update.h"

#include "common/failure.h"
#include "common/text_file.h"

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

const QString usage = u"使い方: norvanta-update-data [出荷時のNorvane.dat [作業フォルダ]]"_s;

int usageError(const QString& message)
{
    print(stderr, u"norvanta-update-data: "_s + message + u'\n' + usage);
    return 64;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Options first; "--" ends them, so that a file named "-x" can be given.
    QStringList arguments;
    bool options = true;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (options && argument == u"--"_s) {
            options = false;
        } else if (options && (argument == u"-h"_s || argument == u"--help"_s)) {
            print(stdout, usage);
            return 0;
        } else if (options && argument.startsWith(u'-') && argument != u"-"_s) {
            return usageError(u"知らないオプションです: "_s + argument);
        } else {
            arguments.append(argument);
        }
    }
    if (arguments.size() > 2)
        return usageError(u"引数が多すぎます"_s);
    const QString shipped =
        arguments.value(0, QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                           u"/../share/norvanta/Norvane.dat"_s));
    const QString folder = arguments.value(1, QDir::home().filePath(u"Norvanta"_s));
    const QString target = QDir(folder).filePath(u"Norvane.dat"_s);

    if (!QFileInfo(shipped).isFile())
        return fail(u"出荷時の化合物データファイルがありません: "_s + shipped);
    if (!QFileInfo(folder).isDir())
        return fail(u"作業フォルダがありません: "_s + folder);
    // A shipped file that cannot be read or holds no genre would leave the
    // working folder with no compounds: refused before anything is touched.
    try {
        if (const auto message = norvanta::unusableShippedMessage(norvanta::readFileBytes(shipped)))
            return fail(*message + u": "_s + shipped);
    } catch (const norvanta::Failure& failure) {
        return fail(u"出荷時の化合物データファイルを読み込めません(エラー番号 "_s +
                    QString::number(failure.code()) + u"): "_s + shipped);
    }

    norvanta::DataFileMerge merge;
    try {
        merge = norvanta::updateDataFile(shipped, target);
    } catch (const norvanta::Failure& failure) {
        return fail(target + u" を更新できません(エラー番号 "_s + QString::number(failure.code()) +
                    u")。元のファイルはそのままです"_s);
    }
    for (const QString& name : merge.kept)
        print(stdout, u"norvanta-update-data: 「"_s + name + u"」を引き継ぎました"_s);
    for (const QString& name : merge.dropped)
        print(stderr, u"norvanta-update-data: 「"_s + name +
                          u"」は出荷時のデータに含まれるため引き継ぎませんでした"_s);
    for (const QString& name : merge.repeated)
        print(stderr,
              u"norvanta-update-data: 「"_s + name +
                  u"」は大文字・小文字だけが違う名前を引き継いだため引き継ぎませんでした"_s);
    print(stdout, target + u" を更新しました(登録データ "_s + QString::number(merge.kept.size()) +
                      u" 件を引き継ぎ、"_s +
                      QString::number(merge.dropped.size() + merge.repeated.size()) +
                      u" 件は引き継ぎませんでした)"_s);
    return 0;
}
