#include "record_writer.h"

#include "common/number_text.h"

namespace norvanta {

QString compoundRecordLine(const QString& name, const std::array<double, 3>& atoms,
                           const std::array<double, 8>& gibbs)
{
    QString line = u'"' + name + u'"';
    for (double count : atoms)
        line += u',' + blankSignedNumberText(count);
    for (double g : gibbs)
        line += u',' + blankSignedNumberText(g);
    return line + QStringLiteral("\r\n");
}

} // namespace norvanta
