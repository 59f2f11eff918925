#include "program_fixture.h"

#include "app/shutdown.h"
#include "app/window_placement.h"
#include "files/float_text.h"
#include "results/results_form.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

const RecordedMessage kExitQuestion = question(
    u"Norvantaの終了"_s, u"現在の反応系データを保存していませんが強制終了しますか？"_s);

struct ExitRoute {
    const char* name;
    std::function<void(MainForm&)> run;
};

const ExitRoute kRoutes[] = {
    {"ExitMenu", [](MainForm& form) { form.ExitMenu->trigger(); }},
    {"ExitButton", [](MainForm& form) { form.ExitButton->click(); }},
    {"window frame", [](MainForm& form) { form.close(); }},
};

} // namespace

class ShutdownTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        startProgram();
    }
};

TEST_F(ShutdownTest, UnsavedDataIsKeptWhenTheAnswerIsNo)
{
    for (const ExitRoute& route : kRoutes) {
        SCOPED_TRACE(route.name);
        app.reset();
        startProgram();
        const QByteArray writtenAtStart = settingsBytes();
        form().setFields(reforming());
        form().move(240, 120);
        form().FindText->setText(u"プロパン"_s);
        platform.messages.clear();

        platform.answerNext(MessageAnswer::No);
        route.run(form());

        EXPECT_EQ(platform.messages, std::vector{kExitQuestion});
        EXPECT_FALSE(app->exitSequence().ended());
        EXPECT_TRUE(form().isVisible());
        EXPECT_EQ(settingsBytes(), writtenAtStart);
        EXPECT_EQ(readBytes(path(u"Norvane.env"_s)), "B\r\n");
        const QPointF edges = windowPositionTwips(form());
        EXPECT_EQ(store("MainLeft"), floatNumberText(float(edges.x())));
        EXPECT_EQ(store("MainTop"), floatNumberText(float(edges.y())));
        EXPECT_EQ(store("FindText"), u"プロパン"_s);

        // Asked again, Yes ends the program with the reaction in the settings.
        platform.answerNext(MessageAnswer::Yes);
        route.run(form());
        EXPECT_TRUE(app->exitSequence().ended());
        EXPECT_FALSE(form().isVisible());
        EXPECT_TRUE(settingsBytes().contains("\"Reactant2=CH4\"\r\n"));
        EXPECT_EQ(platform.messages.size(), 2u);
    }
}

TEST_F(ShutdownTest, WithNothingUnsavedTheProgramEndsWithoutAQuestion)
{
    for (const ExitRoute& route : kRoutes) {
        SCOPED_TRACE(route.name);
        app.reset();
        startProgram();
        form().setFields(reforming());
        file().DataModified = false;
        app->resultsForm().show();

        route.run(form());

        EXPECT_TRUE(platform.messages.empty());
        EXPECT_TRUE(app->exitSequence().ended());
        EXPECT_FALSE(form().isVisible());
        EXPECT_FALSE(app->resultsForm().isVisible());
        EXPECT_TRUE(settingsBytes().contains("\"Product1=CO\"\r\n"));
        EXPECT_EQ(readBytes(path(u"Norvane.env"_s)), "B\r\n");
    }
}

TEST_F(ShutdownTest, AMinimisedResultsWindowIsWrittenWhereItWasRemembered)
{
    settings().ResultsLeft = 4321;
    settings().ResultsTop = 1234;
    app->resultsForm().show();
    app->resultsForm().move(50, 60);
    app->resultsForm().showMinimized();
    form().ExitMenu->trigger();
    EXPECT_TRUE(settingsBytes().contains("\"ResultsLeft=4321\"\r\n\"ResultsTop=1234\"\r\n"));
}
