#include "composition_form.h"

#include "composition_graph.h"
#include "fonts.h"

#include "database/compound_index.h"
#include "engine/run_errors.h"
#include "thermo/thermo_data.h"

#include "common/failure.h"
#include "common/number_format.h"
#include "common/platform.h"
#include "common/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <cmath>
#include <exception>
#include <utility>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr double kClientWidth = 9600;
constexpr double kClientHeight = 7920;
constexpr double kControlFontPoints = 9.75;

QString temperatureHeading(const CompositionPoint& point, TemperatureUnit unit)
{
    const long degrees = std::lround(shownTemperature(point, unit));
    return QString::number(degrees) + (unit == TemperatureUnit::Kelvin ? u" K"_s : u" ﾟC"_s);
}

} // namespace

CompositionForm::CompositionForm(Platform& platform, const ResultsDisplayState& display,
                                 const PhysicalConstants& constants, QString databasePath,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(platform), display_(display), constants_(constants),
      databasePath_(std::move(databasePath))
{
    setObjectName(u"CompositionForm"_s);
    setWindowTitle(u"平衡組成"_s);
    setFixedSize(twipsToPixels(kClientWidth, logicalDpiX()),
                 twipsToPixels(kClientHeight, logicalDpiY()));

    QFont controlFont(kUiGothicFont);
    controlFont.setPointSizeF(kControlFontPoints);

    GraphArea = new DrawingArea(this);
    GraphArea->setObjectName(u"GraphArea"_s);
    GraphArea->setGeometry(twipsRect(120, 60, 9360, 4260));

    NumberTable = new QTableWidget(this);
    NumberTable->setObjectName(u"NumberTable"_s);
    NumberTable->setFont(controlFont);
    NumberTable->setGeometry(twipsRect(120, 4380, 9360, 2700));
    NumberTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NumberTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    NumberTable->verticalHeader()->setDefaultSectionSize(twipsToPixels(270, logicalDpiY()));

    ScaleFrame = new QGroupBox(u"縦軸"_s, this);
    ScaleFrame->setObjectName(u"ScaleFrame"_s);
    ScaleFrame->setFont(controlFont);
    ScaleFrame->setGeometry(twipsRect(120, 7140, 2040, 615));
    const std::array<QString, 2> scaleCaptions = {u"線形"_s, u"対数"_s};
    for (int k = 0; k < 2; ++k) {
        QRadioButton* option = new QRadioButton(scaleCaptions[size_t(k)], ScaleFrame);
        option->setObjectName(u"ScaleMode%1"_s.arg(k));
        option->setFont(controlFont);
        option->setGeometry(twipsRect(120 + 960 * k, 270, 840, 270));
        connect(option, &QRadioButton::clicked, this, &CompositionForm::onScaleModeClicked);
        ScaleMode[size_t(k)] = option;
    }
    // Trace species are what the composition adds to the run: the decades show them.
    ScaleMode[1]->setChecked(true);

    GraphiteCheck = new QCheckBox(u"固体炭素(グラファイト)を含める"_s, this);
    GraphiteCheck->setObjectName(u"GraphiteCheck"_s);
    GraphiteCheck->setFont(controlFont);
    GraphiteCheck->setGeometry(twipsRect(2400, 7380, 3600, 300));
    connect(GraphiteCheck, &QCheckBox::clicked, this, &CompositionForm::onGraphiteCheckClicked);

    const auto makeButton = [&](const QString& name, const QString& caption, double left) {
        QPushButton* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setFont(controlFont);
        button->setAutoDefault(false);
        button->setGeometry(twipsRect(left, 7290, 1080, 435));
        return button;
    };
    CopyButton = makeButton(u"CopyButton"_s, u"コピー(&C)"_s, 7200);
    ExitButton = makeButton(u"ExitButton"_s, u"閉じる(&X)"_s, 8400);
    connect(CopyButton, &QPushButton::clicked, this, &CompositionForm::onCopyButtonClicked);
    connect(ExitButton, &QPushButton::clicked, this, &QWidget::hide);
}

QRect CompositionForm::twipsRect(double left, double top, double width, double height) const
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    return {twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
            twipsToPixels(height, dpiY)};
}

