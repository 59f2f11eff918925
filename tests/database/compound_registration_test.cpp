#include "database/compound_registration.h"

#include "common/input_text.h"

#include "data_file.h"
#include "database/compound_index.h"
#include "database/data_file_lock.h"
#include "database/data_file_update.h"
#include "database/record_writer.h"
#include "support/fake_platform.h"
#include "support/test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

const QString kStored =
    u";*無機ガス\r\n\"CO2\", 1, 0, 2,-94, -94, -94, -94, -95, -95, -95, -95\r\n"_s;

// An entry with every dG box holding `gibbs` and empty atom-count boxes.
RegistrationEntry entry(const QString& name, const QString& gibbs = u"-10"_s)
{
    RegistrationEntry e;
    e.name = name;
    e.gibbs.fill(gibbs);
    return e;
}

RegistrationEntry withAtoms(RegistrationEntry e, std::array<QString, 3> counts)
{
    e.atomCounts = std::move(counts);
    return e;
}

RecordedMessage confirm(const QString& name, const char16_t* unit = u"kcal/mol")
{
    return question(u"Norvanta"_s,
                    name + u"を"_s + QString::fromUtf16(unit) + u"の単位で登録しますか？"_s);
}

RecordedMessage refusal(const QString& text)
{
    return exclamation(u"Norvanta"_s, text);
}

const QString kTenLine = u",-10,-10,-10,-10,-10,-10,-10,-10\r\n"_s;
const QString kQuoteRefusal = u"化学式･慣用名に「\"」や改行などの制御文字は使えません"_s;

} // namespace

