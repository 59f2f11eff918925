#include "app/about_form.h"
#include "app/registration_command.h"
#include "app/registration_form.h"
#include "calculation_fixture.h"
#include "support/test_files.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

// The registration window in the program started with the shipped
// Norvane.dat (378 records) and the built Norvane.dll.
class RegistrationFormTest : public CalculationTest {
protected:
    RegistrationForm* openRegistration()
    {
        form.RegisterItem->trigger();
        QApplication::processEvents();
        return command().form();
    }

    RegistrationCommand& command()
    {
        auto* found = form.findChild<RegistrationCommand*>();
        EXPECT_NE(found, nullptr);
        return *found;
    }

    // Formic acid under a name the shipped file lacks (its kanji spelling),
    // C1 H2 O2, dG -80 kcal/mol throughout.
    // (Key clicks carry no Japanese; the name is set as an input method would.)
    static void typeCompound(RegistrationForm& registration)
    {
        registration.NewFormula->setText(u"蟻酸"_s);
        typeOver(registration.Number[0], u"1"_s);
        typeOver(registration.Number[1], u"2"_s);
        typeOver(registration.Number[2], u"2"_s);
        for (QLineEdit* box : registration.DeltaG)
            typeOver(box, u"-80"_s);
    }

    bool listOpenersEnabled() const
    {
        EXPECT_EQ(form.ListButton->isEnabled(), form.ListMenu->isEnabled());
        return form.ListButton->isEnabled();
    }
};

} // namespace

TEST_F(RegistrationFormTest, RegisterAndCalculateWithTheNewCompoundAtOnce)
{
    QTest::mouseClick(form.ListButton, Qt::LeftButton);
    ASSERT_TRUE(form.isListPanelOpen());

    RegistrationForm* registration = openRegistration();
    ASSERT_NE(registration, nullptr);
    EXPECT_FALSE(form.isListPanelOpen());
    EXPECT_TRUE(registration->isVisible());
    EXPECT_FALSE(registration->isModal());
    EXPECT_EQ(registration->windowTitle(), u"化合物データの追加登録"_s);
    const QRect frame = registration->frameGeometry();
    EXPECT_EQ(frame.topLeft(), QPoint((1280 - frame.width()) / 2, (1024 - frame.height()) / 2));
    EXPECT_EQ(registration->RegisterNumber->text(), u" 378"_s);
    EXPECT_EQ(registration->AtomLabel[1]->text(), u"水素:"_s);
    EXPECT_TRUE(registration->Unit[0]->isChecked());
    EXPECT_FALSE(listOpenersEnabled());
    EXPECT_TRUE(registration->RegisterTimer->isActive());
    EXPECT_EQ(registration->RegisterTimer->interval(), 500);
    ASSERT_TRUE(QTest::qWaitForWindowActive(registration, 2000));
    EXPECT_EQ(QApplication::focusWidget(), registration->NewFormula);

    // RegisterButton waits for the name and all eight dG values.
    typeCompound(*registration);
    registration->DeltaG[7]->clear();
    registration->onRegisterTimerTick();
    EXPECT_FALSE(registration->RegisterButton->isEnabled());
    typeOver(registration->DeltaG[7], u"-80"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return registration->RegisterButton->isEnabled(); }, 2000));

    platform.answerNext(MessageAnswer::Yes);
    QTest::mouseClick(registration->RegisterButton, Qt::LeftButton);
    EXPECT_EQ(platform.messageTexts(), QStringList{u"蟻酸をkcal/molの単位で登録しますか？"_s});
    EXPECT_EQ(registration->RegisterNumber->text(), u" 379"_s);
    EXPECT_EQ(registration->NewFormula->text(), u"蟻酸"_s) << "the boxes keep their contents";

    // 蟻酸 = CO2 + H2 in the main window, the registration window still open.
    showActive(form);
    form.React[0]->setText(u"蟻酸"_s);
    typeOver(form.Molar[0], u"1"_s);
    typeOver(form.Product[0], u"CO2"_s);
    typeOver(form.Product[1], u"H2"_s);
    QTest::mouseClick(form.Restrict[0], Qt::LeftButton);
    calculate();
    EXPECT_EQ(platform.messages.size(), 1u) << platform.messageTexts().join(u'\n').toStdString();
    ASSERT_TRUE(app.results().kelvin[0].computed);
    // dG(CO2, 300 K) in the shipped file less the registered -80.
    EXPECT_NEAR(app.results().kelvin[0].dG, -94.259 + 80, 1e-9);
    EXPECT_TRUE(registration->isVisible());

    // The list panel shows the new record, at the end of the last genre, when it next opens.
    QTest::mouseClick(registration->ExitButton, Qt::LeftButton);
    QTest::mouseClick(form.ListButton, Qt::LeftButton);
    ASSERT_TRUE(form.isListPanelOpen());
    const int lastGenre = form.ListName->count() - 1;
    form.ListName->setCurrentIndex(lastGenre);
    Q_EMIT form.ListName->activated(lastGenre);
    ASSERT_GT(form.ListItem->count(), 0);
    EXPECT_EQ(form.ListItem->item(form.ListItem->count() - 1)->text(), u"蟻酸"_s);
}

