#include "run_errors.h"

#include "common/failure.h"
#include "common/number_text.h"
#include "common/text_file.h"

#include <QDir>

namespace norvanta {

using namespace Qt::StringLiterals;

RunMessage unusableSolverMessage(const QString& startFolder)
{
    return unusableLibraryMessage(QDir(startFolder).filePath(u"Norvane.dll"_s));
}

RunMessage unusableLibraryMessage(const QString& libraryPath)
{
    if (FileExists(libraryPath))
        return {u"Norvane.dllファイルが異常なため計算できません"_s, MessageIcon::Exclamation};
    return {u"Norvane.dllファイルがないため計算できません"_s, MessageIcon::Exclamation};
}

RunMessage runFailureMessage(int code)
{
    if (code == FailureCode::ReadPastEnd)
        return {u"化合物データファイル(Norvane.dat)が異常です"_s, MessageIcon::Exclamation};
    return {u"内部エラー(No:"_s + blankSignedNumberText(code) + u")が発生しました"_s,
            MessageIcon::Error};
}

} // namespace norvanta
