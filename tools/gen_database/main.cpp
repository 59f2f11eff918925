// norvanta-gen-database <thermo.inp> <Norvane.dat> [<NorvaneThermo.dat>]:
// writes the shipped compound database, and the polynomial file when named,
// from the NASA Glenn thermodynamic data. The output depends on nothing but
// the input, so running it again reproduces the files.
#include "database_text.h"
#include "nasa_thermo.h"
#include "thermo_text.h"

#include "common/failure.h"
#include "common/text_file.h"

#include <fstream>
#include <iostream>

namespace {

bool representable(const QString& text)
{
    if (norvanta::decodeShiftJis(norvanta::encodeShiftJis(text)) == text)
        return true;
    std::cerr << "norvanta-gen-database: text not representable in Shift_JIS\n";
    return false;
}

int generate(const char* inputPath, const char* outputPath, const char* polynomialPath)
{
    std::ifstream input(inputPath, std::ios::binary);
    if (!input) {
        std::cerr << "norvanta-gen-database: cannot read " << inputPath << '\n';
        return 1;
    }
    const auto data = norvanta::gen::readNasaThermo(input);
    const QString text = norvanta::gen::compoundDatabaseText(data);
    const QString polynomials =
        polynomialPath ? norvanta::gen::polynomialFileText(data) : QString();
    if (!representable(text) || !representable(polynomials))
        return 1;
    norvanta::writeShiftJisFile(QString::fromLocal8Bit(outputPath), text);
    if (polynomialPath)
        norvanta::writeShiftJisFile(QString::fromLocal8Bit(polynomialPath), polynomials);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::cerr
            << "usage: norvanta-gen-database <thermo.inp> <Norvane.dat> [<NorvaneThermo.dat>]\n";
        return 2;
    }
    try {
        return generate(argv[1], argv[2], argc == 4 ? argv[3] : nullptr);
    } catch (const norvanta::Failure& failure) {
        std::cerr << "norvanta-gen-database: cannot write the output (failure " << failure.code()
                  << ")\n";
    } catch (const std::exception& error) {
        std::cerr << "norvanta-gen-database: " << error.what() << '\n';
    }
    return 1;
}
