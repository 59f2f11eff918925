#include "placement_marker.h"

#include "common/failure.h"
#include "common/field_reader.h"
#include "common/text_file.h"

namespace norvanta {

namespace {

bool markerHoldsB(const QString& path)
{
    if (!FileExists(path))
        return false;
    FieldReader reader(readShiftJisFile(path));
    return !reader.atEnd() && reader.next().toUpper() == u"B";
}

} // namespace

QString placementMarkerFileName()
{
    return QStringLiteral("Norvane.env");
}

bool CheckPlacementMarker(const QString& path)
{
    try {
        if (markerHoldsB(path))
            return false;
    } catch (const Failure&) {
        // An unreadable marker counts as no marker.
    }
    writePlacementMarker(path, QStringLiteral("B"));
    return true;
}

bool writePlacementMarker(const QString& path, const QString& letter)
{
    try {
        writeShiftJisFile(path, letter + QStringLiteral("\r\n"));
        return true;
    } catch (const Failure&) {
        return false;
    }
}

} // namespace norvanta
