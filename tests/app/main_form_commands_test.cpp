#include "main_form_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

TEST_F(MainFormTest, StepButtons)
{
    struct Case {
        StepColumn column;
        const char16_t* before;
        int button; // 0 "-", 1 "+"
        const char16_t* after;
    };
    // clang-format off
    const Case cases[] = {
        {ReactNumColumn, u"", 1, u"1"},
        {ReactNumColumn, u"1", 0, u""},
        {MolarColumn, u"2.5", 0, u"1.5"},
        {ProductNumColumn, u"H2O", 1, u"1"},
        {ProductNumColumn, u"abc", 0, u""},
        {ReactNumColumn, u"0.5", 0, u""},
        {MolarColumn, u"-3", 0, u""},
        {MolarColumn, u"-3", 1, u"-2"},
        {ReactNumColumn, u"2.50", 1, u"3.5"},
        {ProductNumColumn, u"0.1", 1, u"1.1"},
        {MolarColumn, u" 7 mol", 1, u"8"},
        {ReactNumColumn, u"999999999999999", 1, u"1E+15"},
        {ReactNumColumn, u"1e999", 1, u"1"},
        {ProductNumColumn, u"1.5", 0, u"0.5"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const QString before = QString::fromUtf16(c.before);
        SCOPED_TRACE(before.toStdString() + (c.button ? " +" : " -"));
        const auto& boxes = c.column == ReactNumColumn ? form.ReactNum
                            : c.column == MolarColumn  ? form.Molar
                                                       : form.ProductNum;
        const auto& buttons = c.column == ReactNumColumn ? form.AddSR
                              : c.column == MolarColumn  ? form.AddMR
                                                         : form.AddSP;
        boxes[2]->setText(before);
        giveFocus(boxes[2]);
        file.DataModified = false;

        QTest::mouseClick(buttons[c.button], Qt::LeftButton);

        EXPECT_EQ(boxes[2]->text(), QString::fromUtf16(c.after));
        EXPECT_EQ(file.DataModified, before != QString::fromUtf16(c.after));
        EXPECT_TRUE(boxes[2]->hasFocus());
        for (int row : {0, 1, 3})
            EXPECT_TRUE(boxes[row]->text().isEmpty()) << row;
    }
}

TEST_F(MainFormTest, ClearAnsweredNoChangesNothing)
{
    form.setFields(exampleFields());
    const ReactionFields before = form.fields();
    platform.answerNext(MessageAnswer::No);

    QTest::mouseClick(form.ResetButton, Qt::LeftButton);

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0],
              question(u"クリア"_s, u"表示されている反応系をクリアしますか？"_s));
    EXPECT_EQ(form.fields(), before);
    EXPECT_TRUE(file.DataModified);
    EXPECT_TRUE(form.CalButton->isEnabled());
}

TEST_F(MainFormTest, ClearAnsweredYesEmptiesEverythingAndLeavesNothingToSave)
{
    form.setFields(exampleFields());
    file.FileNameKnown = true;
    settings.LimitPos = 2;
    form.TetraPrec->setChecked(false);
    form.SaveResultItem->setEnabled(true);
    platform.answerNext(MessageAnswer::Yes);

    form.ResetMenu->trigger();

    ReactionFields empty;
    empty.pressure.clear();
    EXPECT_EQ(form.fields(), empty);
    EXPECT_FALSE(file.DataModified);
    EXPECT_FALSE(form.CalButton->isEnabled());
    EXPECT_FALSE(form.SaveResultItem->isEnabled());
    // Untouched: the last focused option, the precision and the file flags.
    EXPECT_EQ(settings.LimitPos, 2);
    EXPECT_FALSE(form.TetraPrec->isChecked());
    EXPECT_TRUE(file.FileNameKnown);
    EXPECT_TRUE(form.SaveButton->isEnabled());
}

TEST_F(MainFormTest, ReverseTwiceRestoresCompoundsAndCoefficientsButNotRatiosOrLimit)
{
    const ReactionFields original = exampleFields();
    form.setFields(original);
    file.DataModified = false;

    QTest::mouseClick(form.ReverseButton, Qt::LeftButton);

    const ReactionFields reversed = form.fields();
    EXPECT_EQ(reversed.react, original.product);
    EXPECT_EQ(reversed.reactNum, original.productNum);
    EXPECT_EQ(reversed.product, original.react);
    EXPECT_EQ(reversed.productNum, original.reactNum);
    EXPECT_EQ(reversed.molar, (std::array<QString, 4>{}));
    EXPECT_EQ(reversed.restrict, -1);
    EXPECT_EQ(reversed.pressure, original.pressure);
    EXPECT_TRUE(file.DataModified);
    EXPECT_TRUE(platform.messages.empty());

    form.RevMenu->trigger();

    const ReactionFields twice = form.fields();
    EXPECT_EQ(twice.react, original.react);
    EXPECT_EQ(twice.reactNum, original.reactNum);
    EXPECT_EQ(twice.product, original.product);
    EXPECT_EQ(twice.productNum, original.productNum);
    EXPECT_EQ(twice.molar, (std::array<QString, 4>{}));
    EXPECT_EQ(twice.restrict, -1);
}

TEST_F(MainFormTest, CheckedMenuItemsToggleTheirMarkAndSetting)
{
    const struct {
        QAction* item;
        qint16& setting;
    } cases[] = {{form.DispHelpMenu, settings.DispHelp},
                 {form.ColorPrintModeMenu, settings.ColorPrintMode}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item->objectName().toStdString());
        ASSERT_TRUE(c.item->isChecked());
        c.item->trigger();
        EXPECT_FALSE(c.item->isChecked());
        EXPECT_EQ(c.setting, 0);
        c.item->trigger();
        EXPECT_TRUE(c.item->isChecked());
        EXPECT_EQ(c.setting, -1);
    }
}
