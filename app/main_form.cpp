#include "app/main_form.h"

#include "app/single_line_validator.h"
#include "common/twips.h"
#include "results/fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

// Positions and sizes in twips, relative to the window's client area below
// the menu bar (the list panel's controls relative to the panel).
struct TwipsRect {
    int x, y, width, height;
};

// Columns of the input area, left to right.
constexpr TwipsRect kReactNumColumn{90, 0, 480, 0};
constexpr TwipsRect kReactColumn{600, 0, 990, 0};
constexpr TwipsRect kMolarColumn{1620, 0, 480, 0};
constexpr TwipsRect kRestrictColumn{2130, 0, 510, 0};
constexpr TwipsRect kArrowColumn{2670, 0, 210, 0};
constexpr TwipsRect kProductNumColumn{2910, 0, 480, 0};
constexpr TwipsRect kProductColumn{3420, 0, 990, 0};
constexpr TwipsRect kButtonColumn{4530, 0, 1425, 0};

constexpr int kHeadingTop = 60;
constexpr int kHeadingHeight = 210;
constexpr int kFirstRowTop = 300;
constexpr int kRowPitch = 390;
constexpr int kRowHeight = 330;
constexpr int kStepTop = kFirstRowTop + 4 * kRowPitch - 30;
constexpr int kStepWidth = 240;
constexpr int kStepHeight = 285;
constexpr int kFrameTop = 2250;
constexpr int kFrameHeight = 720;
constexpr int kButtonHeight = 360;
constexpr int kMessageTop = 3240;
constexpr int kMessageHeight = 315;
constexpr int kWindowHeight = 4110;
// Bottom of the area below the menu bar that the controls use.
constexpr int kClientBottom = kMessageTop + kMessageHeight + 60;

QRect toPixels(const QWidget* widget, const TwipsRect& r)
{
    const double dpiX = widget->logicalDpiX();
    const double dpiY = widget->logicalDpiY();
    const int left = twipsToPixels(r.x, dpiX);
    const int top = twipsToPixels(r.y, dpiY);
    return {left, top, twipsToPixels(r.x + r.width, dpiX) - left,
            twipsToPixels(r.y + r.height, dpiY) - top};
}

void place(QWidget* widget, const TwipsRect& r)
{
    widget->setGeometry(toPixels(widget, r));
}

void place(QWidget* widget, const TwipsRect& column, int top, int height)
{
    place(widget, {column.x, top, column.width, height});
}

