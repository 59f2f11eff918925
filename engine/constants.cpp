#include "constants.h"

#include "common/failure.h"
#include "common/field_reader.h"
#include "common/number_text.h"
#include "common/text_file.h"

#include <cmath>
#include <optional>

namespace norvanta {

namespace {

const QString kR = QStringLiteral("R");
const QString kCalToJ = QStringLiteral("CALTOJ");

// The value text's leading number when it can serve as R or CALTOJ: above
// zero, and small enough that 1000 / value is still a number.
bool usable(double value)
{
    return value > 0 && std::isfinite(value) && std::isfinite(1000 / value);
}

} // namespace

LoadedConstants loadConstants(const QString& path)
{
    LoadedConstants loaded;
    PhysicalConstants& constants = loaded.constants;
    if (FileExists(path)) {
        // The last occurrence of a key decides, so only the last value text counts.
        std::optional<QString> rText;
        std::optional<QString> calToJText;
        try {
            FieldReader reader(readShiftJisFile(path));
            while (!reader.atEnd()) {
                const QString item = reader.next();
                const qsizetype equals = item.indexOf(u'=');
                if (equals < 0)
                    continue;
                const QString key = item.left(equals).toUpper().trimmed();
                const QString value = item.mid(equals + 1).trimmed();
                if (key == kR)
                    rText = value;
                else if (key == kCalToJ)
                    calToJText = value;
            }
        } catch (const Failure&) {
            // A file that cannot be read leaves the defaults.
        }
        if (rText) {
            const double r = leadingValue(*rText);
            if (usable(r))
                constants.r = r;
            else
                loaded.ignoredKeys << kR;
        }
        if (calToJText) {
            const double calToJ = leadingValue(*calToJText);
            if (usable(calToJ))
                constants.calToJ = calToJ;
            else
                loaded.ignoredKeys << kCalToJ;
        }
    }
    constants.kpFactor = 1000 / constants.r;
    return loaded;
}

QString invalidConstantMessage(const QString& key)
{
    return QStringLiteral("constants.txtの") + key +
           QStringLiteral("の値が正しくありません。既定値を使用します。");
}

} // namespace norvanta