TEST_F(RegistrationFormTest, ExitKeepsTheContentsClosingByTheFrameDiscardsThem)
{
    RegistrationForm* registration = openRegistration();
    ASSERT_NE(registration, nullptr);
    typeCompound(*registration);
    QTest::mouseClick(registration->Unit[1], Qt::LeftButton);

    QTest::mouseClick(registration->ExitButton, Qt::LeftButton);
    EXPECT_FALSE(registration->isVisible());
    EXPECT_TRUE(listOpenersEnabled());
    EXPECT_FALSE(registration->RegisterTimer->isActive());

    ASSERT_EQ(openRegistration(), registration);
    EXPECT_TRUE(registration->isVisible());
    // The offscreen platform activates a window shown again only when told to.
    showActive(*registration);
    EXPECT_EQ(QApplication::focusWidget(), registration->NewFormula);
    EXPECT_EQ(registration->NewFormula->text(), u"蟻酸"_s);
    EXPECT_EQ(registration->NewFormula->selectedText(), u"蟻酸"_s) << "selected on every opening";
    EXPECT_EQ(registration->Number[1]->text(), u"2"_s);
    EXPECT_EQ(registration->DeltaG[7]->text(), u"-80"_s);
    EXPECT_TRUE(registration->Unit[0]->isChecked()) << "each opening starts in kcal/mol";
    EXPECT_FALSE(listOpenersEnabled());

    // ResetButton empties the boxes and keeps the unit.
    QTest::mouseClick(registration->Unit[1], Qt::LeftButton);
    QTest::mouseClick(registration->ResetButton, Qt::LeftButton);
    EXPECT_TRUE(registration->NewFormula->text().isEmpty());
    EXPECT_TRUE(registration->Number[0]->text().isEmpty());
    EXPECT_TRUE(registration->DeltaG[3]->text().isEmpty());
    EXPECT_TRUE(registration->Unit[1]->isChecked());

    typeOver(registration->NewFormula, u"HCOOH"_s);
    EXPECT_TRUE(registration->close());
    EXPECT_FALSE(registration->isVisible());
    EXPECT_TRUE(listOpenersEnabled());
    EXPECT_FALSE(registration->RegisterTimer->isActive());
    EXPECT_EQ(command().form(), nullptr);

    RegistrationForm* fresh = openRegistration();
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->isVisible());
    EXPECT_TRUE(fresh->NewFormula->text().isEmpty());
}

TEST_F(RegistrationFormTest, ARefusalFocusesTheBoxWithItsTextSelected)
{
    RegistrationForm* registration = openRegistration();
    ASSERT_NE(registration, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(registration, 2000));
    typeCompound(*registration);
    typeOver(registration->NewFormula, u"co2"_s);
    // RegisterButton's state is driven by hand here.
    registration->RegisterTimer->stop();
    registration->onRegisterTimerTick();

    platform.answerNext(MessageAnswer::Yes);
    platform.answerNext(MessageAnswer::Ok);
    QTest::mouseClick(registration->RegisterButton, Qt::LeftButton);
    EXPECT_EQ(platform.messageTexts(),
              (QStringList{u"co2をkcal/molの単位で登録しますか？"_s,
                           u"CO2はデータファイルに既に登録されています"_s}));
    EXPECT_EQ(QApplication::focusWidget(), registration->NewFormula);
    EXPECT_EQ(registration->NewFormula->selectedText(), u"co2"_s);

    // A click that arrives before the timer has caught up still finds the dG missing.
    registration->DeltaG[4]->clear();
    platform.messages.clear();
    platform.answerNext(MessageAnswer::Ok);
    QTest::mouseClick(registration->RegisterButton, Qt::LeftButton);
    EXPECT_EQ(platform.messageTexts(), QStringList{u"全てのdGを入力してください"_s});
    EXPECT_EQ(QApplication::focusWidget(), registration->DeltaG[0]);
    EXPECT_EQ(registration->DeltaG[0]->selectedText(), u"-80"_s);
    EXPECT_EQ(registration->RegisterNumber->text(), u" 378"_s);
}

