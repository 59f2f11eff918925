#include "app/codec_check.h"

#include "common/platform.h"

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

QString codecMissingText()
{
    return u"Shift_JISの文字コード変換が使えないため、ファイルを読み書きできません。"
           u"Norvantaを終了します。"_s;
}

bool checkShiftJisCodec(Platform& platform, const char* codecName)
{
    if (codecAvailable(codecName))
        return true;
    showMessage(platform, codecMissingText(), MessageIcon::Error);
    return false;
}

} // namespace norvanta
