#include "results_form.h"

#include "fonts.h"
#include "number_table.h"
#include "results_graph.h"

#include "common/twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace norvanta {

namespace {

constexpr double kClientWidth = 4815;
constexpr double kClientHeight = 6120;
constexpr double kControlFontPoints = 9.75;
constexpr int kPrintTimerInterval = 2000;

// The number table's columns: the temperature column toggles the
// temperature unit, the dG column the dG unit.
constexpr double kTemperatureColumnEnd = 1000;
constexpr double kEnergyColumnEnd = 2200;

} // namespace

ResultsForm::ResultsForm(ResultsDisplayState& display, const ResultTable& table, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      display_(display), table_(table)
{
    setObjectName(QStringLiteral("ResultsForm"));
    setWindowTitle(QStringLiteral("計算結果"));
    setFixedSize(twipsToPixels(kClientWidth, logicalDpiX()),
                 twipsToPixels(kClientHeight, logicalDpiY()));

    QFont controlFont(kUiGothicFont);
    controlFont.setPointSizeF(kControlFontPoints);

    GraphArea = new DrawingArea(this);
    GraphArea->setObjectName(QStringLiteral("GraphArea"));
    GraphArea->setGeometry(twipsRect(180, 60, 4500, 3250));

    NumberArea = new DrawingArea(this);
    NumberArea->setObjectName(QStringLiteral("NumberArea"));
    NumberArea->setGeometry(twipsRect(180, 3420, 4500, 2000));

    PlotModeFrame = new QGroupBox(QStringLiteral("プロットモード"), this);
    PlotModeFrame->setObjectName(QStringLiteral("PlotModeFrame"));
    PlotModeFrame->setFont(controlFont);
    PlotModeFrame->setGeometry(twipsRect(60, 5460, 1935, 555));

    const std::array<QString, 3> plotModeCaptions = {QStringLiteral("dG"), QStringLiteral("Kp"),
                                                     QStringLiteral("CV")};
    for (int k = 0; k < 3; ++k) {
        QRadioButton* option = new QRadioButton(plotModeCaptions[size_t(k)], PlotModeFrame);
        option->setObjectName(QStringLiteral("PlotMode%1").arg(k));
        option->setFont(controlFont);
        option->setGeometry(twipsRect(60 + 600 * k, 240, 615, 255));
        connect(option, &QRadioButton::clicked, this, [this, k] { onPlotModeClicked(k); });
        PlotMode[size_t(k)] = option;
    }

    const auto makeButton = [&](const QString& name, const QString& caption, double left,
                                double width) {
        QPushButton* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setFont(controlFont);
        button->setAutoDefault(false);
        button->setGeometry(twipsRect(left, 5580, width, 435));
        return button;
    };
    PrintButton = makeButton(QStringLiteral("PrintButton"), QStringLiteral("印刷(&P)"), 2040, 795);
    CopyButton = makeButton(QStringLiteral("CopyButton"), QStringLiteral("コピー(&C)"), 2880, 915);
    ExitButton = makeButton(QStringLiteral("ExitButton"), QStringLiteral("閉じる(&X)"), 3840, 915);
    connect(ExitButton, &QPushButton::clicked, this, &ResultsForm::onExitButtonClicked);

    PrintTimer = new QTimer(this);
    PrintTimer->setObjectName(QStringLiteral("PrintTimer"));
    PrintTimer->setInterval(kPrintTimerInterval);

    connect(NumberArea, &DrawingArea::mousePressed, this, &ResultsForm::onNumberAreaMousePressed);
    connect(NumberArea, &DrawingArea::mouseMoved, this, &ResultsForm::onNumberAreaMouseMoved);
    connect(GraphArea, &DrawingArea::mouseMoved, this, &ResultsForm::onGraphAreaMouseMoved);

    // The buttons and options report the mouse passing over them for the help line.
    for (QWidget* control :
         {static_cast<QWidget*>(PrintButton), static_cast<QWidget*>(CopyButton),
          static_cast<QWidget*>(ExitButton), static_cast<QWidget*>(PlotMode[0]),
          static_cast<QWidget*>(PlotMode[1]), static_cast<QWidget*>(PlotMode[2])}) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }

    selectPlotModeOption();
}

QRect ResultsForm::twipsRect(double left, double top, double width, double height) const
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    return {twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
            twipsToPixels(height, dpiY)};
}

void ResultsForm::clearAreas()
{
    GraphArea->picture().clear();
    NumberArea->picture().clear();
    GraphArea->update();
    NumberArea->update();
}

void ResultsForm::DrawNumberRow(int r, const ResultPoint& kelvinPoint,
                                const ResultPoint& celsiusPoint)
{
    norvanta::DrawNumberRow(NumberArea->picture(),
                            {display_.temperatureUnit, display_.energyUnit, caltoj_}, r,
                            kelvinPoint, celsiusPoint);
    NumberArea->update();
}

