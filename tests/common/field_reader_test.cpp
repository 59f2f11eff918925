#include "common/failure.h"
#include "common/field_reader.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

QStringList readAll(const QString& text)
{
    FieldReader reader(text);
    QStringList items;
    while (!reader.atEnd())
        items << reader.next();
    return items;
}

} // namespace

TEST(FieldReader, SplitsItemsAsTheFilesAreWritten)
{
    const struct {
        const char16_t* text;
        QStringList items;
    } cases[] = {
        {u"a,b,c", {u"a"_s, u"b"_s, u"c"_s}},
        {u"a\r\nb\r\n", {u"a"_s, u"b"_s}},
        {u"a\nb\n", {u"a"_s, u"b"_s}},
        {u"a\rb", {u"a"_s, u"b"_s}},
        {u"a,b\r\nc,d\r\n", {u"a"_s, u"b"_s, u"c"_s, u"d"_s}},
        // Blanks before an item are skipped, after an unquoted item dropped.
        {u"  a  ,\t b \t\r\n", {u"a"_s, u"b"_s}},
        {u"R = 8.314 , x", {u"R = 8.314"_s, u"x"_s}},
        // Empty items between delimiters, and an empty line.
        {u"a,,b", {u"a"_s, QString(), u"b"_s}},
        {u"a\r\n\r\nb\r\n", {u"a"_s, QString(), u"b"_s}},
        // A quoted item runs to the next quote; commas and blanks inside belong to it.
        {u"\"a,b\",c", {u"a,b"_s, u"c"_s}},
        {u"\" a b \"\r\n", {u" a b "_s}},
        {u"  \"x\"", {u"x"_s}},
        {u"\"\"\r\n\"\"\r\n", {QString(), QString()}},
        // Text after the closing quote is skipped up to the delimiter.
        {u"\"abc\"xyz,d", {u"abc"_s, u"d"_s}},
        {u"\"abc\" \r\nd", {u"abc"_s, u"d"_s}},
        {u"\"a\"b\"c\",d", {u"a"_s, u"d"_s}},
        // A quote with no partner ends at the line end.
        {u"\"open\r\nnext", {u"open"_s, u"next"_s}},
        // A quote inside an unquoted item is an ordinary character.
        {u"ab\"c,d", {u"ab\"c"_s, u"d"_s}},
        {u"\"一酸化炭素\", 0, 1.5\r\n;*ｱﾙｶﾝ\r\n", {u"一酸化炭素"_s, u"0"_s, u"1.5"_s, u";*ｱﾙｶﾝ"_s}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readAll(QString::fromUtf16(c.text)), c.items)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(FieldReader, AtEndRightAfterTheLastLineEnd)
{
    for (const char16_t* text : {u"a,b\r\n", u"a,b\n", u"a,b", u"\"a\",\"b\"\r\n"}) {
        FieldReader reader(QString::fromUtf16(text));
        EXPECT_FALSE(reader.atEnd());
        reader.next();
        EXPECT_FALSE(reader.atEnd());
        reader.next();
        EXPECT_TRUE(reader.atEnd()) << QString::fromUtf16(text).toStdString();
    }
}

TEST(FieldReader, ReadingPastTheLastItemIsFailure62)
{
    for (const char16_t* text : {u"", u"only\r\n", u"\"a,b\"\r\n"}) {
        FieldReader reader(QString::fromUtf16(text));
        while (!reader.atEnd())
            reader.next();
        try {
            reader.next();
            ADD_FAILURE() << "no failure after " << QString::fromUtf16(text).toStdString();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), FailureCode::ReadPastEnd);
        }
    }
}
