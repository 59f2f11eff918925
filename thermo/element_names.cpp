#include "thermo_data.h"

#include <QHash>

namespace norvanta {

using namespace Qt::StringLiterals;

QString ThermoData::japaneseElementName(const QString& symbol)
{
    // Every element of the polynomial file.
    static const QHash<QString, QString> names{
        {u"H"_s, u"水素"_s},
        {u"D"_s, u"重水素"_s},
        {u"He"_s, u"ヘリウム"_s},
        {u"Li"_s, u"リチウム"_s},
        {u"Be"_s, u"ベリリウム"_s},
        {u"B"_s, u"ホウ素"_s},
        {u"C"_s, u"炭素"_s},
        {u"N"_s, u"窒素"_s},
        {u"O"_s, u"酸素"_s},
        {u"F"_s, u"フッ素"_s},
        {u"Ne"_s, u"ネオン"_s},
        {u"Na"_s, u"ナトリウム"_s},
        {u"Mg"_s, u"マグネシウム"_s},
        {u"Al"_s, u"アルミニウム"_s},
        {u"Si"_s, u"ケイ素"_s},
        {u"P"_s, u"リン"_s},
        {u"S"_s, u"硫黄"_s},
        {u"Cl"_s, u"塩素"_s},
        {u"Ar"_s, u"アルゴン"_s},
        {u"K"_s, u"カリウム"_s},
        {u"Ca"_s, u"カルシウム"_s},
        {u"Sc"_s, u"スカンジウム"_s},
        {u"Ti"_s, u"チタン"_s},
        {u"V"_s, u"バナジウム"_s},
        {u"Cr"_s, u"クロム"_s},
        {u"Mn"_s, u"マンガン"_s},
        {u"Fe"_s, u"鉄"_s},
        {u"Co"_s, u"コバルト"_s},
        {u"Ni"_s, u"ニッケル"_s},
        {u"Cu"_s, u"銅"_s},
        {u"Zn"_s, u"亜鉛"_s},
        {u"Ga"_s, u"ガリウム"_s},
        {u"Ge"_s, u"ゲルマニウム"_s},
        {u"Br"_s, u"臭素"_s},
        {u"Kr"_s, u"クリプトン"_s},
        {u"Rb"_s, u"ルビジウム"_s},
        {u"Sr"_s, u"ストロンチウム"_s},
        {u"Zr"_s, u"ジルコニウム"_s},
        {u"Nb"_s, u"ニオブ"_s},
        {u"Mo"_s, u"モリブデン"_s},
        {u"Ag"_s, u"銀"_s},
        {u"Cd"_s, u"カドミウム"_s},
        {u"In"_s, u"インジウム"_s},
        {u"Sn"_s, u"スズ"_s},
        {u"I"_s, u"ヨウ素"_s},
        {u"Xe"_s, u"キセノン"_s},
        {u"Cs"_s, u"セシウム"_s},
        {u"Ba"_s, u"バリウム"_s},
        {u"Ta"_s, u"タンタル"_s},
        {u"W"_s, u"タングステン"_s},
        {u"Hg"_s, u"水銀"_s},
        {u"Pb"_s, u"鉛"_s},
        {u"Rn"_s, u"ラドン"_s},
        {u"Th"_s, u"トリウム"_s},
        {u"U"_s, u"ウラン"_s},
    };
    return names.value(symbol, symbol);
}

} // namespace norvanta