void ResultsForm::DrawNumberTable()
{
    norvanta::DrawNumberTable(NumberArea->picture(),
                              {display_.temperatureUnit, display_.energyUnit, caltoj_}, table_);
    NumberArea->update();
}

void ResultsForm::DrawResultGraph()
{
    const GraphInputs inputs{
        table_, display_.plotMode, display_.temperatureUnit, display_.energyUnit, tetraPrecision_,
        caltoj_};
    norvanta::DrawResultGraph(GraphArea->picture(), inputs, GraphPlacement::screen());
    GraphArea->update();
}

void ResultsForm::selectPlotModeOption()
{
    const int mode = display_.plotMode;
    if (mode >= 0 && mode < 3) {
        PlotMode[size_t(mode)]->setChecked(true);
        return;
    }
    // A mode from a hand-edited settings file selects no option.
    for (QRadioButton* option : PlotMode) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void ResultsForm::showResults()
{
    show();
    raise();
    selectPlotModeOption();
    DrawResultGraph();
    display_.resultsDisplayed = true;
}

QPointF ResultsForm::positionTwips() const
{
    const QPoint topLeft = frameGeometry().topLeft();
    return {pixelsToTwips(topLeft.x(), logicalDpiX()), pixelsToTwips(topLeft.y(), logicalDpiY())};
}

QSizeF ResultsForm::frameSizeTwips() const
{
    const QSize size = frameGeometry().size();
    return {pixelsToTwips(size.width(), logicalDpiX()),
            pixelsToTwips(size.height(), logicalDpiY())};
}

void ResultsForm::moveToTwips(QPointF topLeft)
{
    move(twipsToPixels(topLeft.x(), logicalDpiX()), twipsToPixels(topLeft.y(), logicalDpiY()));
}

bool ResultsForm::isNormalState() const
{
    return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void ResultsForm::toggledUnit()
{
    DrawResultGraph();
    DrawNumberTable();
}

void ResultsForm::onNumberAreaMousePressed(QPointF twips)
{
    const double x = twips.x();
    if (x > 0 && x < kTemperatureColumnEnd) {
        display_.temperatureUnit = display_.temperatureUnit == TemperatureUnit::Kelvin
                                       ? TemperatureUnit::Celsius
                                       : TemperatureUnit::Kelvin;
        toggledUnit();
    } else if (x >= kTemperatureColumnEnd && x < kEnergyColumnEnd) {
        display_.energyUnit =
            display_.energyUnit == EnergyUnit::KJ ? EnergyUnit::Kcal : EnergyUnit::KJ;
        toggledUnit();
    }
}

void ResultsForm::onNumberAreaMouseMoved(QPointF twips)
{
    const double x = twips.x();
    if (x > 0 && x < kTemperatureColumnEnd)
        showHelp(QStringLiteral("温度の単位を変更します"), HelpLineRule::WhenHelpOn);
    else if (x >= kTemperatureColumnEnd && x < kEnergyColumnEnd)
        showHelp(QStringLiteral("dGの単位を変更します"), HelpLineRule::WhenHelpOn);
    else if (x >= kEnergyColumnEnd)
        showHelp(QString(), HelpLineRule::Always);
}

void ResultsForm::onGraphAreaMouseMoved()
{
    showHelp(QString(), HelpLineRule::Always);
}

void ResultsForm::onPlotModeClicked(int index)
{
    display_.plotMode = index;
    if (display_.resultsDisplayed)
        DrawResultGraph();
}

void ResultsForm::rememberAndRelease()
{
    if (!isMinimized()) {
        const QPointF position = positionTwips();
        display_.resultsLeft = float(position.x());
        display_.resultsTop = float(position.y());
    }
    display_.placement = ResultsPlacement::Restore;
    display_.resultsDisplayed = false;
}

void ResultsForm::onExitButtonClicked()
{
    rememberAndRelease();
    hide();
}

void ResultsForm::closeEvent(QCloseEvent* event)
{
    // Closing from the frame is closing by the button; the window is only
    // hidden and comes back with the next run.
    rememberAndRelease();
    event->accept();
}

bool ResultsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == CopyButton)
            showHelp(QStringLiteral("クリップボードにデータをコピーします"),
                     HelpLineRule::WhenHelpOn);
        else if (watched == ExitButton)
            showHelp(QStringLiteral("計算結果を閉じます"), HelpLineRule::WhenHelpOn);
        else if (watched == PrintButton)
            showHelp(QStringLiteral("結果を印刷します"), HelpLineRule::WhenHelpOn);
        else if (std::find(PlotMode.begin(), PlotMode.end(), watched) != PlotMode.end())
            showHelp(QStringLiteral("プロットモードを決めます"), HelpLineRule::WhenHelpOn);
    }
    return QWidget::eventFilter(watched, event);
}

void ResultsForm::showHelp(const QString& text, HelpLineRule rule)
{
    if (helpLine_)
        helpLine_(text, rule);
}

} // namespace norvanta
