#pragma once

#include "drawing_area.h"
#include "results_display_state.h"

#include "engine/result_table.h"

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QGroupBox;
class QPushButton;
class QRadioButton;
class QTimer;

namespace norvanta {

// How a help-line text is to be shown on the main window's help line.
enum class HelpLineRule {
    WhenHelpOn, // a hint: shown only when the help setting is on
    Always,     // clearing the line: done whatever the help setting
};
using HelpLineHandler = std::function<void(const QString& text, HelpLineRule rule)>;

// The results window: graph, number table, plot-mode options and the print,
// copy and close buttons. Clicking the number table's temperature or dG
// column toggles that unit and redraws graph and table.
class ResultsForm : public QWidget {
    Q_OBJECT

public:
    // `display` and `table` belong to the application and outlive the window.
    ResultsForm(ResultsDisplayState& display, const ResultTable& table, QWidget* parent = nullptr);

    DrawingArea* GraphArea;
    DrawingArea* NumberArea;
    QGroupBox* PlotModeFrame;
    std::array<QRadioButton*, 3> PlotMode;
    QPushButton* PrintButton;
    QPushButton* CopyButton;
    QPushButton* ExitButton;
    QTimer* PrintTimer;

    // What the drawings read besides the table and the display state.
    void setTetraPrecision(bool tetraPrecision) { tetraPrecision_ = tetraPrecision; }
    // The step mode the shown results were computed in.
    bool tetraPrecision() const { return tetraPrecision_; }
    void setCaltoj(double caltoj) { caltoj_ = caltoj; }
    void setHelpLineHandler(HelpLineHandler handler) { helpLine_ = std::move(handler); }

    // Empties both drawing areas, as at the start of a run.
    void clearAreas();
    // Row r (0..8) of the number table in the current units.
    void DrawNumberRow(int r, const ResultPoint& kelvinPoint, const ResultPoint& celsiusPoint);
    void DrawNumberTable();
    void DrawResultGraph();

    // The end of a run: selects the option of the remembered plot mode,
    // shows the window, draws the graph and marks the results displayed.
    // The caller places the window first.
    void showResults();

    // Placement, in twips of the screen: the outer top-left corner and size.
    QPointF positionTwips() const;
    QSizeF frameSizeTwips() const;
    void moveToTwips(QPointF topLeft);
    // Neither minimised nor maximised.
    bool isNormalState() const;

    void onNumberAreaMousePressed(QPointF twips);
    void onNumberAreaMouseMoved(QPointF twips);
    void onGraphAreaMouseMoved();
    void onPlotModeClicked(int index);
    void onExitButtonClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect twipsRect(double left, double top, double width, double height) const;
    void selectPlotModeOption();
    void rememberAndRelease();
    void toggledUnit();
    void showHelp(const QString& text, HelpLineRule rule);

    ResultsDisplayState& display_;
    const ResultTable& table_;
    bool tetraPrecision_ = false;
    double caltoj_ = 4.184;
    HelpLineHandler helpLine_;
};

} // namespace norvanta
