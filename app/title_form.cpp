#include "app/title_form.h"

#include "app/equilibrium_motif.h"
#include "app/version.h"
#include "common/platform.h"
#include "common/twips.h"
#include "results/fonts.h"

#include <QDir>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

constexpr int kWidthTwips = 6000;
constexpr int kHeightTwips = 3600;

const QColor kNight(18, 42, 74);
const QColor kSea(24, 104, 118);
const QColor kLight(236, 244, 248);
const QColor kAmber(255, 196, 92);
const QColor kMist(150, 205, 214);

} // namespace

TitlePicture::TitlePicture(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"TitleImage"_s);
}

void TitlePicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();

    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0, kNight);
    sky.setColorAt(1, kSea);
    painter.fillRect(area, sky);

    // The name and what the program does on the left, the emblem on the right.
    const double w = area.width();
    const double h = area.height();
    paintEquilibriumMotif(painter, QRectF(w * 0.66, h * 0.16, w * 0.28, h * 0.5),
                          {kMist, kAmber, kLight});

    QFont nameFont(kUiGothicFont);
    nameFont.setPixelSize(int(h * 0.17));
    nameFont.setBold(true);
    painter.setFont(nameFont);
    painter.setPen(kLight);
    const QRectF nameArea(w * 0.07, h * 0.18, w * 0.56, h * 0.24);
    painter.drawText(nameArea, Qt::AlignLeft | Qt::AlignVCenter, u"Norvanta"_s);

    QFont subtitleFont(kUiGothicFont);
    subtitleFont.setPixelSize(int(h * 0.06));
    painter.setFont(subtitleFont);
    painter.setPen(kMist);
    painter.drawText(QRectF(nameArea.left(), nameArea.bottom(), nameArea.width(), h * 0.1),
                     Qt::AlignLeft | Qt::AlignVCenter, u"気相化学平衡計算プログラム"_s);

    painter.setPen(QPen(kAmber, std::max(1.0, h * 0.008)));
    const double ruleY = nameArea.bottom() + h * 0.16;
    painter.drawLine(QPointF(nameArea.left(), ruleY), QPointF(w * 0.5, ruleY));
}

void TitlePicture::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
}

TitleForm::TitleForm(Platform& platform, MainWindowLoader loadMainWindow, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_platform(platform),
      m_loadMainWindow(std::move(loadMainWindow))
{
    setObjectName(u"TitleForm"_s);
    setWindowTitle(u"Norvanta"_s);

    TitleImage = new TitlePicture(this);
    VerLabel = new QLabel(this);
    VerLabel->setObjectName(u"VerLabel"_s);
    VerLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    VerLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = VerLabel->palette();
    palette.setColor(QPalette::WindowText, kLight);
    VerLabel->setPalette(palette);

    Timer0 = new QTimer(this);
    Timer0->setObjectName(u"Timer0"_s);
    Timer0->setInterval(250);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(2000);

    connect(Timer0, &QTimer::timeout, this, &TitleForm::onTimer0);
    connect(Timer1, &QTimer::timeout, this, &TitleForm::onTimer1);
    connect(TitleImage, &TitlePicture::clicked, this, &TitleForm::onTitleImageClicked);
    placeControls();
}

void TitleForm::placeControls()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const int width = twipsToPixels(kWidthTwips, dpiX);
    const int height = twipsToPixels(kHeightTwips, dpiY);
    setFixedSize(width, height);
    TitleImage->setGeometry(0, 0, width, height);
    QFont versionFont(kUiGothicFont);
    versionFont.setPixelSize(twipsToPixels(200, dpiY));
    VerLabel->setFont(versionFont);
    VerLabel->setGeometry(twipsToPixels(kWidthTwips - 2400, dpiX),
                          twipsToPixels(kHeightTwips - 600, dpiY), twipsToPixels(2100, dpiX),
                          twipsToPixels(360, dpiY));
}

bool TitleForm::start()
{
    if (!m_platform.acquireSingleInstance()) {
        const QString refusal = u"Norvantaは既に起動しています。"_s;
        // Also on the error stream, for a start from a terminal.
        QTextStream(stderr) << refusal << Qt::endl;
        showMessage(m_platform, refusal, MessageIcon::Exclamation);
        return false;
    }
    m_startFolder = QDir::currentPath();
    showTitle();
    return true;
}

void TitleForm::showTitle()
{
    Timer0->start();
    VerLabel->setText(u"Ver: "_s + programVersion());
    const QSize screen = m_platform.screenSize();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
    show();
}

void TitleForm::onTimer0()
{
    // Off before loading: a start-up message box runs the timers meanwhile.
    Timer0->stop();
    m_mainWindow = m_loadMainWindow(m_startFolder);
    // Back over the main window for its last seconds. It is not kept on top
    // throughout, so that a message box of the start-up is not hidden under it.
    raise();
    Timer1->start();
}

void TitleForm::onTimer1()
{
    Timer0->stop();
    Timer1->stop();
    close();
}

void TitleForm::onTitleImageClicked()
{
    // Until the main window is up the title window stays.
    if (Timer0->isActive() || !m_mainWindow)
        return;
    Timer0->stop();
    Timer1->stop();
    close();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

} // namespace norvanta
