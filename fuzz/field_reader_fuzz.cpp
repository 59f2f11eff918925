// The field reader behind every text file of the program, and the reading of
// numbers from its items.
#include "fuzz_input.h"

#include "common/failure.h"
#include "common/field_reader.h"
#include "common/number_text.h"
#include "common/text_file.h"

#include <cmath>

using namespace norvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decodeShiftJis(fuzz::bytesOf(data, size));
    FieldReader reader(text);
    QStringList items;
    while (!reader.atEnd()) {
        const QString item = reader.next();
        items.append(item);
        // A number read from a field, written as the files write numbers (15
        // digits), reads back as the same 15 digits.
        if (const std::optional<double> number = leadingNumber(item);
            number && std::isfinite(*number)) {
            const QString written = generalNumberText(*number);
            fuzz::require(generalNumberText(leadingValue(written)) == written);
            fuzz::require(finiteLeadingValue(item) == *number);
        }
    }
    // The items written back as quoted lines, as the files write them, read
    // back as the same items, where a quoted line can hold them.
    QString quoted;
    bool writable = true;
    for (const QString& item : items) {
        writable =
            writable && !item.contains(u'"') && !item.contains(u'\r') && !item.contains(u'\n');
        quoted += u'"' + item + QStringLiteral("\"\r\n");
    }
    if (writable) {
        FieldReader again(quoted);
        QStringList reread;
        while (!again.atEnd())
            reread.append(again.next());
        fuzz::require(reread == items);
    }
    try {
        reader.next();
        fuzz::require(false);
    } catch (const Failure& failure) {
        fuzz::require(failure.code() == FailureCode::ReadPastEnd);
    }
    return 0;
}
