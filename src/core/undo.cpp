#include "extensionchange.h"
#include "replacementundo.h"

#include <cerrno>

namespace morvane {
namespace {

// The files that could not be put back that the closing text names; the rest are counted.
constexpr qsizetype refusalsNamed = 3;

// What the recorded change did to one copy, as far as can be seen now. Copies are not forced
// to the disk one by one, so after a power failure one may hold less: the time, set to the
// nanosecond, still tells it is ours, cut short.
Undo copyState(const JournalRecord& r, const std::optional<FileId>& atTarget) {
    if (isOurCopy(r, atTarget)) return Undo::Restored;
    // Not ours: not made yet, or made and changed since (edited, or replaced by another).
    const bool made = atTarget && *atTarget != r.before;
    return made || !r.trashed.isEmpty() ? Undo::Changed : Undo::NotDone;
}

// Whether the file, under both its old and its new name, got the new one from the change: a
// move cut short between its new link and the old one's end. A link moves the file's
// status-change time past the listing's time; a second name the user had is older, and for
// a file named alone the record knows the target that was there before.
bool linkMadeByChange(const JournalRecord& r, const FileId& atTarget) {
    if (const auto* listed = std::get_if<ListedId>(&r.id))
        return atTarget.ctimeNs >= listed->notModifiedSinceNs;
    return !(r.before.device == atTarget.device && r.before.inode == atTarget.inode);
}

// What the recorded change did to one file, as far as can be seen now. A noted replacement
// was begun once the replaced file left the target.
Undo stateOf(const JournalRecord& r, FileSystem& fs) {
    if (r.replacing) {
        const ReplacedAt at = replacedFileAt(r, fs);
        if (at == ReplacedAt::Target) return linkGone(r, fs) ? Undo::Restored : Undo::NotDone;
        if (at != ReplacedAt::Nowhere) return Undo::Restored;
    }
    const std::optional<FileId> atTarget = fs.identify(r.target);
    if (r.kind == JournalRecord::Copy) return copyState(r, atTarget);
    if (r.source == r.target) return Undo::NotDone;
    const bool atSource = isSameFile(r.id, fs.identify(r.source));
    if (!isSameFile(r.id, atTarget)) return atSource ? Undo::NotDone : Undo::Changed;
    if (!atSource || fs.sameEntry(r.target, r.source)) return Undo::Restored;
    return linkMadeByChange(r, *atTarget) ? Undo::Restored : Undo::NotDone;
}

// The file the change replaced comes back where it can. Emptied from the Trash meanwhile
// (ENOENT), or its name taken again (EEXIST), it is left, and said so; the file itself still
// counts as restored. 0: it came back, or there was none.
int untrashReplaced(const JournalRecord& r, FileSystem& fs) {
    // Killed before the Trash was noted, its place was noted all the same.
    const QString trashed = r.trashed.isEmpty() && r.replacing ? r.replacing->trash : r.trashed;
    if (trashed.isEmpty()) return 0;
    try {
        fs.untrash(trashed, r.target);
    } catch (const Failure& f) {
        if (f.number != ENOENT && f.number != EEXIST) throw;
        return f.number;
    }
    return 0;
}

// Puts one file back. Why it could not, or why the file it replaced did not come back with
// it, is left in `why`.
Undo undoOne(const JournalRecord& r, FileSystem& fs, Failure& why) {
    const ReplacedAt at = r.replacing ? replacedFileAt(r, fs) : ReplacedAt::Nowhere;
    const Undo state = at == ReplacedAt::Nowhere ? stateOf(r, fs) : Undo::Restored;
    if (state != Undo::Restored) return state;
    try {
        if (at != ReplacedAt::Nowhere) return undoReplacement(r, at, fs);
        if (r.kind == JournalRecord::Copy)
            fs.remove(r.target);
        else if (fs.sameEntry(r.target, r.source))
            fs.rename(r.target, r.source, fs.identify(r.target)); // a case-only change, back
        else if (isSameFile(r.id, fs.identify(r.source)))
            fs.remove(r.target); // a move cut short between its new link and the old one's end
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
    // Moved or removed, the folder's files are not where the record says: nothing is taken
    // for changed, and the record stays for when the folder is back.
    if (!state.folder.isEmpty() && !fs.identify(state.folder)) {
        report.end = ChangeEnd::FolderGone;
        report.folder = state.folder;
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

void forgetChange(const JournalState& state, FileSystem& fs, Journal& journal) {
    for (const JournalRecord& r : state.records) {
        if (!r.replacing || replacedFileAt(r, fs) != ReplacedAt::Target) continue;
        try {
            undoReplacement(r, ReplacedAt::Target, fs);
        } catch (const Failure&) { // left where it is: nothing of the user's is lost by it
        }
    }
    journal.discard();
}

qint64 changedFiles(const JournalState& state, FileSystem& fs) {
    qint64 count = 0;
    for (const JournalRecord& r : state.records)
        count += stateOf(r, fs) == Undo::Restored;
    return count;
}

} // namespace morvane
