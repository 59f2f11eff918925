#include "input_text.h"

namespace norvanta {

namespace {

char16_t inputCharacter(char16_t c)
{
    if (c >= u'\uFF01' && c <= u'\uFF5E')
        return char16_t(c - (u'\uFF01' - u'!'));
    if (c == u'\u3000')
        return u' ';
    if (c >= u'\u2080' && c <= u'\u2089')
        return char16_t(u'0' + (c - u'\u2080'));
    if (c == u'\u2070' || (c >= u'\u2074' && c <= u'\u2079'))
        return char16_t(u'0' + (c - u'\u2070'));
    switch (c) {
    case u'\u00B9':
        return u'1';
    case u'\u00B2':
        return u'2';
    case u'\u00B3':
        return u'3';
    default:
        return c;
    }
}

} // namespace

QString inputText(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(inputCharacter(text[i].unicode()));
    return result;
}

ReactionFields inputFields(ReactionFields fields)
{
    for (auto* column :
         {&fields.reactNum, &fields.react, &fields.molar, &fields.productNum, &fields.product}) {
        for (QString& text : *column)
            text = inputText(text);
    }
    fields.pressure = inputText(fields.pressure);
    return fields;
}

} // namespace norvanta