QLineEdit* makeBox(QWidget* parent, const QString& name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setValidator(new SingleLineValidator(box));
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* makeHeading(QWidget* parent, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QString indexed(const QString& name, int index)
{
    return name + QString::number(index);
}

} // namespace

MainForm::MainForm(Platform& platform, InputState& input, FileState& file, SettingsValues& settings,
                   QString databasePath, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_input(input), m_file(file), m_settings(settings),
      m_databasePath(std::move(databasePath))
{
    setObjectName(u"MainForm"_s);
    setWindowTitle(u"Norvanta"_s);
    setFont(QFont(kUiGothicFont, 9));

    m_central = new QWidget(this);
    m_central->setObjectName(u"MainArea"_s);
    setCentralWidget(m_central);

    createControls(m_central);
    createListPanel(m_central);
    createMenus();
    placeControls();
    placeListPanel();
    connectFields();
    watchFields();
    watchHints();
    connectListPanel();
    applyWindowSize();
}

void MainForm::createControls(QWidget* central)
{
    const QStringList headings{u"量論"_s, u"反応系"_s, u"分圧"_s,
                               u"制限"_s, u"量論"_s,   u"生成系"_s};
    for (int i = 0; i < 6; ++i)
        m_headings[i] = makeHeading(central, headings[i]);

    // Created row by row so that the tab order runs along each reactant row,
    // then along each product row.
    for (int row = 0; row < 4; ++row) {
        ReactNum[row] = makeBox(central, indexed(u"ReactNum"_s, row));
        React[row] = makeBox(central, indexed(u"React"_s, row));
        Molar[row] = makeBox(central, indexed(u"Molar"_s, row));
        Restrict[row] = new QRadioButton(QString::number(row + 1), central);
        Restrict[row]->setObjectName(indexed(u"Restrict"_s, row));
    }
    for (int row = 0; row < 4; ++row) {
        ProductNum[row] = makeBox(central, indexed(u"ProductNum"_s, row));
        Product[row] = makeBox(central, indexed(u"Product"_s, row));
    }

    Arrow = new QLabel(u"="_s, central);
    Arrow->setObjectName(u"Arrow"_s);
    Arrow->setAlignment(Qt::AlignCenter);
    QFont arrowFont = font();
    arrowFont.setPointSize(16);
    arrowFont.setBold(true);
    Arrow->setFont(arrowFont);

    m_pressureFrame = new QGroupBox(u"全圧(atm)"_s, central);
    Pressure = makeBox(m_pressureFrame, u"Pressure"_s);
    Pressure->setText(u"1"_s);
    m_precisionFrame = new QGroupBox(u"計算精度"_s, central);
    TetraPrec = new QCheckBox(u"25K"_s, m_precisionFrame);
    TetraPrec->setObjectName(u"TetraPrec"_s);
    TetraPrec->setChecked(m_settings.TetraPrecision != 0);

    CalButton = makeButton(central, u"CalButton"_s, u"計算開始(&S)"_s);
    CalButton->setEnabled(false);
    ResetButton = makeButton(central, u"ResetButton"_s, u"クリア"_s);
    ReverseButton = makeButton(central, u"ReverseButton"_s, u"反転"_s);
    ListButton = makeButton(central, u"ListButton"_s, u"一覧"_s);
    OpenButton = makeButton(central, u"OpenButton"_s, u"開く"_s);
    SaveButton = makeButton(central, u"SaveButton"_s, u"上書"_s);
    SaveButton->setEnabled(false);
    SaveAsButton = makeButton(central, u"SaveAsButton"_s, u"名前"_s);
    ExitButton = makeButton(central, u"ExitButton"_s, u"終了(&X)"_s);

    // The step buttons leave the focus in the box they step.
    const auto makeStepPair = [central](std::array<QPushButton*, 2>& pair, const QString& name) {
        pair[0] = makeButton(central, indexed(name, 0), u"-"_s);
        pair[1] = makeButton(central, indexed(name, 1), u"+"_s);
        for (QPushButton* button : pair) {
            button->setFocusPolicy(Qt::NoFocus);
            button->setEnabled(false);
        }
    };
    makeStepPair(AddSR, u"AddSR"_s);
    makeStepPair(AddMR, u"AddMR"_s);
    makeStepPair(AddSP, u"AddSP"_s);

    Message = new QLabel(central);
    Message->setObjectName(u"Message"_s);
    Message->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Message->setIndent(4);
    Message->hide();
    ProgBar = new QProgressBar(central);
    ProgBar->setObjectName(u"ProgBar"_s);
    ProgBar->setRange(0, 100);
    ProgBar->setValue(0);
    ProgBar->hide();
}

void MainForm::createListPanel(QWidget* central)
{
    ListPanel = new QWidget(central);
    ListPanel->setObjectName(u"ListPanel"_s);
    ListName = new QComboBox(ListPanel);
    ListName->setObjectName(u"ListName"_s);
    GenreUpButton = makeButton(ListPanel, u"GenreUpButton"_s, u"△"_s);
    GenreDownButton = makeButton(ListPanel, u"GenreDownButton"_s, u"▽"_s);
    ListItem = new QListWidget(ListPanel);
    ListItem->setObjectName(u"ListItem"_s);
    FindFrame = new QGroupBox(u"検索"_s, ListPanel);
    FindFrame->setObjectName(u"FindFrame"_s);
    FindText = makeBox(FindFrame, u"FindText"_s);
    FindUpButton = makeButton(FindFrame, u"FindUpButton"_s, u"▲"_s);
    FindDownButton = makeButton(FindFrame, u"FindDownButton"_s, u"▼"_s);
    CloseButton = makeButton(ListPanel, u"CloseButton"_s, u"閉じる"_s);
    ListPanel->hide();
}

void MainForm::placeControls()
{
    const std::array<TwipsRect, 6> headingColumns{kReactNumColumn,   kReactColumn,
                                                  kMolarColumn,      kRestrictColumn,
                                                  kProductNumColumn, kProductColumn};
    for (int i = 0; i < 6; ++i)
        place(m_headings[i], headingColumns[i], kHeadingTop, kHeadingHeight);

    for (int row = 0; row < 4; ++row) {
        const int top = kFirstRowTop + row * kRowPitch;
        place(ReactNum[row], kReactNumColumn, top, kRowHeight);
        place(React[row], kReactColumn, top, kRowHeight);
        place(Molar[row], kMolarColumn, top, kRowHeight);
        place(Restrict[row], kRestrictColumn, top, kRowHeight);
        place(ProductNum[row], kProductNumColumn, top, kRowHeight);
        place(Product[row], kProductColumn, top, kRowHeight);
    }
    const int rowsMiddle = kFirstRowTop + (3 * kRowPitch + kRowHeight) / 2;
    place(Arrow, kArrowColumn, rowsMiddle - 300, 600);

    const auto placeStepPair = [](const std::array<QPushButton*, 2>& pair,
                                  const TwipsRect& column) {
        place(pair[0], {column.x, kStepTop + 90, kStepWidth, kStepHeight});
        place(pair[1],
              {column.x + column.width - kStepWidth, kStepTop + 90, kStepWidth, kStepHeight});
    };
    placeStepPair(AddSR, kReactNumColumn);
    placeStepPair(AddMR, kMolarColumn);
    placeStepPair(AddSP, kProductNumColumn);

    place(m_pressureFrame, {90, kFrameTop, 1380, kFrameHeight});
    place(Pressure, {120, 300, 1140, kRowHeight});
    place(m_precisionFrame, {1560, kFrameTop, 1050, kFrameHeight});
    place(TetraPrec, {150, 330, 780, 285});

    const int fileButtonTop = kFrameTop + kFrameHeight - kButtonHeight;
    place(OpenButton, kProductNumColumn, fileButtonTop, kButtonHeight);
    place(SaveButton, {kProductColumn.x, fileButtonTop, 480, kButtonHeight});
    place(SaveAsButton,
          {kProductColumn.x + kProductColumn.width - 480, fileButtonTop, 480, kButtonHeight});

    const int lastRowBottom = kFirstRowTop + 3 * kRowPitch + kRowHeight;
    place(CalButton, kButtonColumn, kFirstRowTop, 720);
    place(ResetButton, kButtonColumn, lastRowBottom - 2 * kRowHeight - 45, kRowHeight);
    place(ReverseButton, kButtonColumn, lastRowBottom - kRowHeight, kRowHeight);
    place(ListButton, kButtonColumn, kFrameTop, kRowHeight);
    place(ExitButton, kButtonColumn, fileButtonTop, kButtonHeight);

    const TwipsRect helpLine{90, kMessageTop, 5865, kMessageHeight};
    place(Message, helpLine);
    place(ProgBar, helpLine);
}

void MainForm::placeListPanel()
{
    place(ListName, {60, 60, 1800, kRowHeight});
    place(GenreUpButton, {1890, 60, 300, kRowHeight});
    place(GenreDownButton, {2190, 60, 300, kRowHeight});
    place(ListItem, {60, 450, 2430, 1680});
    place(FindFrame, {60, 2190, 2430, 690});
    place(FindText, {90, 285, 1560, kRowHeight});
    place(FindUpButton, {1680, 285, 330, kRowHeight});
    place(FindDownButton, {2025, 285, 330, kRowHeight});
    place(CloseButton, {1530, kMessageTop - 90, 960, kButtonHeight});
}

bool MainForm::isListPanelOpen() const
{
    return width() > twipsToPixels(m_input.baseWidth, logicalDpiX());
}

void MainForm::setListPanelOpen(bool open)
{
    ListPanel->setVisible(open);
    applyWindowSize();
}

void MainForm::applyWindowSize()
{
    const int widthTwips =
        m_input.baseWidth + (ListPanel->isVisibleTo(this) ? m_input.listPanelWidth : 0);
    const int width = twipsToPixels(widthTwips, logicalDpiX());
    const int height = twipsToPixels(kWindowHeight, logicalDpiY());
    place(ListPanel, {m_input.baseWidth, 0, m_input.listPanelWidth, kClientBottom});
    setFixedSize(width, height);
}

} // namespace norvanta
