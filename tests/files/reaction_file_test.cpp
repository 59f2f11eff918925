#include "support/test_files.h"
#include "../common/reaction_fields_fixture.h"

#include "files/reaction_file.h"

#include "common/text_file.h"

#include <QDate>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTime>

#include <array>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

const QDateTime kSavedAt(QDate(2026, 12, 6), QTime(20, 45, 36));

// A header line and then the given raw lines, CR LF after each.
QString fileWithLines(const QString& header, const QStringList& lines)
{
    QString text = header + u"\r\n"_s;
    for (const QString& line : lines)
        text += line + u"\r\n"_s;
    return text;
}

class ReactionFileOnDisk : public ::testing::Test {
protected:
    QString pathOf(const QString& name) const { return folder.filePath(name); }
    QTemporaryDir folder;
};

} // namespace

TEST(ReactionFileText, ExampleFileByteForByte)
{
    const QByteArray header("\x3b\x20\x95\xbd\x8d\x74\x8c\x76\x8e\x5a\x95\x57\x8f\x80\x83\x74"
                            "\x83\x40\x83\x43\x83\x8b\x3a"
                            "12-06-2026 20:45:36\r\n");
    QByteArray expected = header;
    for (const char* value : {"1", "CO2", "1", "2", "CO", "1", "CH4", "1", "2", "H2", "", "", "",
                              "", "", "", "", "", "", "", "0", "1"})
        expected += QByteArray("\"") + value + "\"\r\n";

    EXPECT_EQ(encodeShiftJis(reactionFileText(reformingFields(), kSavedAt)), expected);
}

TEST(ReactionFileText, DateAndTimeAreZeroPadded)
{
    const QDateTime early(QDate(2027, 1, 2), QTime(3, 4, 5));
    const QString firstLine = reactionFileText(ReactionFields{}, early).section(u"\r\n"_s, 0, 0);
    EXPECT_EQ(firstLine, u"; 平衡計算標準ファイル:01-02-2027 03:04:05"_s);
}

TEST(ReactionFileText, LimitRowWritten)
{
    const struct {
        int restrict;
        const char16_t* line22;
    } cases[] = {{0, u"\"0\""}, {1, u"\"1\""}, {2, u"\"2\""}, {3, u"\"3\""}, {-1, u"\"1\""}};
    for (const auto& c : cases) {
        ReactionFields fields;
        fields.restrict = c.restrict;
        const QStringList lines = reactionFileText(fields, kSavedAt).split(u"\r\n"_s);
        ASSERT_EQ(lines.size(), 24) << "23 lines, each ended by CR LF";
        EXPECT_EQ(lines[21], QString::fromUtf16(c.line22)) << c.restrict;
        EXPECT_TRUE(lines[23].isEmpty());
    }
}

TEST_F(ReactionFileOnDisk, SavedFieldsOpenUnchanged)
{
    ReactionFields awkward;
    awkward.reactNum = {u" 1"_s, u"2 "_s, u""_s, u"  3.5  "_s};
    awkward.react = {u"CO2, gas"_s, u"メタン"_s, u"ｴﾀﾉｰﾙ"_s, u"\t1-butene"_s};
    awkward.molar = {u""_s, u",,"_s, u"1,5"_s, u"エタン ,"_s};
    awkward.productNum = {u"2"_s, u""_s, u" "_s, u"1e3"_s};
    awkward.product = {u"一酸化炭素"_s, u"H2"_s, u""_s, u"ﾊﾟｽ"_s};

    for (const int restrict : {0, 1, 2, 3}) {
        for (const QString& pressure : {u"1"_s, u""_s, u" 0,5 atm "_s, u"１０"_s}) {
            ReactionFields fields = awkward;
            fields.restrict = restrict;
            fields.pressure = pressure;
            const QString path = pathOf(u"r1.txt"_s);
            ASSERT_EQ(saveReactionFile(path, fields, kSavedAt), std::nullopt);

            const ReactionFileContent content = openReactionFile(path);
            ASSERT_EQ(content.status, ReactionFileStatus::Read);
            EXPECT_EQ(content.fields, fields) << restrict << " " << pressure.toStdString();
        }
    }
}

