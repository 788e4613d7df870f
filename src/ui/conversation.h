#pragma once

#include "extensionchange.h"

namespace morvane {

// The change as the window runs it: the operation, then its ending said in a box, and an
// undo asked for there carried out at once.
ChangeEnd changeAndReport(const ChangeRequest& request, FileSystem& fs, MessageBox& box,
                          Progress& progress = noProgress(), Journal* journal = nullptr);

// The last change undone, and how that ended said in a box.
ChangeEnd undoAndReport(FileSystem& fs, MessageBox& box, Progress& progress, Journal& journal);

} // namespace morvane
