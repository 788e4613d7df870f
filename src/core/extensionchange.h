#pragma once

#include "pathrules.h"
#include "ports.h"

namespace morvane {

struct ChangeRequest {
    QString fileText;   // the file box
    QString currentExt; // the extension box, used for every file of a folder run
    QString newExt;     // already without its leading dot
    bool allInFolder = false;
    bool leaveCopy = false;
};

enum class ChangeEnd {
    Completed,      // "Conversion complete. ": the window re-examines its path
    NothingChanged, // "No file extensions changed."
    Declined,       // No to the single file's overwrite prompt: nothing more is shown
    Failed,         // the error box was shown
    Cancelled,      // "Conversion cancelled. ": stopped between two files or inside a copy
};

// Refuses a new extension that would move the file into another folder or garble its
// name; the failure reads like the system's own "Invalid argument".
std::optional<Failure> checkNewExtension(const QString& newExt, QChar sep = nativeSeparator());

// Renames (or copies) one file, or every matching file of its folder, to the new extension,
// asking before any existing file is replaced, and reports the outcome in a message box.
// Tells progress how far it has got, and stops at the next safe point once it is cancelled.
ChangeEnd changeExtension(const ChangeRequest& request, FileSystem& fs, MessageBox& box,
                          Progress& progress = noProgress(), QChar sep = nativeSeparator());

} // namespace morvane
