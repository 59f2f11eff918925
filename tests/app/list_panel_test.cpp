// The compound list panel of the main window, over the sample data file.
#include "app/application.h"
#include "app/main_form.h"
#include "common/twips.h"
#include "database/sample_database.h"
#include "support/fake_platform.h"
#include "support/gui_helpers.h"
#include "support/test_files.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

// Genres of the sample: 無機ガス (CO, CO2, H2O), ";*  炭化水素" (C2H4,
// "C2H5OH,エタノール", C3H8, " C4H10 "), 含酸素化合物 (CH3OH; hcooh and CO
// behind an empty name), 無機ガス again (O2).
class ListPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.showMainWindow();
        showActive(form);
    }

    double widthTwips() const { return pixelsToTwips(form.width(), form.logicalDpiX()); }
    double pixelTwips() const { return pixelsToTwips(1, form.logicalDpiX()); }

    QStringList listEntries() const
    {
        QStringList entries;
        for (int i = 0; i < form.ListItem->count(); ++i)
            entries += form.ListItem->item(i)->text();
        return entries;
    }
    QString selectedEntry() const
    {
        const auto selected = form.ListItem->selectedItems();
        return selected.isEmpty() ? u"<none>"_s : selected.first()->text();
    }
    void open()
    {
        QTest::mouseClick(form.ListButton, Qt::LeftButton);
        ASSERT_TRUE(form.isListPanelOpen());
    }
    void doubleClick(int entry)
    {
        const QPoint centre = form.ListItem->visualItemRect(form.ListItem->item(entry)).center();
        // The list takes a double click as such only on the entry its press selected.
        QTest::mouseClick(form.ListItem->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(form.ListItem->viewport(), Qt::LeftButton, {}, centre);
    }

    DataFileFolder data;
    const QString dataPath = data.write(sampleDatabaseLines());
    FakePlatform platform;
    NorvantaApplication app{platform, QFileInfo(dataPath).absolutePath()};
    MainForm& form = app.mainForm();
};

TEST_F(ListPanelTest, OpensOnTheFirstGenreAndClosesAgain)
{
    open();
    EXPECT_NEAR(widthTwips(), 8595, pixelTwips());
    EXPECT_EQ(form.ListName->count(), 4);
    EXPECT_EQ(form.ListName->currentText(), u"無機ガス"_s);
    EXPECT_EQ(listEntries(), QStringList({u"CO"_s, u"CO2"_s, u"H2O"_s}));
    EXPECT_FALSE(form.ListButton->isEnabled());
    EXPECT_FALSE(form.ListMenu->isEnabled());

    // CalButton, disabled, does not take the focus.
    giveFocus(form.Molar[1]);
    form.ShowHelpLine(u"一覧を閉じます"_s);
    form.closeListPanel();
    EXPECT_NEAR(widthTwips(), 6045, pixelTwips());
    EXPECT_FALSE(form.Message->isVisible());
    EXPECT_TRUE(form.ListButton->isEnabled());
    EXPECT_TRUE(form.ListMenu->isEnabled());
    EXPECT_TRUE(form.Molar[1]->hasFocus());

    // Every opening reads the file again.
    writeBytes(dataPath, readBytes(dataPath) + encodeShiftJis(u";*追加\r\nCH4, 1, 4, 0\r\n"_s));
    form.ListMenu->trigger();
    EXPECT_EQ(form.ListName->count(), 5);
    EXPECT_EQ(form.ListName->itemText(4), u"追加"_s);
    typeOver(form.React[0], u"CO"_s);
    QTest::mouseClick(form.CloseButton, Qt::LeftButton);
    EXPECT_FALSE(form.isListPanelOpen());
    EXPECT_TRUE(form.CalButton->hasFocus());
}

TEST_F(ListPanelTest, LoadFailureShowsItsMessageAndKeepsThePanelClosed)
{
    const struct {
        const char* what;
        QStringList lines; // empty: no file at all
        RecordedMessage message;
        QStringList genres;
    } cases[] = {
        {"no file",
         {},
         {u"Norvanta"_s, u"内部エラー(No: 53)が発生しました"_s, MessageIcon::Error},
         {}},
        {"a blank line in the second genre",
         {u";*一"_s, u"CO, 1, 0, 1"_s, u";*二"_s, QString(), u";*三"_s},
         {u"Norvanta"_s, u"内部エラー(No: 5)が発生しました"_s, MessageIcon::Error},
         {u"一"_s, u"二"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(dataPath);
        if (!c.lines.isEmpty())
            data.write(c.lines);
        platform.messages.clear();
        platform.answerNext(MessageAnswer::Ok);
        QTest::mouseClick(form.ListButton, Qt::LeftButton);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0], c.message);
        EXPECT_FALSE(form.isListPanelOpen());
        EXPECT_NEAR(widthTwips(), 6045, pixelTwips());
        EXPECT_TRUE(form.ListButton->isEnabled());
        EXPECT_TRUE(form.ListMenu->isEnabled());
        QStringList genres;
        for (int i = 0; i < form.ListName->count(); ++i)
            genres += form.ListName->itemText(i);
        EXPECT_EQ(genres, c.genres);
    }
}

