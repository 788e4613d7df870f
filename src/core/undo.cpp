#include "extensionchange.h"

#include <cerrno>

namespace morvane {
namespace {

enum class Undo { Restored, NotDone, Changed, Refused };

// The files that could not be put back that the closing text names; the rest are counted.
constexpr qsizetype refusalsNamed = 3;

// What the recorded change did to one copy, as far as can be seen now. A copy keeps the size
// and time of its original, in a file of its own. Copies are not forced to the disk one by
// one, so after a power failure one may hold less: the time, set to the nanosecond, still
// tells it is ours, cut short.
Undo copyState(const JournalRecord& r, const std::optional<FileId>& atTarget) {
    const FileId* source = std::get_if<FileId>(&r.id);
    const bool ours = source && atTarget && atTarget->size <= source->size &&
                      atTarget->mtimeNs == source->mtimeNs &&
                      !(atTarget->device == source->device && atTarget->inode == source->inode) &&
                      *atTarget != r.before;
    return ours ? Undo::Restored : r.trashed.isEmpty() ? Undo::NotDone : Undo::Changed;
}

// What the recorded change did to one file, as far as can be seen now.
Undo stateOf(const JournalRecord& r, FileSystem& fs) {
    const std::optional<FileId> atTarget = fs.identify(r.target);
    if (r.kind == JournalRecord::Copy) return copyState(r, atTarget);
    if (r.source == r.target) return Undo::NotDone;
    if (isSameFile(r.id, atTarget)) return Undo::Restored;
    return isSameFile(r.id, fs.identify(r.source)) ? Undo::NotDone : Undo::Changed;
}

// The file the change replaced comes back where it can. Emptied from the Trash meanwhile
// (ENOENT), or its name taken again (EEXIST), it is left, and said so; the file itself still
// counts as restored. 0: it came back, or there was none.
int untrashReplaced(const JournalRecord& r, FileSystem& fs) {
    if (r.trashed.isEmpty()) return 0;
    try {
        fs.untrash(r.trashed, r.target);
    } catch (const Failure& f) {
        if (f.number != ENOENT && f.number != EEXIST) throw;
        return f.number;
    }
    return 0;
}

// Puts one file back. Why it could not, or why the file it replaced did not come back with
// it, is left in `why`.
Undo undoOne(const JournalRecord& r, FileSystem& fs, Failure& why) {
    const Undo state = stateOf(r, fs);
    if (state != Undo::Restored) return state;
    try {
        if (r.kind == JournalRecord::Copy)
            fs.remove(r.target);
        else if (fs.sameEntry(r.target, r.source))
            fs.rename(r.target, r.source, fs.identify(r.target)); // a case-only change, back
        else
            fs.rename(r.target, r.source, std::nullopt); // never over a file that took the name
    } catch (const Failure& f) {
        if (f.number == EEXIST) return Undo::Changed;
        // This file stays as the change left it; the others still come back.
        why = f;
        return Undo::Refused;
    }
    why.number = untrashReplaced(r, fs);
    return Undo::Restored;
}

} // namespace

ChangeReport undoLastChange(FileSystem& fs, Progress& progress, Journal& journal) {
    ChangeReport report;
    report.of = ChangeReport::Of::Undo;
    const JournalState state = journal.load();
    if (state.notRecorded) { // never reach past it to the change before
        report.end = ChangeEnd::NotRecorded;
        return report;
    }
    if (!state.present) { // nothing to undo: nothing to say
        report.end = ChangeEnd::NothingChanged;
        return report;
    }
    try {
        const qsizetype total = state.records.size();
        journal.undoBegin(total); // cut short, it is offered to be finished at the next start
        for (qsizetype i = total - 1; i >= 0; --i) {
            if (progress.cancelled()) throw Cancelled{};
            const JournalRecord& r = state.records[i];
            progress.changing(total - i, total, r.target);
            Failure why;
            const Undo undone = undoOne(r, fs, why);
            report.count += undone == Undo::Restored;
            report.left += undone == Undo::Changed;
            if (undone == Undo::Refused && report.refused++ < refusalsNamed)
                report.refusals.append({nameOfPath(r.target), why});
            if (undone == Undo::Restored && why.number != 0 &&
                report.replacedNotBack++ < refusalsNamed)
                report.notBack.append({nameOfPath(r.target), why});
            journal.undone(i);
        }
    } catch (const Failure& f) {
        report.end = ChangeEnd::Failed;
        report.failure = f;
        return report;
    } catch (const Cancelled&) {
        report.end = ChangeEnd::Cancelled;
        return report;
    }
    // A file that could not go back can be tried again: its record stays.
    if (report.refused == 0)
        journal.discard();
    else
        journal.undoEnded();
    report.end = ChangeEnd::Undone;
    return report;
}

qint64 changedFiles(const JournalState& state, FileSystem& fs) {
    qint64 count = 0;
    for (const JournalRecord& r : state.records)
        count += stateOf(r, fs) == Undo::Restored;
    return count;
}

} // namespace morvane
