#pragma once

#include <QObject>
#include <QPointer>

namespace norvanta {

class NorvantaApplication;
class RegistrationForm;

// RegisterItem: opens the registration window, closing the compound list
// panel first. The window is made at the first opening and kept while it is
// left by its ExitButton; closing it by its frame discards it.
class RegistrationCommand : public QObject {
    Q_OBJECT

public:
    // A child of `parent`; it lives as long as the main window.
    RegistrationCommand(NorvantaApplication& app, QObject* parent);

    void onRegisterItemTriggered();

    // The window while it exists, shown or hidden; null before the first
    // opening and after closing by the frame.
    RegistrationForm* form() const;

private:
    void onFormDiscarded();

    NorvantaApplication& m_app;
    QPointer<RegistrationForm> m_form;
};

} // namespace norvanta