bool CompositionForm::calculate(const ReactionFields& fields, bool tetraPrecision)
{
    try {
        const ThermoData thermo =
            ThermoData::load(polynomialPathBeside(databasePath_), databasePath_);
        const CompositionRequest request =
            compositionRequest(fields, GraphiteCheck->isChecked(), tetraPrecision);
        // A failed solve leaves the previous composition on show, with its system.
        std::optional<CompositionSystem> previous =
            std::exchange(system_, compositionSystem(request, thermo));
        if (!solve()) {
            system_ = std::move(previous);
            return false;
        }
    } catch (const CompositionError& error) {
        showRunMessage(error.message);
        return false;
    } catch (const Failure& failure) {
        showRunMessage(runFailureMessage(failure.code()));
        return false;
    }
    show();
    raise();
    activateWindow();
    // The table would otherwise take the focus and mark its first cell.
    CopyButton->setFocus();
    return true;
}

bool CompositionForm::solve()
{
    try {
        table_ = compositionTable(*system_, constants_);
    } catch (const CompositionError& error) {
        showRunMessage(error.message);
        return false;
    } catch (const std::exception&) {
        showRunMessage(runFailureMessage(FailureCode::InvalidArgument));
        return false;
    }
    redraw();
    return true;
}

void CompositionForm::redraw()
{
    if (!table_)
        return;
    DrawCompositionGraph(GraphArea->picture(),
                         {*table_, display_.temperatureUnit, ScaleMode[1]->isChecked()},
                         compositionPlacement());
    GraphArea->update();
    fillNumberTable();
}

void CompositionForm::fillNumberTable()
{
    const CompositionTable& table = *table_;
    const auto& series = compositionSeries(table, display_.temperatureUnit);
    const int speciesRows = int(table.species.size());
    NumberTable->clear();
    NumberTable->setRowCount(speciesRows + (table.graphite ? 1 : 0));
    NumberTable->setColumnCount(int(series.size()));

    QStringList rowNames = table.species;
    if (table.graphite)
        rowNames.append(u"C(gr)"_s);
    NumberTable->setVerticalHeaderLabels(rowNames);
    QStringList headings;
    for (const CompositionPoint& point : series)
        headings.append(temperatureHeading(point, display_.temperatureUnit));
    NumberTable->setHorizontalHeaderLabels(headings);

    const auto put = [this](int row, int column, double value) {
        auto* item = new QTableWidgetItem(formatFixed(value, u"0.00E+00"));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        NumberTable->setItem(row, column, item);
    };
    for (int column = 0; column < int(series.size()); ++column) {
        const CompositionPoint& point = series[size_t(column)];
        for (int row = 0; row < speciesRows && size_t(row) < point.moleFractions.size(); ++row)
            put(row, column, point.moleFractions[size_t(row)]);
        if (table.graphite)
            put(speciesRows, column, point.graphite);
    }
    NumberTable->resizeColumnsToContents();
}

void CompositionForm::onGraphiteCheckClicked()
{
    if (!system_)
        return;
    const bool previous = system_->graphite;
    system_->graphite = GraphiteCheck->isChecked();
    if (!solve()) {
        system_->graphite = previous;
        GraphiteCheck->setChecked(previous);
    }
}

void CompositionForm::onScaleModeClicked()
{
    redraw();
}

void CompositionForm::onCopyButtonClicked()
{
    if (!table_)
        return;
    platform_.setClipboardText(compositionText(*table_, u"\r\n"_s));
    showMessage(platform_, u"クリップボードに数値データをコピーしました"_s,
                MessageIcon::Information);
}

void CompositionForm::showRunMessage(const RunMessage& message)
{
    showMessage(platform_, message.text, message.icon, message.title);
}

} // namespace norvanta
