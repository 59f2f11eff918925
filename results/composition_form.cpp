#include "composition_form.h"

#include "composition_graph.h"
#include "composition_picture.h"
#include "fonts.h"
#include "number_table.h"

#include "database/compound_index.h"
#include "engine/run_errors.h"
#include "thermo/thermo_data.h"
#include "files/file_command_prompts.h"
#include "files/unstorable_text.h"

#include "common/failure.h"
#include "common/number_format.h"
#include "common/platform.h"
#include "common/text_file.h"
#include "common/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr double kClientWidth = 10800;
constexpr double kClientHeight = 9000;
constexpr double kControlFontPoints = 9.75;
// The graph area, which the saved picture reproduces.
constexpr double kGraphWidth = 10560;
constexpr double kGraphHeight = 4260;
// How long the main window's input stays still before the window follows it.
constexpr int kInputDelay = 400;

const QString kOlderInput = u"主画面の入力が変わりました。表示は前の入力による結果です。"_s;

bool sameInput(const ReactionFields& a, const ReactionFields& b)
{
    // Products, coefficients and the limiting compound play no part.
    return a.react == b.react && a.molar == b.molar && a.pressure == b.pressure;
}

bool endsWithCsv(const QString& path)
{
    return path.endsWith(u".csv"_s, Qt::CaseInsensitive);
}

// A number box: its whole text as a number, "." the decimal point.
std::optional<double> boxNumber(const QLineEdit* box)
{
    bool ok = false;
    const double value = box->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

[[noreturn]] void refuse(const QString& text)
{
    throw CompositionError{{text}};
}

} // namespace

