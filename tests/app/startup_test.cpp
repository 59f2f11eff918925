#include "program_fixture.h"

#include "app/shutdown.h"
#include "app/window_placement.h"
#include "files/float_text.h"
#include "results/results_form.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

// "ＭＳ Ｐゴシック" in Shift_JIS.
const QByteArray kPrintFont = QByteArray("\x82l\x82r \x82o\x83S\x83V\x83"
                                         "b\x83N");

QByteArray quoted(const QByteArray& entry)
{
    return '"' + entry + "\"\r\n";
}

QByteArray edgeText(double twips)
{
    return floatNumberText(float(twips)).toLatin1();
}

} // namespace

class StartupTest : public ProgramTest {
protected:
    void restart()
    {
        app.reset();
        startProgram();
    }

    void setStore(const char* key, const QString& value)
    {
        platform.userStore.insert(
            FakePlatform::storeKey(u"Norvanta"_s, u"COMMON"_s, QString::fromLatin1(key)), value);
    }

    int selectedRestrict()
    {
        int selected = -1;
        for (int row = 0; row < 4; ++row) {
            if (form().Restrict[row]->isChecked()) {
                EXPECT_EQ(selected, -1) << "two options selected";
                selected = row;
            }
        }
        return selected;
    }
};

TEST_F(StartupTest, TheFirstRunWritesTheSettingsAndTheMarker)
{
    startProgram();

    const QPointF mainEdges = windowPositionTwips(form());
    const QPointF resultsEdges = windowPositionTwips(app->resultsForm());
    // The store's default places both windows 100 twips from the screen's corner.
    EXPECT_NEAR(mainEdges.x(), 100, 15);
    EXPECT_NEAR(resultsEdges.y(), 100, 15);
    QByteArray expected = quoted("LimitPos=-1") + quoted("PlotMode=0");
    for (const char* key : {"ReactantNum", "Reactant", "MolarRatio", "ProductNum", "Product"}) {
        for (int i = 1; i <= 4; ++i)
            expected += quoted(key + QByteArray::number(i) + '=');
    }
    expected += quoted("Pressure=1") + quoted("TetraPrecision=1") + quoted("DispHelp=-1") +
                quoted("ColorPrintMode=-1") + quoted("MainLeft=" + edgeText(mainEdges.x())) +
                quoted("MainTop=" + edgeText(mainEdges.y())) +
                quoted("ResultsLeft=" + edgeText(resultsEdges.x())) +
                quoted("ResultsTop=" + edgeText(resultsEdges.y())) + quoted("Search=") +
                quoted("UsualDirectory=" + folder().toLocal8Bit() + '/') +
                quoted("PrintFontName=" + kPrintFont) + quoted("PrintFontSize=10");
    EXPECT_EQ(settingsBytes(), expected);
    EXPECT_EQ(readBytes(path(u"Norvane.env"_s)), "B\r\n");
    EXPECT_TRUE(app->centreResultsOnFirstShow());

    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(app->resultsForm().isVisible());
    EXPECT_EQ(form().windowTitle(), u"Norvanta"_s);
    EXPECT_FALSE(form().CalButton->isEnabled());
    EXPECT_EQ(selectedRestrict(), -1);
    EXPECT_FALSE(form().SaveItem->isEnabled());
    EXPECT_FALSE(form().SaveButton->isEnabled());
    EXPECT_TRUE(form().OpenItem->isEnabled());
    EXPECT_TRUE(form().SaveAsButton->isEnabled());
    EXPECT_TRUE(form().DispHelpMenu->isChecked());
    EXPECT_TRUE(form().ColorPrintModeMenu->isChecked());
    EXPECT_TRUE(form().TetraPrec->isChecked());
    EXPECT_FALSE(file().DataModified);
    EXPECT_FALSE(file().FileNameKnown);
    EXPECT_EQ(app->resultFileFolder(), folder() + u'/');
    EXPECT_EQ(form().focusWidget(), form().ReactNum[0]);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartupTest, ANormalRunAfterANormalExitRestoresTheLastState)
{
    startProgram();
    form().setFields(reforming());
    form().move(300, 200);
    form().FindText->setText(u"メタン"_s);
    platform.answerNext(MessageAnswer::Yes);
    form().ExitMenu->trigger();
    ASSERT_TRUE(app->exitSequence().ended());
    const QPointF exitEdges = windowPositionTwips(form());
    EXPECT_EQ(readBytes(path(u"Norvane.env"_s)), "B\r\n");

    restart();

    EXPECT_FALSE(app->centreResultsOnFirstShow());
    EXPECT_EQ(form().fields(), reforming());
    EXPECT_FALSE(file().DataModified) << "a restored reaction counts as unmodified";
    EXPECT_FALSE(file().FileNameKnown);
    EXPECT_FALSE(form().SaveButton->isEnabled());
    EXPECT_TRUE(form().CalButton->isEnabled());
    EXPECT_EQ(form().FindText->text(), u"メタン"_s);
    EXPECT_EQ(windowPositionTwips(form()), exitEdges);
    EXPECT_EQ(form().pos(), QPoint(300, 200));
    EXPECT_EQ(settings().MainLeft, float(exitEdges.x()));
    EXPECT_EQ(platform.messages.size(), 1u) << "only the exit question";
}

