#include "app/single_line_validator.h"

#include "common/input_text.h"

namespace norvanta {

namespace {

bool isRemoved(QChar character)
{
    switch (character.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

QValidator::State SingleLineValidator::validate(QString& input, int& position) const
{
    QString kept;
    kept.reserve(input.size());
    qsizetype keptPosition = -1;
    for (qsizetype i = 0; i < input.size();) {
        if (i == position)
            keptPosition = kept.size();
        if (!isRemoved(input[i])) {
            kept += input[i++];
            continue;
        }
        qsizetype end = i;
        while (end < input.size() && isRemoved(input[end]))
            ++end;
        // A line break between two words keeps them apart: "H2⏎O2" must not
        // become the other compound "H2O2".
        if (!kept.isEmpty() && end < input.size())
            kept += u' ';
        if (position > i && position <= end)
            keptPosition = kept.size();
        i = end;
    }
    if (keptPosition < 0)
        keptPosition = kept.size();
    kept = inputText(kept);
    if (kept != input) {
        input = kept;
        position = int(keptPosition);
    }
    return Acceptable;
}

} // namespace norvanta
