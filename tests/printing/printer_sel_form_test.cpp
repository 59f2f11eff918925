#include "printing/printer_sel_form.h"

#include "support/fake_platform.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace norvanta::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kRefusal = u"このプリンタは選択できません。他のプリンタを選んで下さい。"_s;

class PrinterSelFormTest : public ::testing::Test {
protected:
    ~PrinterSelFormTest() override { delete form; }

    PrinterSelForm& open()
    {
        form = new PrinterSelForm(platform);
        form->load();
        return *form;
    }

    QStringList listed() const
    {
        QStringList names;
        for (int k = 0; k < form->PrinterList->count(); ++k)
            names << form->PrinterList->itemText(k);
        return names;
    }

    FakePlatform platform;
    QPointer<PrinterSelForm> form;
};

TEST_F(PrinterSelFormTest, ListsThePrintersThenThePdfFileAndSelectsTheCurrentOneCentred)
{
    platform.printer = u"Printer B"_s; // chosen earlier in the run
    open();
    EXPECT_EQ(form->windowTitle(), u"プリンタの選択"_s);
    EXPECT_EQ(form->Label1->text(), u"Norvantaで使用するプリンタを選択してください。"_s);
    EXPECT_EQ(listed(), (QStringList{u"Printer A"_s, u"Printer B"_s, u"PDFファイル"_s}));
    EXPECT_EQ(form->PrinterList->currentText(), u"Printer B"_s);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->pos(), QPoint((1280 - form->width()) / 2, (1024 - form->height()) / 2));
}

TEST_F(PrinterSelFormTest, WithoutPrintersTheListHoldsThePdfFileAsCurrent)
{
    platform.printers.clear();
    platform.printer.clear();
    open();
    EXPECT_EQ(listed(), QStringList{u"PDFファイル"_s});
    EXPECT_EQ(form->PrinterList->currentText(), u"PDFファイル"_s);
}

TEST_F(PrinterSelFormTest, OkTakesOnlyAnExactNameAndOtherwiseStaysOpen)
{
    struct Case {
        QString typed;
        QString current; // afterwards
        bool refused;
    };
    const Case cases[] = {
        {u"Printer B"_s, u"Printer B"_s, false}, {u"PDFファイル"_s, u"PDFファイル"_s, false},
        {u"printer b"_s, u"Printer A"_s, true},  {u"Printer B "_s, u"Printer A"_s, true},
        {u"Plotter"_s, u"Printer A"_s, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        platform.printer = u"Printer A"_s;
        platform.messages.clear();
        open();
        form->PrinterList->setEditText(c.typed);
        if (c.refused)
            platform.answerNext(MessageAnswer::Ok);
        QTest::mouseClick(form->OKButton, Qt::LeftButton);
        EXPECT_EQ(platform.printer, c.current);
        EXPECT_EQ(platform.messages, c.refused ? std::vector{exclamation(u"Norvanta"_s, kRefusal)}
                                               : std::vector<RecordedMessage>{});
        EXPECT_EQ(form && form->isVisible(), c.refused);
        delete form;
    }
}

TEST_F(PrinterSelFormTest, CancelAfterAnotherSelectionKeepsTheCurrentPrinter)
{
    open();
    form->PrinterList->setCurrentIndex(1);
    ASSERT_EQ(form->PrinterList->currentText(), u"Printer B"_s);
    QTest::mouseClick(form->CancelButton, Qt::LeftButton);
    EXPECT_EQ(platform.printer, u"Printer A"_s);
    EXPECT_FALSE(form && form->isVisible());
}

} // namespace
} // namespace norvanta::testing
