#include "program_fixture.h"

#include "app/about_form.h"
#include "app/title_form.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

class TitleFormTest : public ProgramTest {
protected:
    // The title window as the program starts it, loading the real main window.
    TitleForm title{platform, [this](const QString& startFolder) -> QWidget* {
                        ++loads;
                        loadedFolder = startFolder;
                        app = std::make_unique<NorvantaApplication>(platform, startFolder);
                        startMainWindow(*app);
                        return &app->mainForm();
                    }};
    int loads = 0;
    QString loadedFolder;
};

TEST_F(TitleFormTest, ASecondInstanceIsRefusedBeforeAnyFileIsTouched)
{
    platform.anotherInstanceRunning = true;
    platform.answerNext(MessageAnswer::Ok);

    EXPECT_FALSE(title.start());

    EXPECT_EQ(platform.messages,
              std::vector{exclamation(u"Norvanta"_s, u"Norvantaは既に起動しています。"_s)});
    EXPECT_FALSE(title.isVisible());
    EXPECT_FALSE(title.Timer0->isActive());
    QTest::qWait(400);
    EXPECT_EQ(loads, 0);
    EXPECT_TRUE(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(TitleFormTest, TheTitleLoadsTheMainWindowAndGivesWay)
{
    ASSERT_TRUE(title.start());
    EXPECT_TRUE(title.isVisible());
    EXPECT_EQ(title.VerLabel->text(), u"Ver: 4.03"_s);
    EXPECT_EQ(title.pos(), QPoint((1280 - title.width()) / 2, (1024 - title.height()) / 2));
    EXPECT_TRUE(title.Timer0->isActive());
    EXPECT_EQ(title.Timer0->interval(), 250);
    EXPECT_FALSE(title.Timer1->isActive());

    // A click before the main window is up does nothing.
    QTest::mouseClick(title.TitleImage, Qt::LeftButton);
    EXPECT_TRUE(title.isVisible());
    EXPECT_EQ(loads, 0);

    ASSERT_TRUE(QTest::qWaitFor([this] { return loads == 1; }, 5000));
    EXPECT_EQ(loadedFolder, folder());
    EXPECT_TRUE(app->mainForm().isVisible());
    EXPECT_TRUE(QFile::exists(path(u"Norvane.ini"_s)));
    EXPECT_TRUE(title.isVisible()) << "the title stays over the main window for a while";
    EXPECT_FALSE(title.Timer0->isActive());
    EXPECT_TRUE(title.Timer1->isActive());
    EXPECT_EQ(title.Timer1->interval(), 2000);

    QTest::mouseClick(title.TitleImage, Qt::LeftButton);
    EXPECT_FALSE(title.isVisible());
    EXPECT_FALSE(title.Timer1->isActive());
    EXPECT_TRUE(app->mainForm().isVisible());
    EXPECT_EQ(loads, 1);
}

TEST_F(TitleFormTest, TheTitleClosesItselfTwoSecondsAfterTheMainWindow)
{
    ASSERT_TRUE(title.start());
    ASSERT_TRUE(QTest::qWaitFor([this] { return loads == 1; }, 5000));
    // Measured from what is left of the 2000 ms when the test sees the main
    // window, which on a busy machine is later than its showing; a coarse
    // timer may fire up to 5 % early.
    QElapsedTimer shown;
    shown.start();
    const int remaining = title.Timer1->remainingTime();
    ASSERT_GT(remaining, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !title.isVisible(); }, 5000));
    EXPECT_GE(shown.elapsed(), remaining * 95 / 100);
    EXPECT_FALSE(title.Timer0->isActive());
    EXPECT_FALSE(title.Timer1->isActive());
    EXPECT_TRUE(app->mainForm().isVisible());
    EXPECT_EQ(loads, 1);
}

class AboutFormTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        showProgram();
    }
};

TEST_F(AboutFormTest, TheAboutWindowShowsTheVersionAndClosesOnAClick)
{
    struct Case {
        const char* target;
        std::function<QWidget*(AboutForm&)> widget;
    };
    const Case cases[] = {
        {"window", [](AboutForm& about) { return static_cast<QWidget*>(&about); }},
        {"VersionLabel", [](AboutForm& about) { return about.VersionLabel; }},
        {"TitleLabel", [](AboutForm& about) { return about.TitleLabel; }},
        {"emblem", [](AboutForm& about) { return about.Emblem; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<AboutForm*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr) << "no modal about window";
            seen = true;
            EXPECT_EQ(about->VersionLabel->text(), u"Version 4.03"_s);
            EXPECT_EQ(about->TitleLabel->text(), u"Norvanta"_s);
            EXPECT_EQ(about->pos(),
                      QPoint((1280 - about->width()) / 2, (1024 - about->height()) / 2));
            QTest::mouseClick(c.widget(*about), Qt::LeftButton);
        });
        // Should the click not close it, the test fails instead of waiting forever.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            ADD_FAILURE() << "the about window stayed open";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        watchdog.start(5000);

        form().AboutMenu->trigger();

        EXPECT_TRUE(seen);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}
