#include "printer_sel_form.h"

#include "printer_choice.h"

#include "common/platform.h"
#include "common/twips.h"
#include "results/fonts.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace norvanta {

namespace {

constexpr double kClientWidth = 4800;
constexpr double kClientHeight = 1620;
constexpr double kControlFontPoints = 9.75;

} // namespace

PrinterSelForm::PrinterSelForm(Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      platform_(platform)
{
    setObjectName(QStringLiteral("PrinterSelForm"));
    setWindowTitle(QStringLiteral("プリンタの選択"));
    setAttribute(Qt::WA_DeleteOnClose);
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const auto rectOf = [dpiX, dpiY](double x, double y, double w, double h) {
        return QRect(twipsToPixels(x, dpiX), twipsToPixels(y, dpiY), twipsToPixels(w, dpiX),
                     twipsToPixels(h, dpiY));
    };
    setFixedSize(twipsToPixels(kClientWidth, dpiX), twipsToPixels(kClientHeight, dpiY));

    QFont controlFont(kUiGothicFont);
    controlFont.setPointSizeF(kControlFontPoints);
    setFont(controlFont);

    Label1 = new QLabel(QStringLiteral("Norvantaで使用するプリンタを選択してください。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(rectOf(120, 120, 4560, 300));

    PrinterList = new QComboBox(this);
    PrinterList->setObjectName(QStringLiteral("PrinterList"));
    PrinterList->setEditable(true);
    PrinterList->setInsertPolicy(QComboBox::NoInsert);
    PrinterList->setGeometry(rectOf(120, 480, 4560, 360));

    OKButton = new QPushButton(QStringLiteral("OK(&O)"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(rectOf(2160, 1020, 1200, 435));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(rectOf(3480, 1020, 1200, 435));

    connect(OKButton, &QPushButton::clicked, this, &PrinterSelForm::onOKButtonClicked);
    connect(CancelButton, &QPushButton::clicked, this, &PrinterSelForm::onCancelButtonClicked);
}

void PrinterSelForm::load()
{
    PrinterList->clear();
    PrinterList->addItems(selectablePrinters(platform_));
    PrinterList->setCurrentText(currentPrinterName(platform_));
    const QSize screen = platform_.screenSize();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
    show();
    raise();
    activateWindow();
}

void PrinterSelForm::onOKButtonClicked()
{
    // Names are compared exactly; of several printers with the same name the last stays current.
    const QString chosen = PrinterList->currentText();
    bool matched = false;
    for (const QString& name : selectablePrinters(platform_)) {
        if (name == chosen) {
            platform_.setCurrentPrinter(name);
            matched = true;
        }
    }
    if (!matched) {
        showMessage(platform_,
                    QStringLiteral("このプリンタは選択できません。他のプリンタを選んで下さい。"),
                    MessageIcon::Exclamation);
        return;
    }
    close();
}

void PrinterSelForm::onCancelButtonClicked()
{
    close();
}

} // namespace norvanta
