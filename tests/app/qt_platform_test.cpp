#include "app/file_dialog_filter.h"
#include "app/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;

namespace {

// Runs the check on the modal dialog that the code under test opens, then
// makes sure that dialog closes, so a failed check cannot leave the test waiting.
template <class Dialog> void onNextModal(std::function<void(Dialog&)> check)
{
    QTimer::singleShot(0, [check] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (!dialog) {
            ADD_FAILURE() << "the expected dialog did not open";
            if (modal)
                modal->close();
            return;
        }
        check(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

// The patterns the file dialog takes from a name filter: those in its last parentheses.
QStringList patternsOf(const QString& nameFilter)
{
    const QRegularExpressionMatch match =
        QRegularExpression(u"\\(([^()]*)\\)$"_s).match(nameFilter);
    return match.captured(1).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

TEST(FileDialogFilter, ConvertsTheProgramsFilterList)
{
    const struct {
        const char16_t* filter;
        QStringList nameFilters;
    } cases[] = {
        {u"標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*",
         {u"標準テキスト(*.TXT) (*.[tT][xX][tT])"_s, u"全てのファイル(*.*) (*)"_s}},
        {u"結果(*.xls;*.txt)|*.xls;*.txt",
         {u"結果(*.xls;*.txt) (*.[xX][lL][sS] *.[tT][xX][tT])"_s}},
        {u"データ|Norvane.dat", {u"データ ([nN][oO][rR][vV][aA][nN][eE].[dD][aA][tT])"_s}},
        {u"", {}},
        {u"説明だけ", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qtNameFilters(QString::fromUtf16(c.filter)), c.nameFilters)
            << QString::fromUtf16(c.filter).toStdString();
}

TEST(FileDialogFilter, TextFilterFindsEitherCaseAndAllFilesFindsEveryName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& name :
         {u"r1.txt"_s, u"R2.TXT"_s, u"r3.Txt"_s, u"notes.md"_s, u"README"_s}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QStringList filters =
        qtNameFilters(u"標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s);
    ASSERT_EQ(filters.size(), 2);
    const QDir::Filters files = QDir::Files | QDir::CaseSensitive;
    EXPECT_EQ(QDir(dir.path()).entryList(patternsOf(filters[0]), files, QDir::Name),
              (QStringList{u"R2.TXT"_s, u"r1.txt"_s, u"r3.Txt"_s}));
    EXPECT_EQ(QDir(dir.path()).entryList(patternsOf(filters[1]), files).size(), 5);
}

TEST(QtPlatform, MessageBoxAsksWithTitleIconButtonsAndDefault)
{
    QtPlatform platform;
    onNextModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), u"クリア"_s);
        EXPECT_EQ(box.text(), u"表示されている反応系をクリアしますか？"_s);
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(platform.messageBox(u"クリア"_s, u"表示されている反応系をクリアしますか？"_s,
                                  MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No),
              MessageAnswer::Yes);

    onNextModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(platform.messageBox(u"Norvanta"_s, u"?"_s, MessageIcon::Question,
                                  MessageButtons::YesNo, MessageAnswer::Yes),
              MessageAnswer::No);

    onNextModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        box.button(QMessageBox::Ok)->click();
    });
    showMessage(platform, u"全圧を正しく入力してください"_s, MessageIcon::Exclamation);
}

TEST(QtPlatform, FileDialogsReturnThePathAndNameOrCancel)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString existing = dir.filePath(u"R1.TXT"_s);
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QtPlatform platform;
    FileDialogRequest request{u"反応系ファイルを開く"_s,
                              u"標準テキスト(*.TXT)|*.txt|全てのファイル(*.*)|*.*"_s, 1, dir.path(),
                              u"R1.TXT"_s};
    onNextModal<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), u"反応系ファイルを開く"_s);
        EXPECT_EQ(dialog.nameFilters().size(), 2);
        EXPECT_TRUE(dialog.selectedNameFilter().startsWith(u"全てのファイル(*.*)"_s));
        EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        static_cast<QDialog&>(dialog).accept();
    });
    const auto chosen = platform.openFileDialog(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(chosen->fullPath).canonicalFilePath(),
              QFileInfo(existing).canonicalFilePath());
    EXPECT_EQ(chosen->fileName, u"R1.TXT"_s);

    request.title = u"名前を付けて反応系ファイルを保存"_s;
    request.proposedName = u"new.txt"_s;
    onNextModal<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        dialog.reject();
    });
    EXPECT_FALSE(platform.saveFileDialog(request).has_value());

    // A name typed without an extension takes the selected filter's.
    request.proposedName = u"smr"_s;
    request.filterIndex = 0;
    onNextModal<QFileDialog>([](QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); });
    const auto saved = platform.saveFileDialog(request);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(QFileInfo(saved->fullPath).fileName(), u"smr.txt"_s);
}

