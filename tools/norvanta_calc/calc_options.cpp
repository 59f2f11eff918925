#include "calc_options.h"

#include "reaction_summary.h"

#include <QDir>

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace norvanta::calc {

using namespace Qt::StringLiterals;

namespace {

const QString kTimestampFormat = u"MM-dd-yyyy HH:mm:ss"_s;

// A number of the command line, "." as the decimal point; nothing when the
// text is not a whole finite number.
std::optional<double> commandNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "FROM:TO:STEP": three finite numbers with "." whatever the locale, FROM
// above 0 and below TO, STEP above 0, at most kMaxRangePoints points.
std::optional<TemperatureRange> parseRange(const QString& value)
{
    const QStringList parts = value.split(u':');
    if (parts.size() != 3)
        return std::nullopt;
    std::array<double, 3> numbers{};
    for (int k = 0; k < 3; ++k) {
        const QByteArray text = parts[k].toLatin1();
        const char* last = text.constData() + text.size();
        const auto [end, error] = std::from_chars(text.constData(), last, numbers[size_t(k)]);
        if (text.isEmpty() || error != std::errc() || end != last ||
            !std::isfinite(numbers[size_t(k)]))
            return std::nullopt;
    }
    const TemperatureRange range{numbers[0], numbers[1], numbers[2]};
    if (!(range.from > 0 && range.from < range.to && range.step > 0) ||
        (range.to - range.from) / range.step >= kMaxRangePoints)
        return std::nullopt;
    return range;
}

// The options that take a value, and the check and store of each.
bool applyValue(const QString& name, const QString& value, CalcOptions& options, QString& error)
{
    const auto refuse = [&error](const QString& text) {
        error = text;
        return false;
    };
    if (name == u"step") {
        if (value == u"25")
            options.tetraPrecision = true;
        else if (value == u"100")
            options.tetraPrecision = false;
        else
            return refuse(u"--step には 100 か 25 を指定してください"_s);
    } else if (name == u"temperature") {
        if (value.compare(u"K"_s, Qt::CaseInsensitive) == 0)
            options.temperatureUnit = TemperatureUnit::Kelvin;
        else if (value.compare(u"C"_s, Qt::CaseInsensitive) == 0)
            options.temperatureUnit = TemperatureUnit::Celsius;
        else
            return refuse(u"--temperature には K か C を指定してください"_s);
    } else if (name == u"energy") {
        if (value.compare(u"kcal"_s, Qt::CaseInsensitive) == 0)
            options.energyUnit = EnergyUnit::Kcal;
        else if (value.compare(u"kJ"_s, Qt::CaseInsensitive) == 0)
            options.energyUnit = EnergyUnit::KJ;
        else
            return refuse(u"--energy には kcal か kJ を指定してください"_s);
    } else if (name == u"encoding") {
        if (value.compare(u"utf-8"_s, Qt::CaseInsensitive) == 0)
            options.encoding = OutputEncoding::Utf8;
        else if (value.compare(u"shift_jis"_s, Qt::CaseInsensitive) == 0)
            options.encoding = OutputEncoding::ShiftJis;
        else
            return refuse(u"--encoding には utf-8 か shift_jis を指定してください"_s);
    } else if (name == u"targets") {
        options.targets = parseTargets(value);
        if (options.targets.empty())
            return refuse(
                u"--targets には 0 より大きく 100 以下の転化率(%)をコンマで区切って指定してください"_s);
    } else if (name == u"species") {
        options.species.clear();
        for (const QString& item : value.split(u','))
            options.species.append(item.trimmed());
        if (options.species.contains(QString()))
            return refuse(u"--species には化合物名をコンマで区切って指定してください"_s);
    } else if (name == u"range") {
        options.range = parseRange(value);
        if (!options.range)
            return refuse(u"--range には 開始:終了:刻み を K で指定してください(0 < 開始 < 終了、"
                          u"刻み > 0、10000点まで)"_s);
    } else if (name == u"pressures") {
        options.pressures.clear();
        for (const QString& item : value.split(u',')) {
            const auto pressure = commandNumber(item);
            if (!pressure || !(*pressure > 0))
                return refuse(u"--pressures には正の全圧(atm)をコンマで区切って指定してください"_s);
            options.pressures.push_back(*pressure);
        }
    } else if (name == u"adiabatic") {
        const auto kelvin = commandNumber(value);
        if (!kelvin || !(*kelvin > 0))
            return refuse(u"--adiabatic には原料の温度(K、正の数)を指定してください"_s);
        options.adiabaticFeedKelvin = *kelvin;
    } else if (name == u"timestamp") {
        // Only the exact form, so that "3-5-2024" cannot pass for a fixed date line.
        const QDateTime timestamp = QDateTime::fromString(value, kTimestampFormat);
        if (!timestamp.isValid() || timestamp.toString(kTimestampFormat) != value)
            return refuse(
                u"--timestamp には \"MM-DD-YYYY HH:MM:SS\" の形で日時を指定してください"_s);
        options.timestamp = timestamp;
    } else {
        if (value.isEmpty())
            return refuse(u"--"_s + name + u" にはファイルのパスを指定してください"_s);
        if (name == u"data") {
            options.databasePath = value;
            options.databaseGiven = true;
        } else if (name == u"library") {
            options.libraryPath = value;
            options.libraryGiven = true;
        } else {
            options.constantsPath = value;
        }
    }
    return true;
}

bool takesValue(const QString& name)
{
    static const QStringList names = {u"step"_s,    u"temperature"_s, u"energy"_s,    u"data"_s,
                                      u"library"_s, u"constants"_s,   u"timestamp"_s, u"encoding"_s,
                                      u"targets"_s, u"species"_s,     u"range"_s,     u"pressures"_s,
                                      u"adiabatic"_s};
    return names.contains(name);
}

} // namespace

ParsedArguments parseCalcArguments(const QStringList& arguments, const QString& workingFolder)
{
    const QDir folder(workingFolder);
    ParsedArguments parsed;
    CalcOptions& options = parsed.options;
    options.databasePath = folder.filePath(u"Norvane.dat"_s);
    options.libraryPath = folder.filePath(u"Norvane.dll"_s);
    options.constantsPath = folder.filePath(u"constants.txt"_s);

    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            options.reactionFiles.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        if (argument == u"-h" || argument == u"--help") {
            parsed.help = true;
            continue;
        }
        if (argument == u"--table") {
            options.table = true;
            continue;
        }
        if (argument == u"--summary") {
            options.summary = true;
            continue;
        }
        if (argument == u"--composition") {
            options.composition = true;
            continue;
        }
        if (argument == u"--graphite") {
            options.graphite = true;
            continue;
        }
        if (argument == u"--condensed") {
            options.condensed = true;
            continue;
        }
        if (argument == u"--dry") {
            options.dry = true;
            continue;
        }
        if (argument == u"--derived") {
            options.derived = true;
            continue;
        }
        if (!argument.startsWith(u"--")) {
            parsed.error = u"不明なオプションです: "_s + argument;
            return parsed;
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        if (!takesValue(name)) {
            parsed.error = u"不明なオプションです: "_s + argument;
            return parsed;
        }
        QString value;
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            parsed.error = u"--"_s + name + u" には値が必要です"_s;
            return parsed;
        }
        if (!applyValue(name, value, options, parsed.error))
            return parsed;
    }
    if (options.table && options.summary)
        parsed.error = u"--table と --summary は同時に指定できません"_s;
    else if (options.composition && (options.table || options.summary))
        parsed.error = u"--composition は --table、--summary と同時に指定できません"_s;
    else if (options.range && options.summary)
        parsed.error = u"--range は --summary と同時に指定できません"_s;
    else if (!options.composition && (options.graphite || !options.species.isEmpty()))
        parsed.error = u"--graphite と --species は --composition と一緒に指定してください"_s;
    else if (!options.composition &&
             (options.condensed || !options.pressures.empty() || options.adiabaticFeedKelvin ||
              options.dry || options.derived))
        parsed.error =
            u"--condensed、--pressures、--adiabatic、--dry、--derived は --composition と一緒に指定してください"_s;
    else if (options.graphite && options.condensed)
        parsed.error = u"--graphite と --condensed は同時に指定できません"_s;
    else if (options.range && options.adiabaticFeedKelvin)
        parsed.error = u"--range と --adiabatic は同時に指定できません"_s;
    else if (!parsed.help && options.reactionFiles.isEmpty())
        parsed.error = u"反応系ファイルを指定してください"_s;
    return parsed;
}

