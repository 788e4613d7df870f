#include "conversation.h"

namespace morvane {

ChangeEnd changeAndReport(const ChangeRequest& request, FileSystem& fs, MessageBox& box,
                          Progress& progress, Journal* journal) {
    const ChangeReport report = changeExtension(request, fs, box, progress, journal);
    // Only a change on record is undone: the record there otherwise is the one before it.
    const bool undo = box.reportEnding(report);
    if (undo && report.undoable && journal) return undoAndReport(fs, box, progress, *journal);
    return report.end;
}

ChangeEnd undoAndReport(FileSystem& fs, MessageBox& box, Progress& progress, Journal& journal) {
    const ChangeReport report = undoLastChange(fs, progress, journal);
    box.reportEnding(report);
    return report.end;
}

} // namespace morvane