CompositionForm::CompositionForm(Platform& platform, const ResultsDisplayState& display,
                                 const PhysicalConstants& constants, QString databasePath,
                                 QString& fileFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(platform), display_(display), constants_(constants),
      databasePath_(std::move(databasePath)), fileFolder_(fileFolder)
{
    setObjectName(u"CompositionForm"_s);
    setWindowTitle(u"平衡組成"_s);
    setFixedSize(twipsToPixels(kClientWidth, logicalDpiX()),
                 twipsToPixels(kClientHeight, logicalDpiY()));

    QFont controlFont(kUiGothicFont);
    controlFont.setPointSizeF(kControlFontPoints);
    const auto makeLabel = [&](const QString& name, const QString& text, QRect place) {
        QLabel* label = new QLabel(text, this);
        label->setObjectName(name);
        label->setFont(controlFont);
        label->setGeometry(place);
        return label;
    };
    const auto makeBox = [&](const QString& name, const QString& text, QRect place) {
        QLineEdit* box = new QLineEdit(text, this);
        box->setObjectName(name);
        box->setFont(controlFont);
        box->setGeometry(place);
        return box;
    };

    HeadingLabel = makeLabel(u"HeadingLabel"_s, QString(), twipsRect(120, 60, 10560, 300));

    GraphArea = new DrawingArea(this);
    GraphArea->setObjectName(u"GraphArea"_s);
    GraphArea->setGeometry(twipsRect(120, 390, kGraphWidth, kGraphHeight));

    NumberTable = new QTableWidget(this);
    NumberTable->setObjectName(u"NumberTable"_s);
    NumberTable->setFont(controlFont);
    NumberTable->setGeometry(twipsRect(120, 4710, 10560, 2340));
    NumberTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NumberTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    NumberTable->verticalHeader()->setDefaultSectionSize(twipsToPixels(270, logicalDpiY()));

    NoticeLabel = makeLabel(u"NoticeLabel"_s, QString(), twipsRect(120, 7080, 10560, 300));

    // The options: temperatures, pressures and the table's cut-off ...
    makeLabel(u"RangeLabel"_s, u"温度"_s, twipsRect(120, 7500, 420, 300));
    FromBox = makeBox(u"FromBox"_s, QString(), twipsRect(540, 7470, 720, 330));
    makeLabel(u"ToLabel"_s, u"～"_s, twipsRect(1320, 7500, 240, 300));
    ToBox = makeBox(u"ToBox"_s, QString(), twipsRect(1560, 7470, 720, 330));
    makeLabel(u"StepLabel"_s, u"刻み"_s, twipsRect(2340, 7500, 420, 300));
    StepBox = makeBox(u"StepBox"_s, QString(), twipsRect(2760, 7470, 600, 330));
    RangeUnit = new QComboBox(this);
    RangeUnit->setObjectName(u"RangeUnit"_s);
    RangeUnit->setFont(controlFont);
    RangeUnit->addItems({u"K"_s, u"ﾟC"_s});
    RangeUnit->setGeometry(twipsRect(3420, 7470, 660, 330));
    for (QLineEdit* box : {FromBox, ToBox, StepBox}) {
        box->setToolTip(u"空欄: 300～1100 K と 0～800 ﾟC"_s);
        connect(box, &QLineEdit::returnPressed, this, &CompositionForm::onCalButtonClicked);
    }

    makeLabel(u"PressureLabel"_s, u"全圧"_s, twipsRect(4260, 7500, 420, 300));
    PressureBox = makeBox(u"PressureBox"_s, QString(), twipsRect(4680, 7470, 1560, 330));
    PressureBox->setPlaceholderText(u"例: 1, 10, 30"_s);
    PressureBox->setToolTip(u"空欄: 主画面の全圧"_s);
    makeLabel(u"PressureUnitLabel"_s, u"atm"_s, twipsRect(6300, 7500, 420, 300));
    connect(PressureBox, &QLineEdit::returnPressed, this, &CompositionForm::onCalButtonClicked);

    makeLabel(u"CutoffLabel"_s, u"表示の下限"_s, twipsRect(7320, 7500, 1020, 300));
    CutoffBox = makeBox(u"CutoffBox"_s, u"1E-06"_s, twipsRect(8340, 7470, 960, 330));
    HiddenLabel = makeLabel(u"HiddenLabel"_s, QString(), twipsRect(9360, 7500, 1320, 300));
    connect(CutoffBox, &QLineEdit::editingFinished, this, &CompositionForm::onCutoffEdited);

    // ... and what the equilibrium includes.
    const auto makeCheck = [&](const QString& name, const QString& caption, QRect place) {
        QCheckBox* check = new QCheckBox(caption, this);
        check->setObjectName(name);
        check->setFont(controlFont);
        check->setGeometry(place);
        return check;
    };
    GraphiteCheck = makeCheck(u"GraphiteCheck"_s, u"固体炭素(グラファイト)を含める"_s,
                              twipsRect(120, 7890, 3300, 300));
    CondensedCheck =
        makeCheck(u"CondensedCheck"_s, u"凝縮相を含める"_s, twipsRect(3480, 7890, 1920, 300));
    AdiabaticCheck =
        makeCheck(u"AdiabaticCheck"_s, u"断熱平衡  原料温度"_s, twipsRect(5460, 7890, 2100, 300));
    FeedTemperatureBox =
        makeBox(u"FeedTemperatureBox"_s, u"298.15"_s, twipsRect(7560, 7860, 840, 330));
    makeLabel(u"FeedTemperatureUnit"_s, u"K"_s, twipsRect(8460, 7890, 240, 300));
    DryCheck = makeCheck(u"DryCheck"_s, u"乾きベース"_s, twipsRect(8760, 7890, 1920, 300));
    DryCheck->setToolTip(u"H2Oを除いたモル分率を表示します"_s);
    connect(GraphiteCheck, &QCheckBox::clicked, this, &CompositionForm::onComputeOptionClicked);
    connect(CondensedCheck, &QCheckBox::clicked, this, &CompositionForm::onComputeOptionClicked);
    connect(AdiabaticCheck, &QCheckBox::clicked, this, &CompositionForm::onComputeOptionClicked);
    connect(FeedTemperatureBox, &QLineEdit::returnPressed, this,
            &CompositionForm::onCalButtonClicked);
    connect(DryCheck, &QCheckBox::clicked, this, &CompositionForm::onDryCheckClicked);

    ScaleFrame = new QGroupBox(u"縦軸"_s, this);
    ScaleFrame->setObjectName(u"ScaleFrame"_s);
    ScaleFrame->setFont(controlFont);
    ScaleFrame->setGeometry(twipsRect(120, 8280, 2040, 615));
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

    const auto makeButton = [&](const QString& name, const QString& caption, double left,
                                double width) {
        QPushButton* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setFont(controlFont);
        button->setAutoDefault(false);
        button->setGeometry(twipsRect(left, 8430, width, 435));
        return button;
    };
    CalButton = makeButton(u"CalButton"_s, u"再計算(&R)"_s, 2400, 1080);
    SaveButton = makeButton(u"SaveButton"_s, u"保存(&S)"_s, 4680, 1080);
    SavePictureButton = makeButton(u"SavePictureButton"_s, u"画像の保存(&G)"_s, 5820, 1440);
    PrintButton = makeButton(u"PrintButton"_s, u"印刷(&P)"_s, 7320, 1080);
    CopyButton = makeButton(u"CopyButton"_s, u"コピー(&C)"_s, 8460, 1080);
    ExitButton = makeButton(u"ExitButton"_s, u"閉じる(&X)"_s, 9600, 1080);
    connect(CalButton, &QPushButton::clicked, this, &CompositionForm::onCalButtonClicked);
    connect(SaveButton, &QPushButton::clicked, this, &CompositionForm::onSaveButtonClicked);
    connect(SavePictureButton, &QPushButton::clicked, this,
            &CompositionForm::onSavePictureButtonClicked);
    connect(CopyButton, &QPushButton::clicked, this, &CompositionForm::onCopyButtonClicked);
    connect(ExitButton, &QPushButton::clicked, this, &QWidget::close);

    InputTimer = new QTimer(this);
    InputTimer->setObjectName(u"InputTimer"_s);
    InputTimer->setSingleShot(true);
    InputTimer->setInterval(kInputDelay);
    connect(InputTimer, &QTimer::timeout, this, &CompositionForm::onInputTimerTick);
}

QRect CompositionForm::twipsRect(double left, double top, double width, double height) const
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    return {twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
            twipsToPixels(height, dpiY)};
}

