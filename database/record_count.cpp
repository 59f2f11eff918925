#include "record_count.h"

#include "common/text_file.h"
#include "physical_lines.h"

namespace norvanta {

int countRecordLines(const QString& text)
{
    int count = 0;
    for (const QString& line : physicalLines(text)) {
        if (!line.startsWith(u';'))
            ++count;
    }
    return count;
}

int countRecordLinesInFile(const QString& path)
{
    return countRecordLines(readShiftJisFile(path));
}

} // namespace norvanta
