// The reader of the settings file Norvane.ini, and the file written back from
// what it read, as start-up and shutdown do. What the program writes must read
// back to what writes the same file again: a round trip through the file
// changes nothing.
#include "fuzz_input.h"

#include "files/settings_file.h"

#include "common/text_file.h"

using namespace norvanta;

namespace {

// The file shutdown writes after a start that read `text`.
QString writtenAfterReading(const QString& text, SettingsRead& read)
{
    read = parseSettings(text, defaultSettings(QStringLiteral("/start/")));
    ReactionFields fields;
    for (const FieldAssignment& assignment : read.assignments)
        applyAssignment(fields, assignment);
    return settingsFileText(read.values, fields, rememberedEdges(read.values));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decodeShiftJis(fuzz::bytesOf(data, size));
    SettingsRead first;
    const QString written = writtenAfterReading(text, first);
    SettingsRead second;
    fuzz::require(writtenAfterReading(written, second) == written);
    // The modes are written as the numbers they are.
    fuzz::require(second.values.PlotMode == first.values.PlotMode &&
                  second.values.TetraPrecision == first.values.TetraPrecision &&
                  second.values.DispHelp == first.values.DispHelp &&
                  second.values.ColorPrintMode == first.values.ColorPrintMode);
    return 0;
}
