#include "app/japanese_ui.h"

#include "results/fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

void installJapaneseUi(QApplication& application)
{
    installFontSubstitutions();
    application.setFont(QFont(kUiGothicFont, 9));
    auto* translator = new QTranslator(&application);
    if (translator->load(u"qtbase_ja"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(translator);
    else
        delete translator;
}

} // namespace norvanta
