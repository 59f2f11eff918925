#pragma once

#include "compound_index.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace norvanta {

// Norvane.dat parsed once for as long as it stays the same. Every load reads
// the file again and parses it only when its bytes differ from the last
// reading, so a calculation always sees the file as it is now (a compound
// registered in between included) without paying for the parse each time.
class CompoundIndexCache {
public:
    // The index of the file as it is now. Throws the failures of
    // CompoundIndex::load; a failed reading leaves the previous one cached.
    std::shared_ptr<const CompoundIndex> load(const QString& path);

private:
    QString path_;
    QByteArray bytes_;
    std::shared_ptr<const CompoundIndex> index_;
};

} // namespace norvanta
