// The reader of the shipped polynomial file, NorvaneThermo.dat.
#include "fuzz_input.h"

#include "database/polynomial_file.h"

#include "common/text_file.h"

using namespace norvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decodeShiftJis(fuzz::bytesOf(data, size));
    const PolynomialFileReading reading = PolynomialFile::parse(text);
    // Line ends do not matter: LF alone reads as CR LF does (a CR alone ends
    // a line too, so "\r\r\n" is two line ends and stays out of the comparison).
    if (!text.contains(QStringLiteral("\r\r"))) {
        QString withLf = text;
        withLf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const PolynomialFileReading lf = PolynomialFile::parse(withLf);
        fuzz::require(bool(reading.file) == bool(lf.file) && reading.errorLine == lf.errorLine);
    }
    if (!reading.file) {
        fuzz::require(reading.errorLine >= 0);
        return 0;
    }
    const PolynomialFile& file = *reading.file;
    for (std::size_t i = 0; i < file.species().size(); ++i) {
        const PolynomialSpecies& s = file.species()[i];
        fuzz::require(!s.names.isEmpty() && !s.intervals.empty() && !s.elements.empty());
        for (const QString& name : s.names)
            fuzz::require(file.find(name) == int(i));
        for (std::size_t k = 0; k < s.intervals.size(); ++k) {
            const PolynomialInterval& interval = s.intervals[k];
            fuzz::require(interval.low < interval.high);
            fuzz::require(k == 0 || s.intervals[k - 1].high == interval.low);
            // The lower interval holds a shared bound.
            fuzz::require(s.intervalAt(interval.high) == &interval);
        }
        fuzz::require(!s.intervalAt(s.maxKelvin() * 1.5 + 1));
        for (const ElementCount& e : s.elements) {
            const ElementReference* reference = file.reference(e.symbol);
            fuzz::require(reference && !reference->species.empty());
            for (const int r : reference->species) {
                const auto& elements = file.species()[std::size_t(r)].elements;
                fuzz::require(elements.size() == 1 && elements.front().symbol == e.symbol);
            }
        }
    }
    return 0;
}
