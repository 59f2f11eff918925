#pragma once

#include "results/report_text.h"

#include <QObject>
#include <QString>

namespace norvanta {

class NorvantaApplication;

// The report's inputs as they stand now: the main window's fields, the
// results window's units and step mode, the last table and the local time.
// The printed page is made of the same.
ResultReportInput currentReportInput(NorvantaApplication& app);

// The two outlets of the result report: the results window's CopyButton puts
// it on the clipboard, the main window's SaveResultItem writes it to a result
// file. Both compose it from the main window's fields as they stand at that
// moment, the results window's units and the last calculation's table.
class ResultOutlets : public QObject {
    Q_OBJECT

public:
    // A child of `parent`; it lives as long as the windows it serves.
    ResultOutlets(NorvantaApplication& app, QObject* parent);

    // The report as the outlets would give it now.
    QString reportText() const;

    void onCopyButtonClicked();
    void onSaveResultItemTriggered();

private:
    NorvantaApplication& m_app;
    // The name the result-file dialog proposes: the last one chosen, as chosen.
    QString m_resultFileName;
};

} // namespace norvanta
