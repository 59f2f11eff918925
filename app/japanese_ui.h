#pragma once

class QApplication;

namespace norvanta {

// Makes the application speak Japanese: the font substitutions for the
// system's font names, the window font, and Qt's own Japanese texts for its
// dialogs when they are installed.
void installJapaneseUi(QApplication& application);

} // namespace norvanta