TEST_F(StartupTest, ExitWhileMinimisedLeavesTheMarkerAAndTheOldPosition)
{
    startProgram();
    form().move(300, 200);
    form().ExitButton->click();
    ASSERT_TRUE(app->exitSequence().ended());
    const QString storedLeft = store("MainLeft");
    const QString storedTop = store("MainTop");

    restart();
    const QByteArray mainLeftEntry = "\"MainLeft=" + edgeText(settings().MainLeft) + "\"";
    ASSERT_TRUE(settingsBytes().contains(mainLeftEntry));
    form().move(500, 400);
    form().FindText->setText(u"水素"_s);
    form().showMinimized();
    ASSERT_TRUE(form().isMinimized());
    form().ExitMenu->trigger();

    EXPECT_TRUE(app->exitSequence().ended());
    EXPECT_EQ(store("MainLeft"), storedLeft);
    EXPECT_EQ(store("MainTop"), storedTop);
    EXPECT_EQ(store("FindText"), u"水素"_s);
    EXPECT_TRUE(settingsBytes().contains(mainLeftEntry)) << "the remembered edge is written";
    EXPECT_EQ(readBytes(path(u"Norvane.env"_s)), "A\r\n");

    restart();
    EXPECT_TRUE(app->centreResultsOnFirstShow());
    EXPECT_EQ(readBytes(path(u"Norvane.env"_s)), "B\r\n");
}