TEST_F(RegistrationFormTest, WithoutTheDataFileTheWindowStaysClosed)
{
    ASSERT_TRUE(QFile::remove(path("Norvane.dat")));
    platform.answerNext(MessageAnswer::Ok);
    RegistrationForm* registration = openRegistration();
    EXPECT_EQ(platform.messages,
              std::vector{exclamation(u"Norvanta"_s,
                                      u"化合物データファイル(Norvane.dat)が見つかりません"_s)});
    EXPECT_TRUE(registration == nullptr || !registration->isVisible());
    EXPECT_TRUE(listOpenersEnabled());
}

TEST_F(RegistrationFormTest, PointingShowsTheHintsOnTheMainWindowsHelpLine)
{
    RegistrationForm* registration = openRegistration();
    ASSERT_NE(registration, nullptr);
    struct Case {
        const char* name;
        std::function<QWidget*(RegistrationForm&)> control;
        QString hint;
    };
    // clang-format off
    const Case cases[] = {
        {"NewFormula", [](RegistrationForm& r) { return r.NewFormula; }, u"追加する化学式･慣用名を入力します"_s},
        {"Number 0", [](RegistrationForm& r) { return r.Number[0]; }, u"炭素数を入力します"_s},
        {"Number 1", [](RegistrationForm& r) { return r.Number[1]; }, u"水素数を入力します"_s},
        {"Number 2", [](RegistrationForm& r) { return r.Number[2]; }, u"酸素数を入力します"_s},
        {"DeltaG 0", [](RegistrationForm& r) { return r.DeltaG[0]; }, u"dGを入力します"_s},
        {"DeltaG 7", [](RegistrationForm& r) { return r.DeltaG[7]; }, u"dGを入力します"_s},
        {"Unit 0", [](RegistrationForm& r) { return r.Unit[0]; }, u"dGの単位を指定します"_s},
        {"Unit 1", [](RegistrationForm& r) { return r.Unit[1]; }, u"dGの単位を指定します"_s},
        {"RegisterButton", [](RegistrationForm& r) { return r.RegisterButton; }, u"登録します"_s},
        {"ResetButton", [](RegistrationForm& r) { return r.ResetButton; }, u"表示データをクリアします"_s},
        {"ExitButton", [](RegistrationForm& r) { return r.ExitButton; }, u"登録モードを終了します"_s},
        {"AtomLabel", [](RegistrationForm& r) { return r.AtomLabel[2]; }, QString()},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.ShowHelpLine(u"前のヒント"_s);
        pointAt(c.control(*registration));
        EXPECT_TRUE(form.Message->isVisible());
        EXPECT_EQ(form.Message->text(), c.hint);
    }

    // A label without a hint leaves the help line; the bare background hides it.
    pointAt(registration->ExitButton);
    pointAt(registration->RegisterNumber);
    EXPECT_EQ(form.Message->text(), u"登録モードを終了します"_s);
    pointAt(registration, registration->ExitButton->geometry().bottomRight() + QPoint(4, 4));
    EXPECT_FALSE(form.Message->isVisible());
}

TEST_F(RegistrationFormTest, TheAboutWindowsBackgroundHidesTheHelpLineToo)
{
    form.ShowHelpLine(u"前のヒント"_s);
    bool shownOverAbout = true;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutForm*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr) << "no modal about window";
        pointAt(about->VersionLabel);
        shownOverAbout = form.Message->isVisible();
        about->reject();
    });
    form.AboutMenu->trigger();
    EXPECT_FALSE(shownOverAbout);
}
