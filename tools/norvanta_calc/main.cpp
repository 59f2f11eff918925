// norvanta-calc: the calculation of reaction files from the command line,
// with the report the results window copies. `norvanta-calc --help` tells the options.
#include "calc_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <exception>

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
                                       out, err);
    } catch (const std::exception& error) {
        err.write("norvanta-calc: ");
        err.write(error.what());
        err.write("\n");
        return norvanta::calc::ExitStatus::CalculationFailed;
    }
}
