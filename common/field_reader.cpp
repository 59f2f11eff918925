#include "field_reader.h"

#include "failure.h"

namespace norvanta {

FieldReader::FieldReader(QString text) : text_(std::move(text)) {}

bool FieldReader::atLineEnd(qsizetype i) const
{
    return i < text_.size() && (text_[i] == u'\r' || text_[i] == u'\n');
}

// Consumes one comma or one line end at the current position, if there is one.
void FieldReader::consumeDelimiter()
{
    lineEnded_ = true;
    if (pos_ >= text_.size())
        return;
    if (text_[pos_] == u',') {
        ++pos_;
        lineEnded_ = false;
    } else if (text_[pos_] == u'\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == u'\n')
            ++pos_;
    } else if (text_[pos_] == u'\n') {
        ++pos_;
    }
}

QString FieldReader::next()
{
    if (atEnd())
        throw Failure(FailureCode::ReadPastEnd);

    const qsizetype n = text_.size();
    while (pos_ < n && (text_[pos_] == u' ' || text_[pos_] == u'\t'))
        ++pos_;

    if (pos_ < n && text_[pos_] == u'"') {
        const qsizetype start = ++pos_;
        while (pos_ < n && text_[pos_] != u'"' && !atLineEnd(pos_))
            ++pos_;
        QString value = text_.mid(start, pos_ - start);
        if (pos_ < n && text_[pos_] == u'"')
            ++pos_;
        while (pos_ < n && text_[pos_] != u',' && !atLineEnd(pos_))
            ++pos_;
        consumeDelimiter();
        return value;
    }

    const qsizetype start = pos_;
    while (pos_ < n && text_[pos_] != u',' && !atLineEnd(pos_))
        ++pos_;
    qsizetype end = pos_;
    while (end > start && (text_[end - 1] == u' ' || text_[end - 1] == u'\t'))
        --end;
    QString value = text_.mid(start, end - start);
    consumeDelimiter();
    return value;
}

} // namespace norvanta
