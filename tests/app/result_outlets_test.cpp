#include "calculation_fixture.h"

#include "app/startup.h"

#include "common/text_file.h"

#include "support/test_files.h"

#include <QAction>
#include <QDir>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kFilter =
    u"標準テキスト型Excelファイル(*.XLS)|*.xls|標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s;
const QString kCopied = u"クリップボードに数値データをコピーしました"_s;
const QString kCannotWrite =
    u"ファイルに書き込みができません。使用中でないか、ディスク容量が十分あるか確認してください。"_s;

// A report's lines; the text must end with CR LF.
QStringList reportLines(const QString& text)
{
    QStringList lines = text.split(u"\r\n"_s);
    EXPECT_EQ(lines.takeLast(), QString()) << "the report ends with CR LF";
    return lines;
}

// The report without its date line, which follows the clock.
QString withoutDate(QString text)
{
    const qsizetype start = text.indexOf(u"日時 "_s);
    return text.remove(start, text.indexOf(u"\r\n"_s, start) - start);
}

class ResultOutletsTest : public CalculationTest {
protected:
    // CopyButton, with its confirmation answered.
    void copy()
    {
        platform.answerNext(MessageAnswer::Ok);
        QTest::mouseClick(results.CopyButton, Qt::LeftButton);
    }

    // SaveResultItem with the dialog answering the path (a name in the
    // working folder unless it holds a separator already).
    void saveAs(const QString& name)
    {
        const QString fullPath = name.contains(u'/') ? name : folder.filePath(name);
        platform.chooseInSaveDialog(FileChoice{fullPath, QFileInfo(fullPath).fileName()});
        ASSERT_TRUE(form.SaveResultItem->isEnabled());
        form.SaveResultItem->trigger();
    }
};

} // namespace

TEST_F(ResultOutletsTest, CopyPutsTheReportOnTheClipboard)
{
    typeOverviewReaction();
    calculate();
    copy();

    EXPECT_EQ(platform.clipboardWrites, 1);
    EXPECT_EQ(platform.messages,
              (std::vector<RecordedMessage>{{u"Norvanta"_s, kCopied, MessageIcon::Information,
                                             MessageButtons::Ok, MessageAnswer::Ok}}));
    const QString& text = platform.clipboardText;
    EXPECT_TRUE(text.endsWith(u"\r\n"_s));
    EXPECT_FALSE(text.endsWith(u"\r\n\r\n"_s)) << "one CR LF after the last row";
    const QStringList lines = reportLines(text);
    ASSERT_EQ(lines.size(), 16 + 33);
    EXPECT_EQ(lines[0], u"化学平衡計算の結果"_s);
    EXPECT_TRUE(QRegularExpression(u"^日時 \\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d$"_s)
                    .match(lines[2])
                    .hasMatch())
        << lines[2].toStdString();
    EXPECT_EQ(lines[5], u"ﾟCO2+CH4=2CO+2H2"_s);
    EXPECT_EQ(lines[9], u"CO2:CH4=1:1"_s);
    EXPECT_EQ(lines[12], u"全圧:1 atm"_s);
    EXPECT_EQ(lines[15], u"Temp./ﾟC\tdG/kcal\tKp\tConv./%"_s);
    EXPECT_TRUE(lines[16].startsWith(u"+0\t+"_s)) << lines[16].toStdString();
    EXPECT_TRUE(lines[48].startsWith(u"+800\t-"_s)) << lines[48].toStdString();
    for (int row = 16; row < lines.size(); ++row)
        EXPECT_EQ(lines[row].split(u'\t').count(QString()), 0) << lines[row].toStdString();
}

// The report shows the fields as they stand at the copy, and the units the
// results window shows.
TEST_F(ResultOutletsTest, CopyReadsTheWindowsAtTheMomentOfTheCopy)
{
    typeOverviewReaction();
    calculate();
    showActive(form);
    typeOver(form.Pressure, u"2.5"_s);
    typeOver(form.ReactNum[1], u"2.0"_s);
    app.resultsDisplay().temperatureUnit = TemperatureUnit::Kelvin;
    app.resultsDisplay().energyUnit = EnergyUnit::KJ;
    copy();

    const QStringList lines = reportLines(platform.clipboardText);
    EXPECT_EQ(lines[5], u"ﾟCO2+2CH4=2CO+2H2"_s);
    EXPECT_EQ(lines[12], u"全圧:2.5 atm"_s);
    EXPECT_EQ(lines[15], u"Temp./K\tdG/kJ\tKp\tConv./%"_s);
    EXPECT_TRUE(lines[16].startsWith(u"+300\t"_s));
    const double kcal = app.results().kelvin[0].dG;
    EXPECT_NEAR(lines[16].split(u'\t')[1].toDouble(), kcal * 4.184, 1e-9);
}