namespace {

// Every character Shift_JIS holds, as a box leaves it: without control
// characters (the boxes remove them) and without the double quote, which
// ends its field by the file's design.
QString everyStorableCharacter()
{
    QString characters;
    const auto take = [&characters](const QByteArray& bytes) {
        const QString decoded = decodeShiftJis(bytes);
        if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter &&
            decoded[0] != u'"' && decoded[0].category() != QChar::Other_Control &&
            !characters.contains(decoded))
            characters += decoded;
    };
    for (int byte = 0; byte < 0x100; ++byte)
        take(QByteArray(1, char(byte)));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            take(QByteArray(1, char(lead)) + char(trail));
    }
    return characters;
}

} // namespace

TEST_F(ReactionFileOnDisk, EveryTextABoxCanHoldComesBackAsTyped)
{
    const QString characters = everyStorableCharacter();
    ASSERT_GT(characters.size(), 7000) << "JIS X 0208 and the Windows extensions";

    // The characters spread over the 21 texts, with blanks at their ends.
    std::array<QString, 21> texts;
    for (qsizetype i = 0; i < characters.size(); ++i)
        texts[size_t(i % 21)] += characters[i];
    texts[3] = u"  "_s + texts[3] + u"　"_s;
    texts[20] = u" "_s + texts[20] + u" "_s;
    ReactionFields fields;
    for (int k = 0; k < 4; ++k) {
        fields.reactNum[k] = texts[size_t(5 * k)];
        fields.react[k] = texts[size_t(5 * k + 1)];
        fields.molar[k] = texts[size_t(5 * k + 2)];
        fields.productNum[k] = texts[size_t(5 * k + 3)];
        fields.product[k] = texts[size_t(5 * k + 4)];
    }
    fields.pressure = texts[20];
    fields.restrict = 2;

    const QString path = pathOf(u"every.txt"_s);
    ASSERT_EQ(saveReactionFile(path, fields, kSavedAt), std::nullopt);
    const ReactionFileContent content = openReactionFile(path);
    ASSERT_EQ(content.status, ReactionFileStatus::Read);
    EXPECT_EQ(content.fields, fields);
}