TEST(CompoundRegistration, RegisterClickOutcomes)
{
    const std::array<QString, 8> oneKcalInKj{u"4.184"_s, u"-4.184"_s, u"0"_s,   u"8.368"_s,
                                             u"41.84"_s, u"1e-3"_s,   u"abc"_s, u"2.092kJ"_s};
    RegistrationEntry kilojoules = entry(u"HCOOH"_s);
    kilojoules.gibbs = oneKcalInKj;
    kilojoules.kilojoules = true;
    RegistrationEntry missingDg = entry(u"C3H6"_s);
    missingDg.gibbs[5].clear();
    RegistrationEntry overflow = entry(u"C3H6"_s);
    overflow.gibbs[3] = u"-1e999"_s;
    RegistrationEntry overflowInKcal = kilojoules;
    overflowInKcal.gibbs[2] = u"1e300"_s;
    RegistrationEntry fullWidth =
        withAtoms(entry(u"Ｃ３Ｈ６"_s, u"－１０"_s), {u"３"_s, u"⁶"_s, {}});
    RegistrationEntry overflowWritten = entry(u"C3H6"_s);
    overflowWritten.atomCounts[1] = u"1.7976931348623157e308"_s; // 1.79769313486232E+308 overflows

    constexpr MessageAnswer Yes = MessageAnswer::Yes;
    constexpr MessageAnswer No = MessageAnswer::No;
    constexpr EntryFocus kName{EntryBox::NewFormula, 0};
    // clang-format off
    const struct {
        const char* what;
        RegistrationEntry entry;
        // The answer to the question, when it comes.
        MessageAnswer answer;
        std::vector<RecordedMessage> messages;
        EntryFocus focus;
        // The line appended to the file; empty when nothing may be written.
        QString appended;
        double calToJ = 4.184; // CALTOJ of constants.txt
    } cases[] = {
        {"empty name", entry({}), Yes, {}, {}, {}},
        {"a dG box empty", missingDg, Yes, {refusal(u"全てのdGを入力してください"_s)},
         {EntryBox::DeltaG, 0}, {}},
        {"answered No", entry(u"C3H6"_s), No, {confirm(u"C3H6"_s)}, {}, {}},
        {"stored in another case", entry(u"co2"_s), Yes,
         {confirm(u"co2"_s), refusal(u"CO2はデータファイルに既に登録されています"_s)},
         {EntryBox::NewFormula, 0}, {}},
        {"kJ/mol divided by CALTOJ", kilojoules, Yes, {confirm(u"HCOOH"_s, u"kJ/mol")}, {},
         u"\"HCOOH\", 0, 0, 0, 1,-1, 0, 2, 10, 0.000239005736137667, 0, 0.5\r\n"_s},
        {"empty atom counts", withAtoms(entry(u"C3H6"_s), {u""_s, u"6"_s, u""_s}), Yes,
         {confirm(u"C3H6"_s)}, {}, u"\"C3H6\", 0, 6, 0"_s + kTenLine},
        {"numbers as far as they go", withAtoms(entry(u"C3H8O"_s), {u"3個"_s, u"8.0"_s, u"-"_s}),
         Yes, {confirm(u"C3H8O"_s)}, {}, u"\"C3H8O\", 3, 8, 0"_s + kTenLine},
        {"full-width name and numbers", fullWidth, Yes, {confirm(u"C3H6"_s)}, {},
         u"\"C3H6\", 3, 6, 0"_s + kTenLine},
        {"a comma in the name", entry(u"C2H5OH,エタノール"_s), Yes,
         {confirm(u"C2H5OH,エタノール"_s)}, {}, u"\"C2H5OH,エタノール\", 0, 0, 0"_s + kTenLine},
        {"a leading blank", entry(u" CO2"_s), Yes, {confirm(u" CO2"_s)}, {},
         u"\" CO2\", 0, 0, 0"_s + kTenLine},
        {"a double quote", entry(u"a\"b"_s), Yes, {refusal(kQuoteRefusal)}, kName, {}},
        {"a line feed", entry(u"CO\n2"_s), Yes, {refusal(kQuoteRefusal)}, kName, {}},
        {"a carriage return", entry(u"CO2\r"_s), Yes, {refusal(kQuoteRefusal)}, kName, {}},
        {"a tab", entry(u"C\tO"_s), Yes, {refusal(kQuoteRefusal)}, kName, {}},
        {"a leading semicolon", entry(u";CO2"_s), Yes,
         {refusal(u"化学式･慣用名を「;」で始めることはできません"_s)}, kName, {}},
        {"outside Shift_JIS", entry(u"CÖ2"_s), Yes,
         {refusal(u"化学式･慣用名の「Ö」はデータファイルに書き込めない文字です"_s)}, kName, {}},
        {"outside Shift_JIS, beyond 16 bits", entry(u"メタン🔥"_s), Yes,
         {refusal(u"化学式･慣用名の「🔥」はデータファイルに書き込めない文字です"_s)}, kName, {}},
        {"a number too large", overflow, Yes, {refusal(u"数値が大きすぎるため登録できません"_s)},
         {EntryBox::DeltaG, 3}, {}},
        {"too large once divided by CALTOJ", overflowInKcal, Yes,
         {refusal(u"数値が大きすぎるため登録できません"_s)}, {EntryBox::DeltaG, 2}, {}, 1e-10},
        {"too large once written to 15 digits", overflowWritten, Yes,
         {refusal(u"数値が大きすぎるため登録できません"_s)}, {EntryBox::Number, 1}, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DataFileFolder folder;
        folder.writeText(kStored);
        FakePlatform platform;
        for (const RecordedMessage& message : c.messages)
            platform.answerNext(message.buttons == MessageButtons::YesNo ? c.answer
                                                                         : MessageAnswer::Ok);

        const RegistrationOutcome outcome =
            registerCompound(platform, folder.path(), c.entry, c.calToJ);

        EXPECT_EQ(platform.messages, c.messages);
        EXPECT_EQ(outcome.registered, !c.appended.isEmpty());
        EXPECT_EQ(outcome.focus, c.focus);
        EXPECT_EQ(decodeShiftJis(folder.bytes()).toStdString(),
                  (kStored + c.appended).toStdString());
        if (outcome.registered) {
            // The calculation finds the record under the text as a box reads it.
            const CompoundIndex index = CompoundIndex::load(folder.path());
            EXPECT_EQ(index.recordCount(), 2);
            EXPECT_EQ(index.find(inputText(c.entry.name)), 1);
        }
    }
}

TEST(CompoundRegistration, AnUnusableDataFileIsReportedAndLeftAsItWas)
{
    DataFileFolder folder;
    const QString path = folder.path();
    {
        FakePlatform platform;
        platform.answerNext(MessageAnswer::Yes);
        platform.answerNext(MessageAnswer::Ok);
        EXPECT_FALSE(registerCompound(platform, path, entry(u"C3H6"_s), 4.184).registered);
        EXPECT_EQ(platform.messages,
                  (std::vector{confirm(u"C3H6"_s),
                               refusal(u"化合物データファイル(Norvane.dat)が見つかりません"_s)}));
        EXPECT_FALSE(QFile::exists(path)) << "registration created the file";
    }

    folder.writeText(kStored);
    const QByteArray before = folder.bytes();
    const QString appendRefusal =
        u"化合物データファイル(Norvane.dat)に書き込みができません。"
        u"書き込みが禁止されていないか、ディスク容量が十分あるか確認してください。"_s;
    {
        FakePlatform platform;
        platform.answerNext(MessageAnswer::Yes);
        platform.answerNext(MessageAnswer::Ok);
        FileSizeLimit full(rlim_t(before.size() + 10));
        ASSERT_TRUE(full.active());
        EXPECT_FALSE(registerCompound(platform, path, entry(u"C3H6"_s), 4.184).registered);
        EXPECT_EQ(platform.messages, (std::vector{confirm(u"C3H6"_s), refusal(appendRefusal)}));
    }
    EXPECT_EQ(folder.bytes(), before);

    const Immutable locked(path);
    if (!locked.active())
        GTEST_SKIP() << "this file system cannot mark a file immutable";
    FakePlatform platform;
    platform.answerNext(MessageAnswer::Yes);
    platform.answerNext(MessageAnswer::Ok);
    EXPECT_FALSE(registerCompound(platform, path, entry(u"C3H6"_s), 4.184).registered);
    EXPECT_EQ(platform.messages, (std::vector{confirm(u"C3H6"_s), refusal(appendRefusal)}));
    EXPECT_EQ(readBytes(path), before);
}

TEST(CompoundRegistration, DataFileMessages)
{
    const QString notFound = u"化合物データファイル(Norvane.dat)が見つかりません"_s;
    for (const DataFileAccess access : {DataFileAccess::Reading, DataFileAccess::Appending}) {
        EXPECT_EQ(dataFileFailureMessage(53, access), notFound);
        EXPECT_EQ(dataFileFailureMessage(76, access), notFound);
    }
    EXPECT_EQ(dataFileFailureMessage(70, DataFileAccess::Reading),
              u"化合物データファイル(Norvane.dat)を読み込めません"_s);
}

// Two running copies register at once, each its own names and, name for name
// in step, a shared set: every record is there whole and once, and a shared
// name only once.
TEST(CompoundRegistration, TwoCopiesRegisteringAtOnce)
{
    DataFileFolder folder;
    const QString path = folder.writeText(kStored);
    constexpr int rounds = 100;
    const auto names = [](const QString& own, int i) {
        return QStringList{own + QString::number(i), u"Both"_s + QString::number(i)};
    };
    // Both copies wait until the pipe closes, so that they start together.
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> copies;
    for (const QString& own : {u"A"_s, u"B"_s}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(start[1]);
            char ignored;
            (void)read(start[0], &ignored, 1);
            FakePlatform platform;
            for (int i = 0; i < rounds; ++i) {
                for (const QString& name : names(own, i)) {
                    platform.answerNext(MessageAnswer::Yes);
                    platform.answerNext(MessageAnswer::Ok);
                    registerCompound(platform, path, entry(name), 4.184);
                    platform.answers.clear();
                }
            }
            _exit(0);
        }
        copies.push_back(pid);
    }
    close(start[0]);
    close(start[1]);
    for (const pid_t pid : copies) {
        int status = -1;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const QStringList lines = decodeShiftJis(folder.bytes()).split(u"\r\n"_s);
    QStringList expected;
    for (int i = 0; i < rounds; ++i)
        expected += names(u"A"_s, i) + names(u"B"_s, i).mid(0, 1);
    std::array<double, 8> gibbs;
    gibbs.fill(-10);
    for (const QString& name : expected) {
        const QString line = compoundRecordLine(name, {0, 0, 0}, gibbs).chopped(2);
        EXPECT_EQ(lines.count(line), 1) << name.toStdString();
    }
    // The two stored lines, every record, and the empty text after the last line end.
    EXPECT_EQ(lines.size(), 2 + expected.size() + 1);

    // While another copy holds the lock, a registration waits for it. The
    // copy starts before the lock is taken, so that it shares no descriptor.
    const qsizetype before = folder.bytes().size();
    ASSERT_EQ(pipe(start), 0);
    const pid_t waiting = fork();
    ASSERT_GE(waiting, 0);
    if (waiting == 0) {
        close(start[1]);
        char ignored;
        (void)read(start[0], &ignored, 1);
        FakePlatform platform;
        platform.answerNext(MessageAnswer::Yes);
        _exit(registerCompound(platform, path, entry(u"Waiting"_s), 4.184).registered ? 0 : 1);
    }
    std::optional<DataFileLock> held(std::in_place, path);
    close(start[0]);
    close(start[1]);
    usleep(300'000);
    EXPECT_EQ(folder.bytes().size(), before);
    held.reset();
    int status = -1;
    ASSERT_EQ(waitpid(waiting, &status, 0), waiting);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(folder.bytes().size(),
              before + encodeShiftJis(compoundRecordLine(u"Waiting"_s, {0, 0, 0}, gibbs)).size());
}

// Norvane.dat reached through two links while an update replaces it over and
// over: every registration survives, the backup and the shipped copy lie
// beside the real file, and the links stay links.
TEST(CompoundRegistration, RegistrationsBesideUpdatesThroughALinkChain)
{
    QTemporaryDir root;
    const QString real = root.filePath(u"Norvane.dat"_s);
    const QString middle = root.filePath(u"link2"_s);
    const QString path = root.filePath(u"link1"_s);
    const QString shipped = root.filePath(u"shipped.dat"_s);
    writeBytes(real, encodeShiftJis(kStored));
    writeBytes(shipped, encodeShiftJis(kStored));
    ASSERT_TRUE(QFile::link(real, middle) && QFile::link(middle, path));
    constexpr int registrations = 400;
    const pid_t updater = fork();
    ASSERT_GE(updater, 0);
    if (updater == 0) {
        while (!QFile::exists(root.filePath(u"done"_s)))
            updateDataFile(shipped, path);
        _exit(0);
    }
    FakePlatform platform;
    for (int i = 0; i < registrations; ++i) {
        platform.answerNext(MessageAnswer::Yes);
        registerCompound(platform, path, entry(u"R"_s + QString::number(i)), 4.184);
    }
    writeBytes(root.filePath(u"done"_s), {});
    int status = -1;
    ASSERT_EQ(waitpid(updater, &status, 0), updater);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const CompoundIndex index = CompoundIndex::load(real);
    for (int i = 0; i < registrations; ++i)
        EXPECT_TRUE(index.find(u"R"_s + QString::number(i))) << i;
    EXPECT_EQ(platform.messages.size(), std::size_t(registrations)); // the confirmations only
    EXPECT_TRUE(QFileInfo(path).isSymLink() && QFileInfo(middle).isSymLink());
    EXPECT_EQ(entriesOf(root.path()),
              (QStringList{u"Norvane.dat"_s, u"Norvane.dat.bak"_s, u"Norvane.dat.shipped"_s,
                           u"done"_s, u"link1"_s, u"link2"_s, u"shipped.dat"_s}));
}
