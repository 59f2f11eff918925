#include "app/calculation_controller.h"

#include "app/application.h"
#include "app/main_form.h"
#include "app/results_placement.h"

#include "engine/run_errors.h"

#include "common/failure.h"
#include "common/platform.h"
#include "common/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <exception>

namespace norvanta {

CalculationController::CalculationController(NorvantaApplication& app)
    : m_app(app), m_platform(app.platform()), m_form(app.mainForm()),
      m_resultsForm(app.resultsForm()), m_settings(app.settings()), m_display(app.resultsDisplay()),
      m_constants(app.constants()), m_solver(app.solverPath())
{
    MainTimer = new QTimer(&m_form);
    MainTimer->setObjectName(QStringLiteral("MainTimer"));
    MainTimer->setInterval(kTimerInterval);
    connect(MainTimer, &QTimer::timeout, this, &CalculationController::onMainTimerTick);
    connect(m_form.CalButton, &QPushButton::clicked, this,
            &CalculationController::onCalButtonClicked);

    m_resultsForm.setHelpLineHandler(
        [this](const QString& text, HelpLineRule rule) { showHelpLine(text, rule); });
    // The window has stored the clicked mode in its display state by now.
    for (QRadioButton* option : m_resultsForm.PlotMode) {
        connect(option, &QRadioButton::clicked, this,
                [this] { m_settings.PlotMode = qint16(m_display.plotMode); });
    }
    m_resultsForm.installEventFilter(this);
}

CalculationController::~CalculationController()
{
    m_resultsForm.removeEventFilter(this);
    m_resultsForm.setHelpLineHandler({});
}

void CalculationController::onCalButtonClicked()
{
    if (running())
        return;
    m_tetraPrecision = m_settings.TetraPrecision != 0;
    m_fields = m_form.fields();
    m_run.emplace(RunSettings{m_app.databasePath(), m_app.startFolder(), m_constants.kpFactor},
                  m_fields, m_app.reactionDefinition(), m_app.results(), m_solver,
                  static_cast<RunHost&>(*this));
    m_run->start(m_tetraPrecision);
    MainTimer->start();
    m_form.CalButton->setEnabled(false);
    m_form.setCalculationIdle(false);
}

void CalculationController::onMainTimerTick()
{
    if (!running()) {
        MainTimer->stop();
        return;
    }
    // Each step reads the fields as they stand, as the user may still edit
    // the compound rows while the run goes on.
    m_fields = m_form.fields();
    TickResult result;
    try {
        result = m_run->tick();
    } catch (const std::exception&) {
        // Anything the run did not foresee ends it like any other error.
        m_run.reset();
        stopRun();
        const RunMessage message = runFailureMessage(FailureCode::InvalidArgument);
        showMessage(m_platform, message.text, message.icon, message.title);
        return;
    }
    if (result.outcome != TickOutcome::StoppedByValidation &&
        result.outcome != TickOutcome::StoppedByError)
        return;
    if (result.message)
        showMessage(m_platform, result.message->text, result.message->icon, result.message->title);
    giveFocus(result.focus);
}

void CalculationController::prepareRun()
{
    // A print's timer would otherwise hide this run's progress bar.
    m_resultsForm.PrintTimer->stop();
    m_resultsForm.hide();
    m_resultsForm.setCaltoj(m_constants.calToJ);
    m_resultsForm.clearAreas();
    setInputControlsEnabled(false);
    m_form.Message->clear();
    m_form.Message->hide();
    m_form.ProgBar->show();
}

void CalculationController::showProgress(int value)
{
    m_form.ProgBar->setValue(value);
}

void CalculationController::showFields(const ReactionFields& fields)
{
    const auto write = [](QLineEdit* box, const QString& text) {
        if (box->text() != text)
            box->setText(text);
    };
    for (int row = 0; row < 4; ++row) {
        write(m_form.ReactNum[row], fields.reactNum[row]);
        write(m_form.React[row], fields.react[row]);
        write(m_form.Molar[row], fields.molar[row]);
        write(m_form.ProductNum[row], fields.productNum[row]);
        write(m_form.Product[row], fields.product[row]);
    }
    write(m_form.Pressure, fields.pressure);
    if (m_form.fields().restrict != fields.restrict)
        m_form.selectRestrict(fields.restrict);
    // A changed compound name enables CalButton; it stays off while the run goes on.
    m_form.CalButton->setEnabled(false);
}

void CalculationController::drawNumberRow(int row, const ResultPoint& kelvin,
                                          const ResultPoint& celsius)
{
    m_resultsForm.DrawNumberRow(row, kelvin, celsius);
}

void CalculationController::setResultsCaption(const QString& caption)
{
    m_resultsForm.setWindowTitle(caption);
}

void CalculationController::finishRun()
{
    MainTimer->stop();
    m_resultsForm.setTetraPrecision(m_tetraPrecision);
    m_resultsForm.setCaltoj(m_constants.calToJ);
    m_display.plotMode = m_settings.PlotMode;
    showResultsWindow();

    m_form.ProgBar->hide();
    m_form.CalButton->setEnabled(true);
    m_form.CalButton->setDefault(true);
    m_form.SaveResultItem->setEnabled(true);
    setInputControlsEnabled(true);
    m_form.setCalculationIdle(true);
}

void CalculationController::stopRun()
{
    setInputControlsEnabled(true);
    MainTimer->stop();
    m_form.Message->clear();
    m_form.ProgBar->setValue(0);
    m_form.ProgBar->hide();
    m_form.CalButton->setEnabled(true);
    // The help line works again once the run is over, whichever way it ended.
    m_form.setCalculationIdle(true);
}

void CalculationController::setInputControlsEnabled(bool enabled)
{
    m_form.Pressure->setEnabled(enabled);
    m_form.TetraPrec->setEnabled(enabled);
    m_form.ReverseButton->setEnabled(enabled);
    m_form.ResetButton->setEnabled(enabled);
    // The menu forms of the same two commands.
    m_form.RevMenu->setEnabled(enabled);
    m_form.ResetMenu->setEnabled(enabled);
}

ResultsPlacementRequest CalculationController::placementRequest() const
{
    const QSize screen = m_platform.screenSize();
    ResultsPlacementRequest request;
    request.remembered = {m_settings.ResultsLeft, m_settings.ResultsTop};
    request.current = m_resultsForm.positionTwips();
    request.window = m_resultsForm.frameSizeTwips();
    request.screen = {pixelsToTwips(screen.width(), m_resultsForm.logicalDpiX()),
                      pixelsToTwips(screen.height(), m_resultsForm.logicalDpiY())};
    request.centreFirstDisplay = !m_resultsShownSinceStart && m_app.centreResultsOnFirstShow();
    request.closedSinceShown = m_display.placement != ResultsPlacement::Keep;
    request.normalState = m_resultsForm.isNormalState();
    return request;
}

void CalculationController::moveResultsWindow(const ResultsWindowPlace& place)
{
    if (place.position != m_resultsForm.positionTwips())
        m_resultsForm.moveToTwips(place.position);
    m_settings.ResultsLeft = float(place.remembered.x());
    m_settings.ResultsTop = float(place.remembered.y());
    m_display.resultsLeft = m_settings.ResultsLeft;
    m_display.resultsTop = m_settings.ResultsTop;
}

void CalculationController::showResultsWindow()
{
    ResultsPlacementRequest request = placementRequest();
    moveResultsWindow(placeResultsWindow(request));
    m_resultsForm.showResults();
    // A window shown for the first time has its frame only now: place it
    // again with the frame counted, so that centring is exact.
    if (m_resultsForm.frameSizeTwips() != request.window) {
        request.window = m_resultsForm.frameSizeTwips();
        request.current = m_resultsForm.positionTwips();
        moveResultsWindow(placeResultsWindow(request));
    }
    m_display.placement = ResultsPlacement::Keep;
    m_resultsShownSinceStart = true;
    m_resultsOpen = true;
}

void CalculationController::giveFocus(FocusTarget target)
{
    QWidget* widget = nullptr;
    const int row = target.row;
    switch (target.control) {
    case FocusControl::None:
        return;
    case FocusControl::React:
        widget = m_form.React[row];
        break;
    case FocusControl::ReactNum:
        widget = m_form.ReactNum[row];
        break;
    case FocusControl::Molar:
        widget = m_form.Molar[row];
        break;
    case FocusControl::Product:
        widget = m_form.Product[row];
        break;
    case FocusControl::ProductNum:
        widget = m_form.ProductNum[row];
        break;
    case FocusControl::Restrict:
        widget = m_form.Restrict[row];
        break;
    case FocusControl::Pressure:
        widget = m_form.Pressure;
        break;
    }
    if (!widget->isEnabled())
        return;
    widget->setFocus(Qt::OtherFocusReason);
    // The window may still be inactive after the message box; its focus then
    // arrives as it activates and would leave the cursor where it was. The
    // field is selected now, so the next keystroke replaces its text.
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        box->selectAll();
}

void CalculationController::showHelpLine(const QString& text, HelpLineRule rule)
{
    if (rule == HelpLineRule::Always || m_settings.DispHelp != 0)
        m_form.ShowHelpLine(text);
}

bool CalculationController::eventFilter(QObject* watched, QEvent* event)
{
    // Closing the results window stored its position in the display state
    // and asked for it to be restored there; the settings remember it from
    // there. Hiding it for a run or minimising it leaves them alone.
    if (watched == &m_resultsForm && event->type() == QEvent::Hide && m_resultsOpen &&
        m_display.placement != ResultsPlacement::Keep) {
        m_settings.ResultsLeft = m_display.resultsLeft;
        m_settings.ResultsTop = m_display.resultsTop;
        m_resultsOpen = false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace norvanta
