// The main window's text boxes as text enters and leaves them: no line
// break or other control character gets in by any way, full-width text comes
// in as ASCII, a compound box that is not being edited shows the start of its
// name, and the window comes up with the first coefficient selected.
#include "program_fixture.h"

#include "common/text_file.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;
using namespace norvanta::testing;

namespace {

// True when the box, drawn now, shows its text from the first character on.
bool showsTextStart(QLineEdit* box)
{
    box->grab();
    const QRect cursor = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return box->cursorPosition() == 0 && cursor.center().x() >= 0;
}

} // namespace

class InputBoxesTest : public ProgramTest {
public:
    // For the ways text enters a box, written as functions of the test.
    using ProgramTest::form;
    using ProgramTest::path;
    using ProgramTest::platform;
};

TEST_F(InputBoxesTest, NoControlCharacterEntersABox)
{
    struct Case {
        const char* way;
        void (*enter)(InputBoxesTest&);
        const char* box;
        // Inner runs become one blank, so words never run together.
        QString shown = u"C O 2"_s;
    };
    const Case cases[] = {
        {"typed through the input method",
         [](InputBoxesTest& t) {
             giveFocus(t.form().React[0]);
             QInputMethodEvent event;
             event.setCommitString(u"C\r\nO2"_s);
             QApplication::sendEvent(t.form().React[0], &event);
         },
         "React0", u"C O2"_s},
        // Full-width mode: what the calculation reads, the ideographic space a blank.
        {"typed in full-width mode",
         [](InputBoxesTest& t) {
             giveFocus(t.form().Pressure);
             QInputMethodEvent event;
             event.setCommitString(u"Ｃ　Ｏ　₂"_s);
             QApplication::sendEvent(t.form().Pressure, &event);
         },
         "Pressure"},
        {"pasted",
         [](InputBoxesTest& t) {
             QGuiApplication::clipboard()->setText(u"\tC\x0bO\u20282\n"_s);
             giveFocus(t.form().Product[1]);
             t.form().Product[1]->paste();
         },
         "Product1"},
        {"opened from a reaction file",
         [](InputBoxesTest& t) {
             QByteArray bytes = kReactionFileHeader + "12-06-2026 20:45:36\r\n";
             for (int line = 0; line < 22; ++line)
                 bytes += line == 2 ? "\"C\tO\x01\x7f"
                                      "2\"\r\n"
                                    : "\"\"\r\n";
             writeBytes(t.path(u"tabs.txt"_s), bytes);
             t.platform.chooseInOpenDialog(FileChoice{t.path(u"tabs.txt"_s), u"tabs.txt"_s});
             t.form().OpenItem->trigger();
         },
         "Molar0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        showProgram();
        c.enter(*this);
        EXPECT_EQ(form().findChild<QLineEdit*>(QString::fromLatin1(c.box))->text(), c.shown);

        // What the box holds keeps the reaction file to its 23 lines.
        platform.chooseInSaveDialog(FileChoice{path(u"saved.txt"_s), u"saved.txt"_s});
        if (QFile::exists(path(u"saved.txt"_s)))
            platform.answerNext(MessageAnswer::Yes);
        form().SaveAsItem->trigger();
        EXPECT_EQ(readBytes(path(u"saved.txt"_s)).count("\r\n"), 23);
        EXPECT_EQ(readBytes(path(u"saved.txt"_s)).count('\n'), 23);
    }
}

TEST_F(InputBoxesTest, RestoredTextsLoseTheirControlCharacters)
{
    writeBytes(path(u"Norvane.ini"_s), "\"Reactant1=C\x01O\x1f"
                                       "2\"\r\n"
                                       "\"Pressure=\x7f"
                                       "1\"\r\n");
    startProgram();
    EXPECT_EQ(form().React[0]->text(), u"C O 2"_s);
    EXPECT_EQ(form().Pressure->text(), u"1"_s);
}

TEST_F(InputBoxesTest, ACompoundBoxNotBeingEditedShowsTheStartOfItsName)
{
    showProgram();
    QLineEdit* reactant = form().React[1];
    QLineEdit* product = form().Product[2];

    // Written by the program while another box has the focus.
    form().React[1]->setText(u"propylene oxide"_s);
    form().Product[2]->setText(u"trans-2-butene"_s);
    EXPECT_TRUE(showsTextStart(reactant));
    EXPECT_TRUE(showsTextStart(product));

    // Typed at its end, then left for another box.
    typeOver(product, u"methyl tert-butyl ether"_s);
    ASSERT_EQ(product->cursorPosition(), product->text().size());
    giveFocus(form().ProductNum[3]);
    EXPECT_TRUE(showsTextStart(product));
}

TEST_F(InputBoxesTest, TheWindowComesUpWithTheFirstCoefficientSelected)
{
    writeBytes(path(u"Norvane.ini"_s), "\"ReactantNum1=2\"\r\n");
    startProgram();
    EXPECT_EQ(form().focusWidget(), form().ReactNum[0]);
    EXPECT_EQ(form().ReactNum[0]->selectedText(), u"2"_s);
}

TEST_F(InputBoxesTest, SelectRestrictTakesOnlyItsFourRows)
{
    showProgram();
    const struct {
        int row;
        int selected; // -1: no option selected
    } cases[] = {{2, 2}, {-1, -1}, {3, 3}, {4, -1}, {0, 0}, {100, -1}, {-7, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        form().selectRestrict(c.row);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(form().Restrict[row]->isChecked(), row == c.selected) << row;
    }
}