ShownComposition CompositionForm::compute(const ReactionFields& fields, bool tetraPrecision) const
{
    try {
        CompositionRequest request =
            compositionRequest(fields, GraphiteCheck->isChecked(), tetraPrecision);
        request.condensed = CondensedCheck->isChecked();
        const std::optional<std::vector<double>> pressures = readPressures(PressureBox->text());
        if (!pressures)
            refuse(u"全圧を正しく入力してください"_s);
        request.pressures = *pressures;
        const QString rangeText = FromBox->text() + ToBox->text() + StepBox->text();
        if (!rangeText.trimmed().isEmpty()) {
            const auto from = boxNumber(FromBox);
            const auto to = boxNumber(ToBox);
            const auto step = boxNumber(StepBox);
            if (!from || !to || !step)
                refuse(u"温度の範囲を正しく入力してください"_s);
            request.range = TemperatureRange{*from, *to, *step, RangeUnit->currentIndex() == 1};
        }
        if (AdiabaticCheck->isChecked()) {
            const auto feedKelvin = boxNumber(FeedTemperatureBox);
            if (!feedKelvin || *feedKelvin <= 0)
                refuse(u"原料温度を正しく入力してください"_s);
            request.adiabaticFeedKelvin = feedKelvin;
        }
        const ThermoData thermo =
            ThermoData::load(polynomialPathBeside(databasePath_), databasePath_);
        ShownComposition shown{fields, tetraPrecision,
                               request.pressures.empty() ? std::vector{request.totalPressure}
                                                         : request.pressures,
                               request.adiabaticFeedKelvin,
                               compositionTable(compositionSystem(request, thermo), constants_)};
        return shown;
    } catch (const Failure& failure) {
        throw CompositionError{runFailureMessage(failure.code()), failure.code()};
    } catch (const CompositionError&) {
        throw;
    } catch (const std::exception&) {
        throw CompositionError{runFailureMessage(FailureCode::InvalidArgument)};
    }
}

