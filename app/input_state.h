#pragma once

#include <array>

namespace norvanta {

// The step buttons' columns: AddSR steps ReactNum, AddMR steps Molar, AddSP steps ProductNum.
enum StepColumn { ReactNumColumn = 0, MolarColumn = 1, ProductNumColumn = 2 };

// What the main window remembers about the user's editing of the reaction
// input fields. Lives in the application object as long as the program.
struct InputState {
    // -1 none; 0..3 the React box of that row; 4..7 the Product box of row - 4.
    // The compound list panel writes a double-clicked name into this box.
    int activeCompoundField = -1;
    // Per step column, the box of that column that last received the focus.
    std::array<int, 3> stepTargets{0, 0, 0};
    // False while a calculation runs; the help line is left alone meanwhile.
    bool calculationIdle = true;
    // Main window width in twips with the compound list panel closed, and the
    // width the panel adds.
    int baseWidth = 6045;
    int listPanelWidth = 2550;
};

} // namespace norvanta
