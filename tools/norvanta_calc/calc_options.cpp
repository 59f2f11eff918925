#include "calc_options.h"

#include "reaction_summary.h"

#include <QDir>

namespace norvanta::calc {

using namespace Qt::StringLiterals;

namespace {

const QString kTimestampFormat = u"MM-dd-yyyy HH:mm:ss"_s;

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
    static const QStringList names = {u"step"_s,      u"temperature"_s, u"energy"_s,
                                      u"data"_s,      u"library"_s,     u"constants"_s,
                                      u"timestamp"_s, u"encoding"_s,    u"targets"_s};
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
    else if (!parsed.help && options.reactionFiles.isEmpty())
        parsed.error = u"反応系ファイルを指定してください"_s;
    return parsed;
}

QString usageText()
{
    return u"使い方: norvanta-calc [オプション] 反応系ファイル...\n"
           u"オプションの説明は norvanta-calc --help で表示します。\n"_s;
}

QString helpText()
{
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
           u"  --summary              反応系ファイルごとに1行をタブ区切りで書く(行末は LF):\n"
           u"                         ファイル名、dG = 0 となる温度(K、℃)、制限化合物の\n"
           u"                         転化率が各目標に初めて達する温度(K、℃)。温度は\n"
           u"                         300～1100 K の範囲で小数1桁、℃は K − 273。範囲内に\n"
           u"                         ないときは数値の代わりに語を書く: below(転化率は\n"
           u"                         300 K ですでに目標を超えている。dG は 300 K から\n"
           u"                         1100 K へ 0 から遠ざかる)、above(転化率は 1100 K\n"
           u"                         までに目標に達しない。dG は 0 に近づくが届かない)。\n"
           u"                         計算できなかったファイルはファイル名と空の欄だけ\n"
           u"  --targets 50,90        --summary の目標転化率(%)。コンマ区切り。既定は 50,90\n"
           u"  -h, --help             この説明を表示する\n"
           u"\n"
           u"Norvane.dat を探す順(--data の指定がないとき):\n"
           u"  1. 現在のフォルダ\n"
           u"  2. 作業フォルダ ~/Norvanta(norvanta が作るフォルダ。登録した化合物がある)\n"
           u"  3. インストールされたもの(/usr/share/norvanta。ビルドしたフォルダでは\n"
           u"     norvanta-calc と同じフォルダ)\n"
           u"Norvane.dll(--library の指定がないとき)は、インストールされたもの\n"
           u"(/usr/lib/norvanta。ビルドしたフォルダでは norvanta-calc と同じフォルダ)だけを\n"
           u"使います。現在のフォルダや ~/Norvanta の Norvane.dll は読み込みません。\n"
           u"\n"
           u"終了コード:\n"
           u"  0   すべてのファイルを計算した\n"
           u"  1   反応系の入力に誤りがある\n"
           u"  2   反応系ファイル、化合物データファイルまたは計算ライブラリの異常\n"
           u"  64  コマンドラインの誤り\n"
           u"  74  計算結果を書き込めなかった(ディスクが一杯など)。そこで終わる\n"
           u"メッセージは「ファイル名: メッセージ」の形で標準エラー出力に書きます。\n"
           u"計算できないファイルがあっても残りのファイルを計算し、最も大きい終了コードで\n"
           u"終わります。\n"
           u"\n"
           u"例: norvanta-calc --step 100 --temperature K reforming.txt > result.xls\n"_s;
}

} // namespace norvanta::calc
