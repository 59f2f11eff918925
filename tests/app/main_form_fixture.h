#pragma once

#include "app/application.h"
#include "app/main_form.h"
#include "support/fake_platform.h"
#include "support/gui_helpers.h"

#include <QApplication>
#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <gtest/gtest.h>

#include <array>

namespace norvanta::testing {

// A shown, active main window on the scripted platform.
class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.showMainWindow();
        showActive(form);
    }

    // Enabled states of the step button pairs AddSR, AddMR, AddSP (both
    // buttons of a pair must agree).
    std::array<bool, 3> stepButtonsEnabled() const
    {
        std::array<bool, 3> result{};
        const std::array<const std::array<QPushButton*, 2>*, 3> pairs{&form.AddSR, &form.AddMR,
                                                                      &form.AddSP};
        for (int i = 0; i < 3; ++i) {
            const auto& pair = *pairs[i];
            EXPECT_EQ(pair[0]->isEnabled(), pair[1]->isEnabled())
                << pair[0]->objectName().toStdString();
            result[i] = pair[1]->isEnabled();
        }
        return result;
    }

    static QColor background(const QLineEdit* box) { return box->palette().color(QPalette::Base); }
    static QColor windowColour(const QLineEdit* box)
    {
        return QApplication::palette(box).color(QPalette::Base);
    }

    ReactionFields exampleFields() const
    {
        ReactionFields fields;
        fields.reactNum = {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("3"), {}};
        fields.react = {QStringLiteral("CO2"), QStringLiteral("CH4"), QStringLiteral("H2O"), {}};
        fields.molar = {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2"), {}};
        fields.productNum = {QStringLiteral("2"), QStringLiteral("2"), {}, QStringLiteral("4")};
        fields.product = {QStringLiteral("CO"), QStringLiteral("H2"), {}, QStringLiteral("CH3OH")};
        fields.restrict = 1;
        fields.pressure = QStringLiteral("2.5");
        return fields;
    }

    FakePlatform platform;
    NorvantaApplication app{platform};
    MainForm& form = app.mainForm();
    InputState& input = app.inputState();
    FileState& file = app.fileState();
    SettingsValues& settings = app.settings();
};

} // namespace norvanta::testing