bool CompositionForm::recompute(const ReactionFields& fields, bool tetraPrecision)
{
    try {
        shown_ = compute(fields, tetraPrecision);
    } catch (const CompositionError& error) {
        showRunMessage(error.message);
        return false;
    }
    pending_.reset();
    redraw();
    return true;
}

bool CompositionForm::calculate(const ReactionFields& fields, bool tetraPrecision)
{
    if (!recompute(fields, tetraPrecision))
        return false;
    show();
    raise();
    activateWindow();
    // The table would otherwise take the focus and mark its first cell.
    CopyButton->setFocus();
    return true;
}

void CompositionForm::inputChanged(const ReactionFields& fields, bool tetraPrecision)
{
    if (!shown_ || !isVisible())
        return;
    if (sameInput(fields, shown_->fields) && tetraPrecision == shown_->tetraPrecision) {
        pending_.reset();
        InputTimer->stop();
    } else {
        pending_ = PendingInput{fields, tetraPrecision, QString()};
        InputTimer->start();
    }
    showNotice();
}

void CompositionForm::onInputTimerTick()
{
    if (!pending_)
        return;
    try {
        shown_ = compute(pending_->fields, pending_->tetraPrecision);
        pending_.reset();
        redraw();
    } catch (const CompositionError& error) {
        // Typing goes through inputs that cannot be computed: no message box,
        // the notice says why the older composition stays.
        pending_->failure = error.message.text;
        showNotice();
    }
}

CompositionView CompositionForm::view() const
{
    CompositionView view;
    view.unit = display_.temperatureUnit;
    if (!shown_)
        return view;
    const CompositionTable& table = shown_->table;
    view.species = table.species;
    view.condensed = table.condensed;
    // The default pair of series per pressure shows the one of the unit;
    // a range's or the adiabatic series is shown in either unit.
    const QString hidden = view.unit == TemperatureUnit::Kelvin ? u"C"_s : u"K"_s;
    const bool pairs =
        !shown_->adiabaticFeedKelvin &&
        std::any_of(table.series.begin(), table.series.end(),
                    [](const CompositionSeries& series) { return series.name == u"C"_s; });
    for (const CompositionSeries& series : table.series) {
        if (pairs && series.name == hidden)
            continue;
        ShownSeries shownSeries{series.pressure, series.points};
        if (DryCheck->isChecked()) {
            for (CompositionPoint& point : shownSeries.points) {
                if (!point.failed())
                    point.moleFractions = dryFractions(table, point);
            }
        }
        view.series.push_back(std::move(shownSeries));
    }
    return view;
}

ListedSpecies CompositionForm::listed() const
{
    return listedSpecies(view(), cutoff_);
}

QString CompositionForm::heading() const
{
    if (!shown_)
        return {};
    return compositionHeading(shown_->table.feedNames, shown_->table.feedMoles, shown_->pressures,
                              shown_->adiabaticFeedKelvin);
}

QString CompositionForm::compositionFileText() const
{
    if (!shown_)
        return {};
    return compositionText(shown_->table, u"\r\n"_s, {DryCheck->isChecked(), true});
}

void CompositionForm::redraw()
{
    if (!shown_)
        return;
    const CompositionView shownView = view();
    DrawCompositionGraph(GraphArea->picture(), {shownView, ScaleMode[1]->isChecked()},
                         compositionPlacement());
    GraphArea->update();
    HeadingLabel->setText(heading());
    fillNumberTable();
    showNotice();
}