TEST(QtPlatform, ClipboardHoldsTheText)
{
    QtPlatform platform;
    platform.setClipboardText(u"ﾟCO2+CH4=2CO+2H2"_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"ﾟCO2+CH4=2CO+2H2"_s);
}

TEST(QtPlatform, CurrentPrinterStartsAsTheDefaultAndKeepsTheChoice)
{
    QtPlatform platform;
    EXPECT_EQ(platform.currentPrinter(), QPrinterInfo::defaultPrinterName());
    platform.setCurrentPrinter(u"Office"_s);
    EXPECT_EQ(platform.currentPrinter(), u"Office"_s);
    EXPECT_EQ(QtPlatform().currentPrinter(), QPrinterInfo::defaultPrinterName());
}

TEST(QtPlatform, PerUserStoreIsTheApplicationsSettingsSection)
{
    QtPlatform platform;
    EXPECT_EQ(platform.userSetting(u"Norvanta"_s, u"COMMON"_s, u"MainLeft"_s, u"100"_s), u"100"_s);
    platform.setUserSetting(u"Norvanta"_s, u"COMMON"_s, u"MainLeft"_s, u"2400"_s);
    platform.setUserSetting(u"Norvanta"_s, u"COMMON"_s, u"FindText"_s, u"メタン"_s);
    EXPECT_EQ(platform.userSetting(u"Norvanta"_s, u"COMMON"_s, u"MainLeft"_s, u"100"_s), u"2400"_s);
    EXPECT_EQ(QtPlatform().userSetting(u"Norvanta"_s, u"COMMON"_s, u"FindText"_s, {}), u"メタン"_s);
    EXPECT_EQ(QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Norvanta"_s)
                  .value(u"COMMON/MainLeft"_s)
                  .toString(),
              u"2400"_s);
}

TEST(QtPlatform, SecondInstanceIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto first = std::make_unique<QtPlatform>(dir.path());
    EXPECT_TRUE(first->acquireSingleInstance());
    EXPECT_TRUE(first->acquireSingleInstance());
    EXPECT_FALSE(QtPlatform(dir.path()).acquireSingleInstance());
    first.reset();
    EXPECT_TRUE(QtPlatform(dir.path()).acquireSingleInstance());
}

TEST(QtPlatform, LockLeftByAProcessThatIsGoneIsTakenOver)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtPlatform platform(dir.path());
    QFile stale(platform.lockFilePath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // pid, application name, host name: a process number no system hands out.
    stale.write("2147480000\nNorvanta\n\n");
    stale.close();
    EXPECT_TRUE(platform.acquireSingleInstance());
    EXPECT_FALSE(QtPlatform(dir.path()).acquireSingleInstance());
}

TEST(QtPlatform, FolderWithoutRoomForALockDoesNotKeepTheProgramFromStarting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(QtPlatform(dir.filePath(u"missing/folder"_s)).acquireSingleInstance());
}

TEST(QtPlatform, LockIsKeptPerUser)
{
    const QString path = QtPlatform().lockFilePath();
    EXPECT_TRUE(path.endsWith(u".lock"_s));
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) {
        EXPECT_TRUE(path.startsWith(runtime)) << path.toStdString();
    } else {
        EXPECT_NE(QFileInfo(path).fileName(), u"Norvanta.lock"_s);
    }
}
