// The reader of reaction files.
#include "fuzz_input.h"

#include "files/reaction_file.h"

#include "common/text_file.h"

using namespace norvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decodeShiftJis(fuzz::bytesOf(data, size));
    const ReactionFileContent content = parseReactionFile(text);
    if (content.status == ReactionFileStatus::Read) {
        // A file always selects one of the four limiting-compound options.
        fuzz::require(content.fields.restrict >= 0 && content.fields.restrict <= 3);
    }
    const int row = limitRowOf(text);
    fuzz::require(row >= 0 && row <= 3);
    return 0;
}