// A text Shift_JIS cannot hold is refused with its own message, before the
// file is touched.
TEST_F(ReactionFileOnDisk, TextShiftJisCannotHoldIsRefused)
{
    const QString path = pathOf(u"r1.txt"_s);
    const QByteArray previous = encodeShiftJis(reactionFileText(reformingFields(), kSavedAt));
    writeBytes(path, previous);
    const struct {
        const char* name;
        void (*edit)(ReactionFields&);
        const char16_t* text;
    } cases[] = {
        {"pasted subscript", [](ReactionFields& f) { f.react[0] = u"CO₂"_s; },
         u"ファイルに保存できない文字「₂」(U+2082)が含まれています。入力を確認して下さい。"},
        {"accented name", [](ReactionFields& f) { f.product[3] = u"josé"_s; },
         u"ファイルに保存できない文字「é」(U+00E9)が含まれています。入力を確認して下さい。"},
        {"outside the basic plane", [](ReactionFields& f) { f.pressure = u"1😀"_s; },
         u"ファイルに保存できない文字「😀」(U+1F600)が含まれています。入力を確認して下さい。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReactionFields fields = reformingFields();
        c.edit(fields);
        EXPECT_EQ(
            saveReactionFile(path, fields, kSavedAt),
            (FileMessage{u"保存のエラー"_s, QString::fromUtf16(c.text), MessageIcon::Exclamation}));
        EXPECT_EQ(readBytes(path), previous);
        EXPECT_EQ(entriesOf(folder.path()), QStringList{u"r1.txt"_s});
    }
}

TEST_F(ReactionFileOnDisk, SaveReplacesAnExistingFile)
{
    const QString path = pathOf(u"r1.txt"_s);
    writeBytes(path, QByteArray(4000, 'x'));
    ASSERT_EQ(saveReactionFile(path, reformingFields(), kSavedAt), std::nullopt);
    EXPECT_EQ(readBytes(path),
              encodeShiftJis(reactionFileText(reformingFields(), kSavedAt)));
}

TEST(ReactionFileParse, LimitLineSelectsTheRow)
{
    const struct {
        const char16_t* text;
        int row;
    } cases[] = {
        {u"0", 0},   {u"1", 1},    {u"3", 3},     {u"7", 0},    {u"4", 0},   {u"-1", 0},
        {u"", 0},    {u"2.9", 2},  {u"3.99", 3},  {u"-0.5", 0}, {u" 2", 2},  {u"2abc", 2},
        {u"abc", 0}, {u"1e0", 1},  {u"1e999", 0},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        QStringList lines;
        for (int i = 0; i < 20; ++i)
            lines << u"\"x\""_s;
        lines << u'"' + text + u'"' << u"\"1\""_s;
        const ReactionFileContent content = parseReactionFile(fileWithLines(u";"_s, lines));
        ASSERT_EQ(content.status, ReactionFileStatus::Read);
        EXPECT_EQ(content.fields.restrict, c.row) << text.toStdString();
        EXPECT_EQ(content.fields.pressure, u"1"_s);
    }
}

TEST(ReactionFileParse, HeaderOnlyFileLeavesEverythingEmpty)
{
    for (const QString& text : {u"; 平衡計算標準ファイル:12-06-2026 20:45:36\r\n"_s, u";"_s}) {
        const ReactionFileContent content = parseReactionFile(text);
        ASSERT_EQ(content.status, ReactionFileStatus::Read);
        ReactionFields empty;
        empty.restrict = 0;
        empty.pressure.clear();
        EXPECT_EQ(content.fields, empty);
    }
}

TEST(ReactionFileParse, ShortFileFillsWhatItHas)
{
    const ReactionFileContent content =
        parseReactionFile(fileWithLines(u";"_s, {u"\"2\""_s, u"\"H2O\""_s}));
    ASSERT_EQ(content.status, ReactionFileStatus::Read);
    EXPECT_EQ(content.fields.reactNum[0], u"2"_s);
    EXPECT_EQ(content.fields.react[0], u"H2O"_s);
    EXPECT_EQ(content.fields.molar[0], QString());
    EXPECT_EQ(content.fields.pressure, QString());
    EXPECT_EQ(content.fields.restrict, 0);
}

TEST(ReactionFileParse, HeaderAcceptance)
{
    const struct {
        const char16_t* firstLine;
        ReactionFileStatus status;
    } cases[] = {
        {u"; 平衡計算標準ファイル:12-06-2026 20:45:36", ReactionFileStatus::Read},
        {u";anything", ReactionFileStatus::Read},
        {u"  ;after blanks", ReactionFileStatus::Read},
        {u"私の標準データ", ReactionFileStatus::Read},
        {u"反応ファイル", ReactionFileStatus::Read},
        {u"abc", ReactionFileStatus::WrongFormat},
        {u"標 準", ReactionFileStatus::WrongFormat},
        {u"ﾌｧｲﾙ", ReactionFileStatus::WrongFormat},
        {u"abc,; 平衡計算標準ファイル", ReactionFileStatus::WrongFormat},
        {u"\"1\"", ReactionFileStatus::WrongFormat},
        {u"", ReactionFileStatus::WrongFormat},
    };
    for (const auto& c : cases) {
        const QString text = fileWithLines(QString::fromUtf16(c.firstLine), {u"\"1\""_s});
        EXPECT_EQ(parseReactionFile(text).status, c.status)
            << QString::fromUtf16(c.firstLine).toStdString();
    }
}

TEST(ReactionFileParse, CommaInFirstLineStartsTheFirstCoefficient)
{
    const ReactionFileContent content = parseReactionFile(
        fileWithLines(u"; header,3"_s, {u"\"CO2\""_s, u"\"1\""_s, u"\"2\""_s}));
    ASSERT_EQ(content.status, ReactionFileStatus::Read);
    EXPECT_EQ(content.fields.reactNum[0], u"3"_s);
    EXPECT_EQ(content.fields.react[0], u"CO2"_s);
    EXPECT_EQ(content.fields.molar[0], u"1"_s);
    EXPECT_EQ(content.fields.productNum[0], u"2"_s);
}

TEST(ReactionFileParse, InnerQuoteEndsOnlyItsOwnField)
{
    ReactionFields fields = reformingFields();
    fields.react[1] = u"CH\"4"_s;
    const QString text = reactionFileText(fields, kSavedAt);
    EXPECT_TRUE(text.contains(u"\r\n\"CH\"4\"\r\n"_s)) << "written unchanged";

    const ReactionFileContent content = parseReactionFile(text);
    ASSERT_EQ(content.status, ReactionFileStatus::Read);
    ReactionFields expected = fields;
    expected.react[1] = u"CH"_s;
    EXPECT_EQ(content.fields, expected);
}

TEST(ReactionFileParse, LineFeedsAloneAreRead)
{
    QString text = reactionFileText(reformingFields(), kSavedAt);
    text.replace(u"\r\n"_s, u"\n"_s);
    const ReactionFileContent content = parseReactionFile(text);
    ASSERT_EQ(content.status, ReactionFileStatus::Read);
    EXPECT_EQ(content.fields, reformingFields());
}

TEST_F(ReactionFileOnDisk, UnreadableFiles)
{
    const QString empty = pathOf(u"empty.txt"_s);
    writeBytes(empty, {});
    EXPECT_EQ(openReactionFile(empty).status, ReactionFileStatus::Unreadable);
    EXPECT_EQ(openReactionFile(pathOf(u"missing.txt"_s)).status, ReactionFileStatus::Unreadable);
    EXPECT_EQ(openReactionFile(folder.path()).status, ReactionFileStatus::Unreadable);
}

TEST_F(ReactionFileOnDisk, PathIsUsedAsChosen)
{
    const QString lower = pathOf(u"r1.txt"_s);
    ASSERT_EQ(saveReactionFile(lower, reformingFields(), kSavedAt), std::nullopt);
    EXPECT_EQ(entriesOf(folder.path()), QStringList{u"r1.txt"_s});
    EXPECT_EQ(openReactionFile(pathOf(u"R1.TXT"_s)).status, ReactionFileStatus::Unreadable);
}

TEST_F(ReactionFileOnDisk, SaveIntoMissingFolderNamesThePath)
{
    const auto message =
        saveReactionFile(pathOf(u"no such folder/r1.txt"_s), reformingFields(), kSavedAt);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->title, u"保存のエラー"_s);
    EXPECT_EQ(message->text, u"ﾊﾟｽ名が見つかりません"_s);
    EXPECT_EQ(message->icon, MessageIcon::Exclamation);
    EXPECT_EQ(entriesOf(folder.path()), QStringList());
}