// A TetraPrec click after a 100 K run changes the next run, not the rows of
// the results already shown: the report keeps their nine rows.
TEST_F(ResultOutletsTest, ReportKeepsTheStepModeOfTheShownResults)
{
    typeOverviewReaction();
    QTest::mouseClick(form.TetraPrec, Qt::LeftButton);
    ASSERT_FALSE(form.TetraPrec->isChecked());
    calculate();
    QTest::mouseClick(form.TetraPrec, Qt::LeftButton);
    ASSERT_TRUE(form.TetraPrec->isChecked());
    copy();

    const QStringList lines = reportLines(platform.clipboardText);
    ASSERT_EQ(lines.size(), 16 + 9);
    for (int row = 0; row < 9; ++row) {
        const QStringList values = lines[16 + row].split(u'\t');
        EXPECT_EQ(values[0], u"+"_s + QString::number(100 * row));
        EXPECT_EQ(values.count(QString()), 0) << lines[16 + row].toStdString();
    }
}

TEST_F(ResultOutletsTest, SaveWritesTheReportInShiftJisWithOneMoreLineEnd)
{
    typeOverviewReaction();
    calculate();
    const QString start = app.resultFileFolder();
    saveAs(u"result.xls"_s);

    ASSERT_EQ(platform.saveRequests.size(), 1u);
    const FileDialogRequest& request = platform.saveRequests[0];
    EXPECT_EQ(request.title, u"名前を付けて結果ファイルを保存"_s);
    EXPECT_EQ(request.filter, kFilter);
    EXPECT_EQ(request.filterIndex, 0);
    EXPECT_EQ(request.initialDirectory, start);
    EXPECT_EQ(request.proposedName, QString());
    EXPECT_TRUE(platform.messages.empty()) << "no message after a successful save";

    const QByteArray bytes = readBytes(path("result.xls"));
    EXPECT_TRUE(bytes.contains("\r\n\xDF"
                               "CO2+CH4=2CO+2H2\r\n(\xDF:"));
    EXPECT_TRUE(bytes.contains("Temp./\xDF"
                               "C\tdG/kcal\tKp\tConv./%\r\n+0\t"));
    EXPECT_TRUE(bytes.endsWith("\r\n\r\n"));
    EXPECT_FALSE(bytes.endsWith("\r\n\r\n\r\n")) << "the report and one more CR LF";

    copy();
    EXPECT_EQ(withoutDate(decodeShiftJis(bytes)), withoutDate(platform.clipboardText + u"\r\n"_s));
}

// The name and the folder are remembered as chosen, and the file is written
// under the path as chosen: an upper-cased proposal would name another file.
TEST_F(ResultOutletsTest, SaveRemembersNameAndFolderForTheNextDialog)
{
    typeOverviewReaction();
    calculate();
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"Runs"_s));
    const QString chosen = folder.filePath(u"Runs/dry reforming.xls"_s);
    saveAs(chosen);
    EXPECT_TRUE(QFile::exists(chosen));
    EXPECT_FALSE(QFile::exists(folder.filePath(u"RUNS/DRY REFORMING.XLS"_s)));

    platform.chooseInSaveDialog(std::nullopt);
    form.SaveResultItem->trigger();
    ASSERT_EQ(platform.saveRequests.size(), 2u);
    EXPECT_EQ(platform.saveRequests[1].proposedName, u"dry reforming.xls"_s);
    EXPECT_EQ(platform.saveRequests[1].initialDirectory, folder.filePath(u"Runs/"_s));

    // A cancelled dialog changes nothing.
    platform.chooseInSaveDialog(std::nullopt);
    form.SaveResultItem->trigger();
    EXPECT_EQ(platform.saveRequests[2].proposedName, u"dry reforming.xls"_s);
    EXPECT_EQ(platform.saveRequests[2].initialDirectory, folder.filePath(u"Runs/"_s));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ResultOutletsTest, OverwriteIsAskedAndNoLeavesTheFile)
{
    typeOverviewReaction();
    calculate();
    const QString target = path("old.xls");
    writeBytes(target, "old\r\n");

    platform.answerNext(MessageAnswer::No);
    saveAs(u"old.xls"_s);
    EXPECT_EQ(
        platform.messages,
        (std::vector{question(u"上書き保存の確認"_s,
                              target.toUpper() + u"は既に存在します。上書きしますか？"_s)}));
    EXPECT_EQ(readBytes(target), "old\r\n");

    platform.answerNext(MessageAnswer::Yes);
    saveAs(u"old.xls"_s);
    ASSERT_EQ(platform.saveRequests.size(), 2u);
    EXPECT_EQ(platform.saveRequests[1].proposedName, u"old.xls"_s);
    EXPECT_EQ(platform.saveRequests[1].initialDirectory, folder.path() + u"/"_s);
    EXPECT_TRUE(readBytes(target).startsWith(encodeShiftJis(u"化学平衡計算の結果\r\n"_s)));
    EXPECT_EQ(platform.messages.size(), 2u);
}