void CompositionForm::fillNumberTable()
{
    const CompositionTable& table = shown_->table;
    const CompositionView shownView = view();
    const ListedSpecies rows = listedSpecies(shownView, cutoff_);
    const bool severalSeries = shownView.series.size() > 1;
    // Rows: the listed gases, the condensed phases, then the derived figures.
    QStringList rowNames;
    for (const int s : rows.shown)
        rowNames.append(shownView.species[s]);
    rowNames.append(shownView.condensed);
    const int derivedRow = int(rowNames.size());
    for (const QString& name : table.feedNames)
        rowNames.append(u"転化率(%):"_s + name);
    const bool ratio = table.hydrogen >= 0 && table.carbonMonoxide >= 0;
    if (ratio)
        rowNames.append(u"H2/CO"_s);

    NumberTable->clear();
    NumberTable->setRowCount(int(rowNames.size()));
    NumberTable->setVerticalHeaderLabels(rowNames);
    const auto put = [this](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        NumberTable->setItem(row, column, item);
    };
    const auto number = [](double value) { return formatFixed(value, u"0.00E+00"); };
    QStringList headings;
    int column = 0;
    for (const ShownSeries& series : shownView.series) {
        NumberTable->setColumnCount(column + int(series.points.size()));
        for (const CompositionPoint& point : series.points) {
            headings.append(severalSeries ? temperatureText(point, shownView.unit) + u'\n' +
                                                pressuresText({series.pressure})
                                          : temperatureText(point, shownView.unit));
            if (point.failed()) {
                put(0, column, u"計算不可"_s);
                if (QTableWidgetItem* item = NumberTable->item(0, column))
                    item->setToolTip(point.failure);
                ++column;
                continue;
            }
            int row = 0;
            for (const int s : rows.shown)
                put(row++, column, number(point.moleFractions[size_t(s)]));
            for (const double moles : point.condensedMoles)
                put(row++, column, number(moles));
            const DerivedFigures derived = derivedFigures(table, point);
            row = derivedRow;
            for (const double conversion : derived.conversion)
                put(row++, column, ConversionText(100 * conversion));
            // Where CO is a trace the ratio is huge: then in exponent form.
            if (ratio && derived.h2ToCo)
                put(row, column,
                    formatFixed(*derived.h2ToCo, *derived.h2ToCo < 1000 ? u"0.000" : u"0.00E+00"));
            ++column;
        }
    }
    NumberTable->setHorizontalHeaderLabels(headings);
    NumberTable->resizeColumnsToContents();
    HiddenLabel->setText(u"非表示 "_s + QString::number(rows.hidden) + u" 種"_s);
}

void CompositionForm::showNotice()
{
    if (pending_) {
        NoticeLabel->setStyleSheet(u"color: red"_s);
        NoticeLabel->setText(pending_->failure.isEmpty()
                                 ? kOlderInput
                                 : kOlderInput + u" ("_s + pending_->failure + u')');
        return;
    }
    NoticeLabel->setStyleSheet(QString());
    QStringList notices;
    if (shown_) {
        notices = shown_->table.notices;
        if (shown_->table.anyFailed())
            notices.append(u"計算できなかった点があります (表の「計算不可」に理由)"_s);
    }
    NoticeLabel->setText(notices.join(u"　"_s));
    NoticeLabel->setToolTip(notices.join(u'\n'));
}

void CompositionForm::onCalButtonClicked()
{
    if (!shown_)
        return;
    // The main window's input the window follows, or the one it shows.
    const ReactionFields fields = pending_ ? pending_->fields : shown_->fields;
    const bool tetraPrecision = pending_ ? pending_->tetraPrecision : shown_->tetraPrecision;
    if (recompute(fields, tetraPrecision))
        InputTimer->stop();
    else
        PressureBox->setFocus();
}

