#include "app/display_check.h"

#include <QStringList>
#include <QtGlobal>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

bool displayAvailable(const std::function<QString(const char* name)>& environment)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // QT_QPA_PLATFORM may list fallbacks ("wayland;xcb"); any one that can be
    // reached will do.
    const QString platforms = environment("QT_QPA_PLATFORM");
    const bool x11 = !environment("DISPLAY").isEmpty();
    const bool wayland = !environment("WAYLAND_DISPLAY").isEmpty();
    if (platforms.isEmpty())
        return x11 || wayland;
    for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u':', 0, 0).trimmed();
        if (name == u"xcb"_s) {
            if (x11)
                return true;
        } else if (name.startsWith(u"wayland"_s)) {
            if (wayland)
                return true;
        } else {
            return true;
        }
    }
    return false;
#else
    Q_UNUSED(environment);
    return true;
#endif
}

bool displayAvailable()
{
    return displayAvailable([](const char* name) { return qEnvironmentVariable(name); });
}

} // namespace norvanta
