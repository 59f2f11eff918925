#pragma once

#include "results/report_text.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QProgressBar;

namespace norvanta {

class Platform;
class ResultsForm;

// What printing reads at the moment of the click: the report's inputs and
// the print settings.
struct PrintJob {
    ResultReportInput report;
    bool colour = true; // ColorPrintMode non-zero
    QString printFontName;
    double printFontSize = 10;
    QString usualDirectory; // where the PDF file dialog starts
};

// Result printing from the results window: PrintButton asks, prints the
// result page on the current printer (or into a PDF file) while the main
// window's progress bar advances, and PrintTimer hides the bar 2 s later.
// The page is stamped with the clock's time when it is drawn, after the
// question and the file dialog.
class ResultPrinting : public QObject {
    Q_OBJECT

public:
    using JobSource = std::function<PrintJob()>;
    using Clock = std::function<QDateTime()>;

    // progBar and message are the main window's ProgBar and Message; all of
    // them outlive this object, which is a child of `parent`.
    ResultPrinting(Platform& platform, ResultsForm& resultsForm, QProgressBar& progBar,
                   QLabel& message, JobSource jobSource, QObject* parent,
                   Clock clock = &QDateTime::currentDateTime);

    void onPrintButtonClicked();
    void onPrintTimerTick();

private:
    // The PDF file to write, after the save dialog and the overwrite question.
    std::optional<QString> choosePdfFile(const QString& usualDirectory);

    Platform& platform_;
    ResultsForm& resultsForm_;
    QProgressBar& progBar_;
    QLabel& message_;
    JobSource jobSource_;
    Clock clock_;
};

} // namespace norvanta