// The genre buttons stop at either end and treat a repeated genre name as
// its first genre; keys in ListName change nothing.
TEST_F(ListPanelTest, GenreButtonsKeepToTheirBounds)
{
    data.write({u";*A"_s, u"X, 0, 0, 0"_s, u";*B"_s, u"Y, 0, 0, 0"_s, u";*A"_s, u"Z, 0, 0, 0"_s,
                u";*C"_s, u"W, 0, 0, 0"_s});
    open();
    const auto choose = [this](int position) {
        form.ListName->setCurrentIndex(position);
        Q_EMIT form.ListName->activated(position);
    };
    const struct {
        std::function<void()> action;
        int position;
        const char16_t* entry;
    } steps[] = {
        {[this] { QTest::mouseClick(form.GenreUpButton, Qt::LeftButton); }, 0, u"X"},
        {[this] { QTest::mouseClick(form.GenreDownButton, Qt::LeftButton); }, 1, u"Y"},
        // The second A shows the first A's names ...
        {[this] { QTest::mouseClick(form.GenreDownButton, Qt::LeftButton); }, 2, u"X"},
        // ... and the next genre is the one after the first A.
        {[this] { QTest::mouseClick(form.GenreDownButton, Qt::LeftButton); }, 1, u"Y"},
        {[&] { choose(3); }, 3, u"W"},
        {[this] { QTest::mouseClick(form.GenreDownButton, Qt::LeftButton); }, 3, u"W"},
        {[this] { QTest::mouseClick(form.GenreUpButton, Qt::LeftButton); }, 2, u"X"},
        {[&] {
             choose(3);
             giveFocus(form.ListName);
             for (Qt::Key key : {Qt::Key_Up, Qt::Key_Home, Qt::Key_X, Qt::Key_F4})
                 QTest::keyClick(form.ListName, key);
         },
         3, u"W"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        steps[i].action();
        EXPECT_EQ(form.ListName->currentIndex(), steps[i].position);
        EXPECT_EQ(listEntries(), QStringList{QString::fromUtf16(steps[i].entry)});
    }
}

TEST_F(ListPanelTest, SearchShowsTheGenreAndSelectsTheName)
{
    open();
    form.FindText->setText(u"c3h"_s);
    QTest::mouseClick(form.FindDownButton, Qt::LeftButton);
    EXPECT_EQ(form.ListName->currentText(), u";*  炭化水素"_s);
    EXPECT_EQ(selectedEntry(), u"C3H8"_s);

    // Behind the empty name the list stops: the genre is shown, nothing selected.
    form.FindText->setText(u"HCOOH"_s);
    QTest::mouseClick(form.FindDownButton, Qt::LeftButton);
    EXPECT_EQ(form.ListName->currentText(), u"含酸素化合物"_s);
    EXPECT_EQ(selectedEntry(), u"<none>"_s);

    form.FindText->setText(u"co"_s);
    QTest::mouseClick(form.FindUpButton, Qt::LeftButton);
    EXPECT_EQ(form.ListName->currentText(), u"無機ガス"_s);
    EXPECT_EQ(selectedEntry(), u"CO2"_s);
    // Nothing found: the selection stays, and no message.
    form.FindText->setText(u"N2"_s);
    QTest::mouseClick(form.FindUpButton, Qt::LeftButton);
    EXPECT_EQ(selectedEntry(), u"CO2"_s);
    EXPECT_TRUE(platform.messages.empty());

    giveFocus(form.FindText, Qt::MouseFocusReason);
    EXPECT_EQ(form.FindText->selectedText(), u"N2"_s);
}

TEST_F(ListPanelTest, DoubleClickWritesIntoTheLastFocusedCompoundBox)
{
    open();
    giveFocus(form.ReactNum[0]);
    doubleClick(1);
    for (const QLineEdit* box : form.React)
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_FALSE(app.fileState().DataModified);

    giveFocus(form.Product[2]);
    doubleClick(1);
    EXPECT_EQ(form.Product[2]->text(), u"CO2"_s);
    EXPECT_TRUE(app.fileState().DataModified);
    EXPECT_TRUE(form.CalButton->isEnabled());

    form.React[1]->setText(u"CH4"_s);
    giveFocus(form.React[1]);
    doubleClick(2);
    EXPECT_EQ(form.React[1]->text(), u"H2O"_s);
}

} // namespace
