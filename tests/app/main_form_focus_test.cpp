#include "main_form_fixture.h"

#include <QFocusEvent>
#include <QRadioButton>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

const QColor kLightYellow(255, 255, 128);

} // namespace

TEST_F(MainFormTest, FocusEnteringEachKindOfControl)
{
    struct Case {
        const char* name;
        std::function<QWidget*(MainForm&)> control;
        int activeCompoundField;
        std::array<bool, 3> stepButtons;
        std::array<int, 3> stepTargets;
        int limitPos;
    };
    // clang-format off
    const Case cases[] = {
        {"ReactNum 2", [](MainForm& f) { return f.ReactNum[2]; }, -1, {true, false, false}, {2, 0, 0}, -1},
        {"Molar 1", [](MainForm& f) { return f.Molar[1]; }, -1, {false, true, false}, {0, 1, 0}, -1},
        {"ProductNum 3", [](MainForm& f) { return f.ProductNum[3]; }, -1, {false, false, true}, {0, 0, 3}, -1},
        {"React 2", [](MainForm& f) { return f.React[2]; }, 2, {false, false, false}, {0, 0, 0}, -1},
        {"Product 1", [](MainForm& f) { return f.Product[1]; }, 5, {false, false, false}, {0, 0, 0}, -1},
        {"Pressure", [](MainForm& f) { return f.Pressure; }, -1, {false, false, false}, {0, 0, 0}, -1},
        {"Restrict 2", [](MainForm& f) { return f.Restrict[2]; }, -1, {false, false, false}, {0, 0, 0}, 2},
        {"CalButton", [](MainForm& f) { return f.CalButton; }, -1, {false, false, false}, {0, 0, 0}, -1},
    };
    // clang-format on
    EXPECT_EQ(input.activeCompoundField, -1) << "no compound box is active at start";
    form.CalButton->setEnabled(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Start from a compound box, then make every state visible as changed.
        giveFocus(form.Product[0]);
        for (const auto& pair : {form.AddSR, form.AddMR, form.AddSP})
            for (QPushButton* button : pair)
                button->setEnabled(true);
        input.stepTargets = {0, 0, 0};
        settings.LimitPos = -1;
        QWidget* control = c.control(form);
        auto* box = qobject_cast<QLineEdit*>(control);
        if (box) {
            box->setText(u"12.5"_s);
            box->deselect();
        }

        // Not a Tab: the box would select its text by itself.
        giveFocus(control, Qt::OtherFocusReason);

        EXPECT_EQ(input.activeCompoundField, c.activeCompoundField);
        EXPECT_EQ(stepButtonsEnabled(), c.stepButtons);
        EXPECT_EQ(input.stepTargets, c.stepTargets);
        EXPECT_EQ(settings.LimitPos, c.limitPos);
        if (box) {
            EXPECT_EQ(box->selectedText(), u"12.5"_s);
        }
    }
}

TEST_F(MainFormTest, StepTargetIsTheLastFocusedBoxOfEachColumn)
{
    giveFocus(form.Molar[3]);
    giveFocus(form.ReactNum[1]);
    giveFocus(form.Product[2]);
    EXPECT_EQ(input.stepTargets, (std::array<int, 3>{1, 3, 0}));
}

TEST_F(MainFormTest, FocusedCompoundBoxIsLightYellowWhileTheListPanelIsOpen)
{
    form.setListPanelOpen(true);
    ASSERT_TRUE(form.isListPanelOpen());

    giveFocus(form.React[1]);
    EXPECT_EQ(background(form.React[1]), kLightYellow);
    for (int row : {0, 2, 3})
        EXPECT_EQ(background(form.React[row]), windowColour(form.React[row])) << row;

    // Leaving for a number box gives the box its window colour back.
    giveFocus(form.ReactNum[1]);
    EXPECT_EQ(background(form.React[1]), windowColour(form.React[1]));
    EXPECT_EQ(input.activeCompoundField, -1);

    giveFocus(form.Product[2]);
    EXPECT_EQ(background(form.Product[2]), kLightYellow);
    EXPECT_EQ(input.activeCompoundField, 6);

    // From one compound box straight to another.
    giveFocus(form.React[0]);
    EXPECT_EQ(background(form.Product[2]), windowColour(form.Product[2]));
    EXPECT_EQ(background(form.React[0]), kLightYellow);
    EXPECT_EQ(input.activeCompoundField, 0);

    form.setListPanelOpen(false);
    giveFocus(form.React[3]);
    EXPECT_EQ(background(form.React[3]), windowColour(form.React[3]));
}

TEST_F(MainFormTest, OpeningAMenuKeepsTheCompoundBoxMarked)
{
    form.setListPanelOpen(true);
    giveFocus(form.Product[1]);
    QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(form.Product[1], &out);
    EXPECT_EQ(background(form.Product[1]), kLightYellow);
    EXPECT_EQ(input.activeCompoundField, 5);
}