QString usageText()
{
    return u"使い方: norvanta-calc [オプション] 反応系ファイル...\n"
           u"オプションの説明は norvanta-calc --help で表示します。\n"_s;
}

QString helpText(const ProgramFolders& own, ProgramLayout layout)
{
    const QString whose = layout == ProgramLayout::Installed
                              ? u"インストールされたもの"_s
                              : u"norvanta-calc と同じフォルダのもの"_s;
    return u"使い方: norvanta-calc [オプション] 反応系ファイル...\n"
           u"\n"
           u"Norvantaで保存した反応系ファイルの化学平衡を計算し、計算結果のレポートを\n"
           u"標準出力に書きます。レポートはNorvantaが結果をコピーするときのテキストと\n"
           u"同じです(行末は CR LF)。複数のファイルは順に計算し、レポートの間に空行を\n"
           u"1行入れます。制限化合物はファイルに保存された行のものです。\n"
           u"\n"
           u"オプション:\n"
           u"  --step 100|25          温度の刻み(K)。既定は 25\n"
           u"  --temperature K|C      表の温度の単位。既定は C\n"
           u"  --energy kcal|kJ       dGの単位。既定は kcal\n"
           u"  --data PATH            化合物データファイル(既定は Norvane.dat を下の順に探す)\n"
           u"  --library PATH         計算ライブラリ(既定はインストールされた Norvane.dll)\n"
           u"  --constants PATH       物理定数ファイル(なければ既定の定数)。\n"
           u"                         既定は作業フォルダの constants.txt\n"
           u"  --timestamp \"MM-DD-YYYY HH:MM:SS\"\n"
           u"                         日時の行に書く日時。既定は計算したときの時刻\n"
           u"  --encoding utf-8|shift_jis\n"
           u"                         出力とメッセージの文字コード。既定は utf-8\n"
           u"  --table                レポートの代わりに、計算した点ごとに1行をタブ区切りで\n"
           u"                         書く(行末は LF): 系列(K または C)、温度(K)、\n"
           u"                         dG(kcal/mol)、Kp、転化率(分率)。数値は有効数字15桁。\n"
           u"                         ファイルごとに、その行のあとに空行を1行書く(計算でき\n"
           u"                         なかったファイルは空行だけ)。--temperature、--energy、\n"
           u"                         --timestamp は使わない\n"
           u"  --summary              反応系ファイルごとに1行をタブ区切りで書く(行末は LF)。\n"
           u"                         初めに見出しの行を1行書く。欄はファイル名、dG = 0 と\n"
           u"                         なる温度(K、℃)、目標ごとに、制限化合物の転化率が\n"
           u"                         目標を初めて横切る温度(K、℃)とその向き: rises(温度\n"
           u"                         とともに上がって目標に達する)、falls(下がって目標を\n"
           u"                         割る)。温度は 300～1100 K の範囲で小数1桁、℃は\n"
           u"                         K − 273。範囲内で横切らないときは数値の代わりに語を\n"
           u"                         書く: below(横切る温度は 300 K より下: rises なら\n"
           u"                         300 K ですでに目標以上、falls なら 300 K で目標未満)、\n"
           u"                         above(1100 K より上: rises なら 1100 K でまだ目標\n"
           u"                         未満、falls なら 1100 K でまだ目標以上)。このときの\n"
           u"                         向きは 300 K から 1100 K への転化率の変化(変わらない\n"
           u"                         ときは rises)。dG の below は 300 K から 1100 K へ 0\n"
           u"                         から遠ざかる、above は 0 に近づくが届かない。\n"
           u"                         計算できなかったファイルはファイル名と空の欄だけ\n"
           u"  --targets 50,90        --summary の目標転化率(%)。コンマ区切り。既定は 50,90\n"
           u"  --composition          反応の代わりに平衡組成を書く: 反応系の化合物を分圧(比)\n"
           u"                         のモル数で仕込み、その元素(炭素,水素,酸素)だけでできた\n"
           u"                         化合物すべてを同時に平衡させる(理想気体、全圧はファイル\n"
           u"                         の全圧、標準状態 1 atm)。ファイルごとにタブ区切りで\n"
           u"                         見出し行(系列、温度(K)、化合物名…、--graphite のとき\n"
           u"                         C(gr))、点ごとに1行(K または C、温度(K)、モル分率…、\n"
           u"                         仕込み1モルあたりのグラファイトのモル数)、空行を書く\n"
           u"                         (行末は LF、数値は有効数字15桁)。生成系と制限化合物\n"
           u"                         は使わない\n"
           u"  --graphite             --composition で固体炭素(グラファイト)を含める\n"
           u"  --range FROM:TO:STEP   反応を FROM、FROM+STEP、… TO(K)で計算する(TO は刻みに\n"
           u"                         乗るとき含める。10000点まで)。データは NorvaneThermo.dat\n"
           u"                         の多項式(200～6000 K など化合物ごとの範囲)、登録した\n"
           u"                         化合物は Norvane.dat の 300～1000 K。範囲外の温度がある\n"
           u"                         ファイルは化合物名とその範囲を示して終了コード 1。\n"
           u"                         点ごとに1行をタブ区切りで書く(行末は LF): K、温度(K)、\n"
           u"                         dG(kcal/mol)、Kp、転化率(分率)、dH(kcal/mol)、\n"
           u"                         dS(cal/(mol・K))。数値は有効数字15桁。--table なしでは\n"
           u"                         見出し行を先に書く。ファイルごとに空行を1行書く。\n"
           u"                         --composition では2つの系列の代わりに系列 K を1つ書く\n"
           u"  --species A,B,...      --composition の化合物をこれらと反応系の化合物に限る\n"
           u"  --condensed            --composition で反応系の元素の凝縮相(固体・液体)をすべて\n"
           u"                         純物質として相律に従って含める。現れた凝縮相ごとに、\n"
           u"                         気体のあとに1欄(仕込み1モルあたりのモル数、見出しは\n"
           u"                         データ名: C(gr)、H2O(L)、S(L) など)。凝縮相は\n"
           u"                         NorvaneThermo.dat のもの。--range も --adiabatic も\n"
           u"                         ないときは Norvane.dat のグラファイト C(gr) だけ\n"
           u"  --pressures P1,P2,...  --composition の全圧(atm)。ファイルの全圧の代わりに、\n"
           u"                         全圧ごとに「# 全圧 P atm」の行と表を1つずつ書く\n"
           u"  --adiabatic T0         --composition で、温度 T0(K)の原料が外と熱をやりとり\n"
           u"                         せずに達する平衡(断熱平衡)を、全圧ごとに系列 H の1行\n"
           u"                         で書く(温度の欄はその温度 K)。化合物のエンタルピーは\n"
           u"                         NorvaneThermo.dat の多項式から取る\n"
           u"  --dry                  --composition のモル分率を H2O を除いて書く(乾きベース)\n"
           u"  --derived              --composition の化合物のあとに、反応系の化合物ごとの\n"
           u"                         転化率(転化率:名前)と、H2 と CO があれば H2/CO を書く\n"
           u"  -h, --help             この説明を表示する\n"
           u"\n"
           u"Norvane.dat を探す順(--data の指定がないとき):\n"
           u"  1. 現在のフォルダ\n"
           u"  2. 作業フォルダ ~/Norvanta(norvanta が作るフォルダ。登録した化合物がある)\n"
           u"  3. "_s +
           whose + u"("_s + own.data +
           u")\n"
           u"Norvane.dll(--library の指定がないとき)は、"_s +
           whose + u"\n("_s + own.library +
           u")だけを使います。現在のフォルダや ~/Norvanta の Norvane.dll は\n"
           u"読み込みません。\n"
           u"\n"
           u"終了コード:\n"
           u"  0   すべてのファイルを計算した\n"
           u"  1   反応系の入力に誤りがある\n"
           u"  2   反応系ファイル、化合物データファイルまたは計算ライブラリの異常\n"
           u"  3   --composition で計算できない点があった(その点は温度だけの行。理由は\n"
           u"      標準エラー出力。ほかの点は書く)\n"
           u"  64  コマンドラインの誤り\n"
           u"  74  計算結果を書き込めなかった(ディスクが一杯など)。そこで終わる\n"
           u"メッセージは「ファイル名: メッセージ」の形で標準エラー出力に書きます。\n"
           u"計算できないファイルがあっても残りのファイルを計算し、最も大きい終了コードで\n"
           u"終わります。\n"
           u"\n"
           u"例: norvanta-calc --step 100 --temperature K reforming.txt > result.xls\n"
           u"    norvanta-calc --composition --step 100 steam-reforming.txt\n"
           u"    norvanta-calc --table --range 300:1300:50 steam-reforming.txt\n"_s;
}

} // namespace norvanta::calc