TEST_F(StartupTest, StoredLimitPosSelectsItsOptionAndEnablesCalculation)
{
    struct Case {
        QByteArray line;
        int selected;
        bool calculable;
        qint16 limitPos;
    };
    // clang-format off
    const Case cases[] = {
        {"\"LimitPos=2\"", 2, true, 2},
        {"limitpos = 2", 2, true, 2},
        {"\" LIMITPOS =  0 \"", 0, true, 0},
        {"LimitPos=2.5", 2, true, 2},
        {"LimitPos=3.5", -1, true, 4},
        {"LimitPos=-1", -1, false, -1},
        {"LimitPos=5", -1, true, 5},
        {"LimitPos=40000", -1, false, -1},
        {"LimitPos", -1, false, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        app.reset();
        writeBytes(path(u"Norvane.ini"_s), c.line + "\r\n");
        startProgram();
        EXPECT_EQ(selectedRestrict(), c.selected);
        EXPECT_EQ(form().CalButton->isEnabled(), c.calculable);
        EXPECT_EQ(settings().LimitPos, c.limitPos);
        EXPECT_TRUE(
            settingsBytes().startsWith(quoted("LimitPos=" + QByteArray::number(c.limitPos))));
        EXPECT_FALSE(file().DataModified);
    }
}

TEST_F(StartupTest, SettingsFileValuesReachTheWindows)
{
    writeBytes(path(u"Norvane.ini"_s), "\"Reactant1=CO2\"\r\n"
                                       "\"reactantnum1 = 1\"\r\n"
                                       "Pressure=1,5\r\n"
                                       "\"Product2=H2\"\r\n"
                                       "\"PlotMode=2\"\r\n"
                                       "\"DispHelp=5\"\r\n"
                                       "\"ColorPrintMode=0\"\r\n"
                                       "\"TetraPrecision=0\"\r\n"
                                       "\"Search=a=b, c\"\r\n"
                                       "\"Colour=red\"\r\n"
                                       "\"UsualDirectory=/srv/Reactions/\"\r\n");
    startProgram();

    EXPECT_EQ(form().React[0]->text(), u"CO2"_s);
    EXPECT_EQ(form().ReactNum[0]->text(), u"1"_s);
    EXPECT_EQ(form().Product[1]->text(), u"H2"_s);
    EXPECT_EQ(form().Pressure->text(), u"1"_s) << "the unquoted comma ends the value";
    EXPECT_TRUE(app->resultsForm().PlotMode[2]->isChecked());
    EXPECT_EQ(app->resultsDisplay().plotMode, 2);
    EXPECT_TRUE(form().DispHelpMenu->isChecked());
    EXPECT_FALSE(form().ColorPrintModeMenu->isChecked());
    EXPECT_EQ(form().TetraPrec->checkState(), Qt::Unchecked);
    EXPECT_TRUE(form().CalButton->isEnabled()) << "a reactant name enables the calculation";
    EXPECT_FALSE(file().DataModified);
    EXPECT_EQ(app->resultFileFolder(), u"/srv/Reactions/"_s);

    const QByteArray written = settingsBytes();
    for (const QByteArray& entry :
         {quoted("PlotMode=2"), quoted("Reactant1=CO2"), quoted("ReactantNum1=1"),
          quoted("Product2=H2"), quoted("Pressure=1"), quoted("TetraPrecision=0"),
          quoted("DispHelp=5"), quoted("ColorPrintMode=0"), quoted("Search=a=b, c"),
          quoted("UsualDirectory=/srv/Reactions/")})
        EXPECT_TRUE(written.contains(entry)) << entry.toStdString();
    EXPECT_FALSE(written.contains("Colour"));

    // The Search value and DispHelp 5 survive further runs unchanged.
    form().ExitMenu->trigger();
    restart();
    EXPECT_TRUE(settingsBytes().contains(quoted("Search=a=b, c")));
    EXPECT_TRUE(settingsBytes().contains(quoted("DispHelp=5")));
}

TEST_F(StartupTest, TheTetraPrecBoxTakesWhatItCanShow)
{
    struct Case {
        QByteArray value;
        Qt::CheckState box;
    };
    const Case cases[] = {
        {"0", Qt::Unchecked}, {"1", Qt::Checked}, {"7", Qt::Checked}, {"2", Qt::PartiallyChecked}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        app.reset();
        writeBytes(path(u"Norvane.ini"_s), "\"TetraPrecision=" + c.value + "\"\r\n");
        startProgram();
        EXPECT_EQ(form().TetraPrec->checkState(), c.box);
        EXPECT_TRUE(settingsBytes().contains(quoted("TetraPrecision=" + c.value)));
    }

    // The grey box of 2 turns into a plain check box with the user's first click.
    form().TetraPrec->click();
    EXPECT_EQ(form().TetraPrec->checkState(), Qt::Checked);
    EXPECT_EQ(settings().TetraPrecision, 1);
    form().TetraPrec->click();
    EXPECT_EQ(form().TetraPrec->checkState(), Qt::Unchecked);
    EXPECT_EQ(settings().TetraPrecision, 0);
}

TEST_F(StartupTest, ThePerUserStorePlacesTheWindows)
{
    setStore("MainLeft", u"1440"_s);
    setStore("MainTop", u"720"_s);
    setStore("ResultsMainLeft", u"2880"_s);
    setStore("ResultsLeft", u"abc"_s);
    setStore("FindText", u"エタン"_s);
    startProgram();

    EXPECT_EQ(windowPositionTwips(form()), QPointF(1440, 720));
    EXPECT_EQ(windowPositionTwips(app->resultsForm()).x(), 2880);
    EXPECT_EQ(form().FindText->text(), u"エタン"_s);
    EXPECT_TRUE(settingsBytes().contains(quoted("MainLeft=1440")));
    EXPECT_TRUE(settingsBytes().contains(quoted("ResultsLeft=2880")));

    // A place remembered on a larger screen comes back wholly onto this one.
    setStore("MainLeft", u"30000"_s);
    restart();
    const QRect main = form().frameGeometry();
    EXPECT_EQ(main.topLeft(), QPoint(platform.screen.width() - main.width(), 48));
}

TEST_F(StartupTest, ConstantsWarningsAreShownOnceAtStartUp)
{
    writeBytes(path(u"constants.txt"_s), "R=0\r\nCALTOJ=abc\r\n");
    platform.answerNext(MessageAnswer::Ok);
    platform.answerNext(MessageAnswer::Ok);
    startProgram();

    EXPECT_EQ(
        platform.messages,
        (std::vector{
            exclamation(u"Norvanta"_s,
                        u"constants.txtのRの値が正しくありません。既定値を使用します。"_s),
            exclamation(u"Norvanta"_s,
                        u"constants.txtのCALTOJの値が正しくありません。既定値を使用します。"_s)}));
    EXPECT_EQ(app->constants().r, 1.987216);
    EXPECT_EQ(app->constants().calToJ, 4.184);

    form().KeepNowMenu->trigger();
    form().ExitMenu->trigger();
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(StartupTest, ConstantsFromTheFileAreUsed)
{
    writeBytes(path(u"constants.txt"_s), "r = 8.314\r\nCALTOJ=4.2\r\n");
    startProgram();
    EXPECT_EQ(app->constants().r, 8.314);
    EXPECT_EQ(app->constants().kpFactor, 1000 / 8.314);
    EXPECT_EQ(app->constants().calToJ, 4.2);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartupTest, KeepNowWritesTheSettingsAtOnce)
{
    startProgram();
    showActive(form());
    form().React[0]->setText(u"CH4"_s);
    ASSERT_FALSE(settingsBytes().contains("CH4"));
    giveFocus(form().React[0]);
    form().React[0]->setCursorPosition(0);

    QTest::keyClick(form().React[0], Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(form().React[0]->text(), u"CH4"_s);

    EXPECT_TRUE(settingsBytes().contains(quoted("Reactant1=CH4")));
    EXPECT_TRUE(form().isVisible());
    EXPECT_TRUE(file().DataModified) << "keeping the state is not saving the reaction";
}

TEST_F(StartupTest, AFolderThatTakesNoFilesStillStarts)
{
    const Immutable locked(folder());
    if (!locked.active())
        GTEST_SKIP() << "this file system cannot mark a folder immutable";
    startProgram();
    EXPECT_TRUE(form().isVisible());
    EXPECT_TRUE(app->centreResultsOnFirstShow());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(form().focusWidget(), form().ReactNum[0]);
}