void CompositionForm::onComputeOptionClicked()
{
    // The check boxes of what is computed: a refused change is taken back.
    auto* check = qobject_cast<QCheckBox*>(sender());
    if (shown_ && !recompute(shown_->fields, shown_->tetraPrecision) && check)
        check->setChecked(!check->isChecked());
}

void CompositionForm::onDryCheckClicked()
{
    redraw();
}

void CompositionForm::onScaleModeClicked()
{
    redraw();
}

void CompositionForm::onCutoffEdited()
{
    bool ok = false;
    const double cutoff = CutoffBox->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(cutoff) || cutoff < 0) {
        // Put back first: the message box takes the focus and ends the edit again.
        CutoffBox->setText(cutoffText_);
        showMessage(platform_, u"表示の下限には0以上の数を入力してください"_s,
                    MessageIcon::Exclamation);
        return;
    }
    cutoff_ = cutoff;
    cutoffText_ = CutoffBox->text();
    if (shown_)
        fillNumberTable();
}

void CompositionForm::onCopyButtonClicked()
{
    if (!shown_)
        return;
    platform_.setClipboardText(compositionFileText());
    showMessage(platform_, u"クリップボードに数値データをコピーしました"_s,
                MessageIcon::Information);
}

void CompositionForm::onSaveButtonClicked()
{
    if (!shown_)
        return;
    const std::optional<FileChoice> choice = platform_.saveFileDialog(
        {u"名前を付けて組成ファイルを保存"_s,
         u"タブ区切りテキスト(*.TXT)|*.txt|CSVファイル(*.CSV)|*.csv|全てのファイル(*.*)|*.*"_s, 0,
         fileFolder_, fileName_});
    if (!choice)
        return;
    const QString& path = choice->fullPath;
    fileName_ = choice->fileName;
    fileFolder_ = DirectoryOf(path);
    if (FileExists(path)) {
        const FileMessage question = overwriteQuestion(path);
        if (!askYesNo(platform_, question.title, question.text))
            return;
    }
    const QString text = compositionFileText();
    const QString written = endsWithCsv(path) ? csvFromTabText(text, u"\r\n"_s) : text;
    // A registered compound's name may hold what Shift_JIS cannot: refused, not substituted.
    if (const QString outside = firstCharacterOutsideShiftJis(written); !outside.isEmpty()) {
        showMessage(platform_, unstorableTextMessage(outside), MessageIcon::Exclamation);
        return;
    }
    try {
        writeShiftJisFile(path, written);
    } catch (const Failure& failure) {
        const FileMessage message = saveAsFailureMessage(failure.code());
        showMessage(platform_, message.text, message.icon, message.title);
    }
}

void CompositionForm::onSavePictureButtonClicked()
{
    if (!shown_)
        return;
    const std::optional<FileChoice> choice = platform_.saveFileDialog(
        {u"名前を付けてグラフの画像を保存"_s,
         u"PNG画像(*.PNG)|*.png|SVG画像(*.SVG)|*.svg|全てのファイル(*.*)|*.*"_s, 0, fileFolder_,
         pictureName_});
    if (!choice)
        return;
    const QString& path = choice->fullPath;
    pictureName_ = choice->fileName;
    fileFolder_ = DirectoryOf(path);
    if (FileExists(path)) {
        const FileMessage question = overwriteQuestion(path);
        if (!askYesNo(platform_, question.title, question.text))
            return;
    }
    const QSizeF size(kGraphWidth, kGraphHeight);
    const bool svg = path.endsWith(u".svg"_s, Qt::CaseInsensitive);
    try {
        writeFileBytes(path, svg ? pictureSvg(GraphArea->picture(), size)
                                 : picturePng(GraphArea->picture(), size));
    } catch (const Failure& failure) {
        const FileMessage message = saveAsFailureMessage(failure.code());
        showMessage(platform_, message.text, message.icon, message.title);
    }
}

void CompositionForm::showRunMessage(const RunMessage& message)
{
    showMessage(platform_, message.text, message.icon, message.title);
}

} // namespace norvanta
