#include "main_form_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

struct HintCase {
    const char* name;
    std::function<QWidget*(MainForm&)> control;
    QString hint;
};

std::vector<HintCase> mainWindowHints()
{
    // clang-format off
    return {
        {"ReactNum", [](MainForm& f) { return f.ReactNum[1]; }, u"量論係数を入力します"_s},
        {"ProductNum", [](MainForm& f) { return f.ProductNum[3]; }, u"量論係数を入力します"_s},
        {"React", [](MainForm& f) { return f.React[0]; }, u"化学式･慣用名を入力します"_s},
        {"Product", [](MainForm& f) { return f.Product[2]; }, u"化学式･慣用名を入力します"_s},
        {"Molar", [](MainForm& f) { return f.Molar[2]; }, u"分圧(比)を入力します"_s},
        {"Pressure", [](MainForm& f) { return f.Pressure; }, u"反応全圧を入力します"_s},
        {"Restrict", [](MainForm& f) { return f.Restrict[3]; }, u"制限化合物を指定します"_s},
        {"AddSR +", [](MainForm& f) { return f.AddSR[1]; }, u"数値を1増加させます"_s},
        {"AddMR +", [](MainForm& f) { return f.AddMR[1]; }, u"数値を1増加させます"_s},
        {"AddSP +", [](MainForm& f) { return f.AddSP[1]; }, u"数値を1増加させます"_s},
        {"AddSR -", [](MainForm& f) { return f.AddSR[0]; }, u"数値を1減少させます"_s},
        {"AddMR -", [](MainForm& f) { return f.AddMR[0]; }, u"数値を1減少させます"_s},
        {"AddSP -", [](MainForm& f) { return f.AddSP[0]; }, u"数値を1減少させます"_s},
        {"CalButton", [](MainForm& f) { return f.CalButton; }, u"計算を開始します"_s},
        {"ResetButton", [](MainForm& f) { return f.ResetButton; }, u"表示データをクリアします"_s},
        {"ReverseButton", [](MainForm& f) { return f.ReverseButton; }, u"反応･生成系を反転します"_s},
        {"ExitButton", [](MainForm& f) { return f.ExitButton; }, u"Norvantaを終了します"_s},
        {"OpenButton", [](MainForm& f) { return f.OpenButton; }, u"反応系を開きます"_s},
        {"SaveButton", [](MainForm& f) { return f.SaveButton; }, u"反応系を上書き保存します"_s},
        {"SaveAsButton", [](MainForm& f) { return f.SaveAsButton; }, u"反応系に名前を付けて保存します"_s},
        {"ListButton", [](MainForm& f) { return f.ListButton; }, u"登録データ一覧を表示します"_s},
    };
    // clang-format on
}

std::vector<HintCase> listPanelHints()
{
    // clang-format off
    return {
        {"CloseButton", [](MainForm& f) { return f.CloseButton; }, u"一覧を閉じます"_s},
        {"GenreUpButton", [](MainForm& f) { return f.GenreUpButton; }, u"前の化合物ジャンルを表示します"_s},
        {"GenreDownButton", [](MainForm& f) { return f.GenreDownButton; }, u"次の化合物ジャンルを表示します"_s},
        {"FindText", [](MainForm& f) { return f.FindText; }, u"検索語句を入力します"_s},
        {"FindUpButton", [](MainForm& f) { return f.FindUpButton; }, u"前方検索します"_s},
        {"FindDownButton", [](MainForm& f) { return f.FindDownButton; }, u"後方検索します"_s},
        {"ListItem", [](MainForm& f) { return f.ListItem->viewport(); }, u"ダブルクリックしてデータを移します"_s},
    };
    // clang-format on
}

// A point of the widget where none of its children is.
QPoint barePoint(QWidget* widget)
{
    for (int y = widget->height() - 1; y > 0; y -= 3)
        for (int x = 1; x < widget->width(); x += 3)
            if (!widget->childAt(x, y))
                return {x, y};
    ADD_FAILURE() << "no bare point in " << widget->objectName().toStdString();
    return {};
}

} // namespace

TEST_F(MainFormTest, PointingAtAControlShowsItsHint)
{
    form.setListPanelOpen(true);
    std::vector<HintCase> cases = mainWindowHints();
    for (HintCase& c : listPanelHints())
        cases.push_back(std::move(c));
    for (const HintCase& c : cases) {
        SCOPED_TRACE(c.name);
        form.hideHelpLine();
        pointAt(c.control(form));
        EXPECT_TRUE(form.Message->isVisible());
        EXPECT_EQ(form.Message->text(), c.hint);
    }
    // The bare part of the search frame speaks for the whole search area.
    pointAt(form.FindFrame, barePoint(form.FindFrame));
    EXPECT_EQ(form.Message->text(), u"指定文字を含む化合物名を検索します"_s);
    // The help line itself empties what it shows.
    pointAt(form.Message);
    EXPECT_TRUE(form.Message->isVisible());
    EXPECT_EQ(form.Message->text(), QString());
}

TEST_F(MainFormTest, TetraPrecHintNamesTheModeAClickWouldSet)
{
    form.TetraPrec->setChecked(true);
    pointAt(form.TetraPrec);
    EXPECT_EQ(form.Message->text(), u"100K計算モードに設定します"_s);
    form.TetraPrec->setChecked(false);
    pointAt(form.TetraPrec);
    EXPECT_EQ(form.Message->text(), u"25K計算モードに設定します"_s);
}

TEST_F(MainFormTest, BareBackgroundHidesTheHelpLine)
{
    pointAt(form.React[0]);
    ASSERT_TRUE(form.Message->isVisible());
    pointAt(form.centralWidget(), barePoint(form.centralWidget()));
    EXPECT_FALSE(form.Message->isVisible());

    form.setListPanelOpen(true);
    pointAt(form.ListButton);
    ASSERT_TRUE(form.Message->isVisible());
    pointAt(form.ListPanel, barePoint(form.ListPanel));
    EXPECT_FALSE(form.Message->isVisible());
}

TEST_F(MainFormTest, LabelsAndFramesWithoutHintLeaveTheHelpLineAlone)
{
    pointAt(form.Pressure);
    pointAt(form.Arrow);
    EXPECT_TRUE(form.Message->isVisible());
    EXPECT_EQ(form.Message->text(), u"反応全圧を入力します"_s);
}

TEST_F(MainFormTest, WithDispHelpOffNoHintButTheHelpLineItselfStillEmptiesIt)
{
    pointAt(form.CalButton);
    form.DispHelpMenu->trigger();
    ASSERT_EQ(settings.DispHelp, 0);

    for (const HintCase& c : mainWindowHints()) {
        SCOPED_TRACE(c.name);
        pointAt(c.control(form));
        EXPECT_EQ(form.Message->text(), u"計算を開始します"_s);
    }
    pointAt(form.Message);
    EXPECT_TRUE(form.Message->isVisible());
    EXPECT_EQ(form.Message->text(), QString());
}

TEST_F(MainFormTest, NoHintWhileACalculationRuns)
{
    form.hideHelpLine();
    form.setCalculationIdle(false);
    pointAt(form.React[1]);
    form.ShowHelpLine(u"結果"_s);
    EXPECT_FALSE(form.Message->isVisible());

    form.setCalculationIdle(true);
    pointAt(form.React[1]);
    EXPECT_TRUE(form.Message->isVisible());
    EXPECT_EQ(form.Message->text(), u"化学式･慣用名を入力します"_s);
}
