#pragma once

#include "fileid.h"

#include <QString>
#include <functional>

namespace morvane {

// A replacement as it is about to be made, noted before its first step so that it can be
// put back from any point: the replaced file is at the target, then aside (where the file
// that replaces it was), then in the Trash.
struct Replacement {
    FileId asked;  // the file replaced, as the user was asked about it
    QString aside; // the source's name for a rename; the copy's temporary name for a copy
    QString trash; // its place in the Trash; empty: the mount has none, so it goes for good
};

// Called with a replacement before its first step; it must not throw.
using NoteReplacement = std::function<void(const Replacement&)>;

} // namespace morvane
