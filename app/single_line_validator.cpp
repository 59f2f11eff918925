#include "app/single_line_validator.h"

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
    int keptPosition = position;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (!isRemoved(input[i]))
            kept += input[i];
        else if (i < position)
            --keptPosition;
    }
    if (kept.size() != input.size()) {
        input = kept;
        position = keptPosition;
    }
    return Acceptable;
}

} // namespace norvanta
