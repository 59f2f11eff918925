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
    qsizetype items = 0;
    while (!reader.atEnd()) {
        const QString item = reader.next();
        // Every item takes at least one character, so the reader always ends.
        fuzz::require(++items <= text.size());
        const std::optional<double> number = leadingNumber(item);
        fuzz::require(leadingValue(item) == number.value_or(0.0));
        if (number && std::isfinite(*number))
            fuzz::require(finiteLeadingValue(item) == *number);
        generalNumberText(leadingValue(item));
    }
    try {
        reader.next();
        fuzz::require(false);
    } catch (const Failure& failure) {
        fuzz::require(failure.code() == FailureCode::ReadPastEnd);
    }
    return 0;
}