// The pressure is reported as typed; a character Shift_JIS cannot hold in
// it refuses the save, and the file that was there stays.
TEST_F(ResultOutletsTest, TextShiftJisCannotHoldIsRefused)
{
    typeOverviewReaction();
    form.Pressure->setText(u"1 atm – abs"_s); // pasted: the dash cannot be typed here
    calculate();
    const QString target = path("result.xls");
    writeBytes(target, "old\r\n");

    platform.answerNext(MessageAnswer::Yes);
    platform.answerNext(MessageAnswer::Ok);
    saveAs(u"result.xls"_s);

    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1],
              exclamation(u"Norvanta"_s,
                          u"ファイルに保存できない文字「–」(U+2013)が含まれています。"
                          u"入力を確認して下さい。"_s));
    EXPECT_EQ(readBytes(target), "old\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList({u"*.xls"_s}, QDir::Files),
              QStringList{u"result.xls"_s});
}

TEST_F(ResultOutletsTest, FailedWritesTellWhy)
{
    typeOverviewReaction();
    calculate();

    // A folder where the file would be: no question, a write failure of its own.
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"taken.xls"_s));
    platform.answerNext(MessageAnswer::Ok);
    saveAs(u"taken.xls"_s);
    EXPECT_EQ(platform.messages, std::vector{exclamation(u"Norvanta"_s, u"内部エラー : 61"_s)});
    EXPECT_TRUE(QFileInfo(path("taken.xls")).isDir());

    // A folder that is not there.
    platform.messages.clear();
    platform.answerNext(MessageAnswer::Ok);
    saveAs(folder.filePath(u"missing/result.xls"_s));
    EXPECT_EQ(platform.messages, std::vector{exclamation(u"Norvanta"_s, u"内部エラー : 76"_s)});
    EXPECT_EQ(app.resultFileFolder(), folder.filePath(u"missing/"_s));

    // A read-only file: root writes through permissions but not through the immutable mark.
    const QString target = path("locked.xls");
    writeBytes(target, "old\r\n");
    const Immutable locked(target);
    if (!locked.active())
        GTEST_SKIP() << "this file system cannot mark a file immutable";
    platform.messages.clear();
    platform.answerNext(MessageAnswer::Yes);
    platform.answerNext(MessageAnswer::Ok);
    saveAs(u"locked.xls"_s);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1], exclamation(u"Norvanta"_s, kCannotWrite));
    EXPECT_EQ(readBytes(target), "old\r\n");
}

// The result dialog starts where the reaction-file dialogs started after
// start-up, and neither moves the other's folder.
TEST_F(ResultOutletsTest, ResultFolderStartsAsUsualDirectoryAfterStartUp)
{
    startMainWindow(app);
    const QString usual = settings.UsualDirectory;
    ASSERT_FALSE(usual.isEmpty());
    settings.UsualDirectory = u"/elsewhere/"_s;

    typeOverviewReaction();
    calculate();
    saveAs(u"r1.xls"_s);
    ASSERT_EQ(platform.saveRequests.size(), 1u);
    EXPECT_EQ(platform.saveRequests[0].initialDirectory, usual);
    EXPECT_EQ(settings.UsualDirectory, u"/elsewhere/"_s);
}
