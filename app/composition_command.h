#pragma once

#include <QObject>
#include <QPointer>

namespace norvanta {

class CompositionForm;
class NorvantaApplication;

// CompositionItem: computes the equilibrium composition of the main window's
// reactants in the composition window, made at the first use and kept, hidden
// when closed, for the next. The window also redraws when the results
// window's number table toggles the temperature unit.
class CompositionCommand : public QObject {
    Q_OBJECT

public:
    // A child of `parent`; it lives as long as the main window.
    CompositionCommand(NorvantaApplication& app, QObject* parent);

    void onCompositionItemTriggered();

    // The window, null before the first use.
    CompositionForm* form() const;

private:
    NorvantaApplication& m_app;
    QPointer<CompositionForm> m_form;
};

} // namespace norvanta
