// norvanta-gen-database <thermo.inp> <Norvane.dat>: writes the shipped
// compound database from the NASA Glenn thermodynamic data. The output
// depends on nothing but the input, so running it again reproduces the file.
#include "database_text.h"
#include "nasa_thermo.h"

#include "common/failure.h"
#include "common/text_file.h"

#include <fstream>
#include <iostream>

namespace {

int generate(const char* inputPath, const char* outputPath) {
    std::ifstream input(inputPath, std::ios::binary);
    if (!input) {
        std::cerr << "norvanta-gen-database: cannot read " << inputPath << '\n';
        return 1;
    }
    const auto data = norvanta::gen::readNasaThermo(input);
    const QString text = norvanta::gen::compoundDatabaseText(data);
    if (norvanta::decodeShiftJis(norvanta::encodeShiftJis(text)) != text) {
        std::cerr << "norvanta-gen-database: text not representable in Shift_JIS\n";
        return 1;
    }
    norvanta::writeShiftJisFile(QString::fromLocal8Bit(outputPath), text);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: norvanta-gen-database <thermo.inp> <Norvane.dat>\n";
        return 2;
    }
    try {
        return generate(argv[1], argv[2]);
    } catch (const norvanta::Failure& failure) {
        std::cerr << "norvanta-gen-database: cannot write " << argv[2] << " (failure "
                  << failure.code() << ")\n";
    } catch (const std::exception& error) {
        std::cerr << "norvanta-gen-database: " << error.what() << '\n';
    }
    return 1;
}
