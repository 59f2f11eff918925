// norvanta-calc: the calculation of reaction files from the command line,
// with the report the results window copies. `norvanta-calc --help` tells the options.
#include "calc_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <exception>

// The installed program is built apart from the build tree's, so that where
// it looks for its own files is fixed when it is built, not guessed from
// whatever folders lie beside it.
#if defined(NORVANTA_CALC_INSTALLED)
constexpr auto layout = norvanta::calc::ProgramLayout::Installed;
#else
constexpr auto layout = norvanta::calc::ProgramLayout::BuildTree;
#endif

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return norvanta::calc::ExitStatus::CalculationFailed;
    try {
        return norvanta::calc::runCalc(QCoreApplication::arguments().mid(1), QDir::currentPath(),
                                       out, err, layout);
    } catch (const std::exception& error) {
        err.write("norvanta-calc: ");
        err.write(error.what());
        err.write("\n");
        return norvanta::calc::ExitStatus::CalculationFailed;
    }
}
