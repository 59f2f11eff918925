#pragma once

#include <QObject>
#include <QPointer>

namespace norvanta {

class CompositionForm;
class NorvantaApplication;

// CompositionItem: computes the equilibrium composition of the main window's
// reactants in the composition window, made at the first use and kept, hidden
// when closed, for the next. While the window is open it follows the main
// window's reactants, ratios, pressure and step option; it redraws when the
// results window's number table toggles the temperature unit. The window
// opens centred on the main window the first time, and where it was last
// closed after that, in this run and the next.
class CompositionCommand : public QObject {
    Q_OBJECT

public:
    // A child of `parent`; it lives as long as the main window.
    CompositionCommand(NorvantaApplication& app, QObject* parent);

    void onCompositionItemTriggered();

    // The window, null before the first use.
    CompositionForm* form() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onMainInputChanged();
    void onPrintButtonClicked();
    void placeFirstTime();

    NorvantaApplication& m_app;
    QPointer<CompositionForm> m_form;
    bool m_placed = false;
};

} // namespace norvanta
