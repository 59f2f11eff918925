#include "compound_index_cache.h"

#include "common/text_file.h"

namespace norvanta {

std::shared_ptr<const CompoundIndex> CompoundIndexCache::load(const QString& path)
{
    QByteArray bytes = readFileBytes(path);
    if (!index_ || path != path_ || bytes != bytes_) {
        index_ = std::make_shared<const CompoundIndex>(CompoundIndex::parse(decodeShiftJis(bytes)));
        path_ = path;
        bytes_ = std::move(bytes);
    }
    return index_;
}

} // namespace norvanta
