// A whole norvanta-calc run on a fuzzed reaction file and Norvane.dat. The
// input is one byte of options, then the reaction file, a NUL byte, and the
// data file.
#include "fuzz_input.h"

#include "tools/norvanta_calc/calc_command.h"

#include <QBuffer>
#include <QCoreApplication>

#include <dlfcn.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

// Every run loads and unloads Norvane.dll. Held open here, the library stays
// mapped, so libFuzzer's coverage counters inside it stay valid between runs.
// The application object norvanta-calc has, made once: the file lookup asks
// it for the program's folder.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::require(dlopen(NORVANTA_FUZZ_SOLVER_PATH, RTLD_NOW) != nullptr);
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    const QByteArray files = fuzz::bytesOf(data + 1, size - 1);
    const qsizetype split = files.indexOf('\0');
    const QString reaction = fuzz::scratchFile(u"reaction.txt"_s, files.left(split));
    const QString database =
        fuzz::scratchFile(u"Norvane.dat"_s, split < 0 ? QByteArray() : files.mid(split + 1));

    const bool table = options & 1;
    QStringList arguments{u"--data"_s,      database,
                          u"--library"_s,   QStringLiteral(NORVANTA_FUZZ_SOLVER_PATH),
                          u"--constants"_s, fuzz::scratchFolder().filePath(u"none.txt"_s),
                          u"--timestamp"_s, u"12-07-2026 09:00:00"_s,
                          u"--step"_s,      options & 2 ? u"100"_s : u"25"_s,
                          u"--energy"_s,    options & 4 ? u"kJ"_s : u"kcal"_s,
                          u"--temperature"_s, options & 8 ? u"K"_s : u"C"_s};
    if (table)
        arguments << u"--table"_s;
    arguments << reaction;

    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int status = calc::runCalc(arguments, fuzz::scratchFolder().path(), out, err);
    if (status != calc::ExitStatus::Success) {
        fuzz::require(!err.data().isEmpty());
    } else if (table) {
        // The table of a calculated reaction holds numbers only, never an
        // infinity or NaN (the report would also show the names as typed).
        const QByteArray text = out.data();
        fuzz::require(!text.contains("Infinity") && !text.contains("NaN"));
    }
    return 0;
}
