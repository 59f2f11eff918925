#pragma once

namespace norvanta {

// Whether the reaction shown was edited since it was last opened, saved or
// cleared, and whether it has a file to be saved over.
struct FileState {
    bool dataModified = false;
    bool fileNameKnown = false;
};

} // namespace norvanta
