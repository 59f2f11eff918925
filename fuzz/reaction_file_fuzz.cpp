// The reader of reaction files, and the round trip of what it read through
// the file the program writes.
#include "fuzz_input.h"

#include "files/reaction_file.h"

#include "common/text_file.h"

#include <QDateTime>

using namespace norvanta;

namespace {

// Texts the writer can store as they are: Shift_JIS holds them, and no double
// quote ends their quoted line early. Only those can come back unchanged.
bool writable(const ReactionFields& fields)
{
    QStringList texts{fields.pressure};
    for (const auto* row : {&fields.reactNum, &fields.react, &fields.molar, &fields.productNum,
                            &fields.product}) {
        for (const QString& text : *row)
            texts.append(text);
    }
    for (const QString& text : texts) {
        if (text.contains(u'"') || !canStoreInShiftJis(text))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decodeShiftJis(fuzz::bytesOf(data, size));
    const ReactionFileContent content = parseReactionFile(text);
    if (content.status == ReactionFileStatus::Read) {
        if (writable(content.fields)) {
            const QDateTime savedAt(QDate(2026, 12, 8), QTime(9, 0, 0));
            const ReactionFileContent reread =
                parseReactionFile(reactionFileText(content.fields, savedAt));
            fuzz::require(reread.status == ReactionFileStatus::Read &&
                          reread.fields == content.fields);
        }
    }
    return 0;
}
