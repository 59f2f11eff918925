// The reader of the settings file Norvane.ini, and the file written back from
// what it read, as start-up does.
#include "fuzz_input.h"

#include "files/settings_file.h"

#include "common/text_file.h"

using namespace norvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decodeShiftJis(fuzz::bytesOf(data, size));
    const SettingsRead read = parseSettings(text, defaultSettings(QStringLiteral("/start/")));
    ReactionFields fields;
    for (const FieldAssignment& assignment : read.assignments)
        applyAssignment(fields, assignment);
    const QString written =
        settingsFileText(read.values, fields, rememberedEdges(read.values));
    fuzz::require(!written.isEmpty());
    return 0;
}
