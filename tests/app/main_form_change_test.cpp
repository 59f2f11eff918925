#include "main_form_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

TEST_F(MainFormTest, EveryEditRaisesItsChangeEffects)
{
    struct Case {
        const char* name;
        std::function<void(MainForm&)> edit;
        bool enablesCalButton;
        bool savesItemFollowsFile; // false: SaveItem keeps its state
    };
    // clang-format off
    const Case cases[] = {
        {"React", [](MainForm& f) { typeOver(f.React[1], u"CO"_s); }, true, true},
        {"Product", [](MainForm& f) { typeOver(f.Product[2], u"H2"_s); }, true, true},
        {"ReactNum", [](MainForm& f) { typeOver(f.ReactNum[0], u"2"_s); }, false, true},
        {"Molar", [](MainForm& f) { typeOver(f.Molar[3], u"0.5"_s); }, false, true},
        {"ProductNum", [](MainForm& f) { typeOver(f.ProductNum[1], u"3"_s); }, false, true},
        {"Restrict click", [](MainForm& f) { QTest::mouseClick(f.Restrict[2], Qt::LeftButton); }, false, true},
        {"Pressure", [](MainForm& f) { typeOver(f.Pressure, u"10"_s); }, false, false},
        {"emptying React", [](MainForm& f) { f.React[0]->setText(u"X"_s); f.React[0]->clear(); }, true, true},
    };
    // clang-format on
    for (const bool fileNameKnown : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (fileNameKnown ? ", file known" : ", no file"));
            file.FileNameKnown = fileNameKnown;
            file.DataModified = false;
            form.CalButton->setEnabled(false);
            form.SaveResultItem->setEnabled(true);
            form.SaveItem->setEnabled(!fileNameKnown);
            form.SaveButton->setEnabled(!fileNameKnown);

            c.edit(form);

            EXPECT_TRUE(file.DataModified);
            EXPECT_EQ(form.CalButton->isEnabled(), c.enablesCalButton);
            EXPECT_EQ(form.SaveButton->isEnabled(), fileNameKnown);
            EXPECT_EQ(form.SaveItem->isEnabled(),
                      c.savesItemFollowsFile ? fileNameKnown : !fileNameKnown);
            EXPECT_FALSE(form.SaveResultItem->isEnabled());
        }
    }
}

TEST_F(MainFormTest, TetraPrecClickSetsThePrecisionAndOnlyDisablesSavingResults)
{
    ASSERT_TRUE(form.TetraPrec->isChecked());
    form.SaveResultItem->setEnabled(true);
    QTest::mouseClick(form.TetraPrec, Qt::LeftButton);
    EXPECT_FALSE(form.TetraPrec->isChecked());
    EXPECT_EQ(settings.TetraPrecision, 0);
    EXPECT_FALSE(form.SaveResultItem->isEnabled());
    EXPECT_FALSE(file.DataModified);
    EXPECT_FALSE(form.CalButton->isEnabled());

    QTest::mouseClick(form.TetraPrec, Qt::LeftButton);
    EXPECT_EQ(settings.TetraPrecision, 1);
}

TEST_F(MainFormTest, SettingTheSameTextChangesNothing)
{
    form.setFields(form.fields());
    EXPECT_FALSE(file.DataModified);
    EXPECT_FALSE(form.CalButton->isEnabled());
}

TEST_F(MainFormTest, SetFieldsWritesEveryFieldAndRaisesTheChangeEffects)
{
    file.FileNameKnown = true;
    const ReactionFields fields = exampleFields();
    form.setFields(fields);
    EXPECT_EQ(form.fields(), fields);
    EXPECT_TRUE(form.Restrict[1]->isChecked());
    EXPECT_TRUE(file.DataModified);
    EXPECT_TRUE(form.CalButton->isEnabled());
    EXPECT_TRUE(form.SaveItem->isEnabled());
    // The limiting-compound mark follows the option the program selected.
    EXPECT_EQ(settings.LimitPos, 1);

    ReactionFields none = fields;
    none.restrict = -1;
    form.setFields(none);
    EXPECT_EQ(form.fields().restrict, -1);
    for (QRadioButton* option : form.Restrict)
        EXPECT_FALSE(option->isChecked());
    EXPECT_EQ(settings.LimitPos, 1);
}

TEST_F(MainFormTest, OneRestrictOptionAtMost)
{
    QTest::mouseClick(form.Restrict[0], Qt::LeftButton);
    QTest::mouseClick(form.Restrict[3], Qt::LeftButton);
    EXPECT_EQ(form.fields().restrict, 3);
    EXPECT_FALSE(form.Restrict[0]->isChecked());
    EXPECT_EQ(settings.LimitPos, 3);
}
