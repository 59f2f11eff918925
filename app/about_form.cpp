#include "app/about_form.h"

#include "app/equilibrium_motif.h"
#include "app/main_form.h"
#include "app/version.h"
#include "common/platform.h"
#include "common/twips.h"
#include "results/fonts.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

constexpr int kWidthTwips = 5400;
constexpr int kHeightTwips = 2700;

const QColor kPaper(250, 251, 252);
const QColor kInk(18, 42, 74);
const QColor kSea(24, 104, 118);
const QColor kAmber(224, 146, 32);
const QColor kGrey(120, 128, 136);

class EmblemArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        paintEquilibriumMotif(painter, rect(), {kInk, kAmber, kSea});
    }
};

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int pixelSize,
                  const QColor& colour, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font(kUiGothicFont);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    // A click on a label is a click on the window.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

AboutForm::AboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(u"AboutForm"_s);
    setWindowTitle(u"Norvantaについて"_s);
    setModal(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kPaper);
    setPalette(palette);
    setAutoFillBackground(true);
    setMouseTracking(true);

    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const auto rectOf = [dpiX, dpiY](int x, int y, int w, int h) {
        return QRect(twipsToPixels(x, dpiX), twipsToPixels(y, dpiY), twipsToPixels(w, dpiX),
                     twipsToPixels(h, dpiY));
    };
    setFixedSize(twipsToPixels(kWidthTwips, dpiX), twipsToPixels(kHeightTwips, dpiY));

    Emblem = new EmblemArea(this);
    Emblem->setObjectName(u"Emblem"_s);
    Emblem->setAttribute(Qt::WA_TransparentForMouseEvents);
    Emblem->setGeometry(rectOf(240, 330, 1800, 1560));

    TitleLabel =
        makeLabel(this, u"TitleLabel"_s, u"Norvanta"_s, twipsToPixels(480, dpiY), kInk, true);
    TitleLabel->setGeometry(rectOf(2280, 300, 2900, 600));
    SubtitleLabel = makeLabel(this, u"SubtitleLabel"_s, u"気相化学平衡計算プログラム"_s,
                              twipsToPixels(200, dpiY), kSea);
    SubtitleLabel->setGeometry(rectOf(2280, 930, 2900, 300));
    VersionLabel = makeLabel(this, u"VersionLabel"_s, u"Version "_s + programVersion(),
                             twipsToPixels(200, dpiY), kInk);
    VersionLabel->setGeometry(rectOf(2280, 1290, 2900, 300));
    NoteLabel = makeLabel(this, u"NoteLabel"_s, u"クリックすると閉じます"_s,
                          twipsToPixels(165, dpiY), kGrey);
    NoteLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    NoteLabel->setGeometry(rectOf(2280, 2160, 2880, 300));
}

void AboutForm::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    accept();
}

void AboutForm::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT pointerOverBackground();
}

void showAboutForm(Platform& platform, MainForm& mainForm)
{
    AboutForm about(&mainForm);
    QObject::connect(&about, &AboutForm::pointerOverBackground, &mainForm,
                     &MainForm::hideHelpLine);
    const QSize screen = platform.screenSize();
    about.move((screen.width() - about.width()) / 2, (screen.height() - about.height()) / 2);
    about.exec();
}

} // namespace norvanta