TEST_F(ReactionFileOnDisk, SaveOntoAFolderFails)
{
    const QString target = pathOf(u"r1.txt"_s);
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"r1.txt"_s));
    const auto message = saveReactionFile(target, reformingFields(), kSavedAt);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->title, u"保存のエラー"_s);
    EXPECT_EQ(message->text,
              u"保存に失敗しました。ディスク容量が不足しているかもしれません。確認して下さい。"_s);
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(entriesOf(folder.path()), QStringList{u"r1.txt"_s});
}

TEST_F(ReactionFileOnDisk, FailedWriteKeepsThePreviousFileWhole)
{
    const QString path = pathOf(u"r1.txt"_s);
    const QByteArray previous = encodeShiftJis(reactionFileText(ReactionFields{}, kSavedAt));
    writeBytes(path, previous);

    std::optional<FileMessage> message;
    {
        FileSizeLimit limit(40);
        ASSERT_TRUE(limit.active());
        message = saveReactionFile(path, reformingFields(), kSavedAt);
    }
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text,
              u"保存に失敗しました。ディスク容量が不足しているかもしれません。確認して下さい。"_s);
    EXPECT_EQ(readBytes(path), previous);
    EXPECT_EQ(entriesOf(folder.path()), QStringList{u"r1.txt"_s}) << "no temporary file left";
}

TEST(ReactionFileMessages, SaveErrorByFailure)
{
    EXPECT_EQ(saveErrorMessage(76).text, u"ﾊﾟｽ名が見つかりません"_s);
    for (const int code : {61, 70, 53, 5})
        EXPECT_EQ(saveErrorMessage(code).text,
                  u"保存に失敗しました。ディスク容量が不足しているかもしれません。確認して下さい。"_s)
            << code;
}
