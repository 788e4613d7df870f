#include "extensionchange.h"

#include <cerrno>
#include <cstring>

namespace morvane {

std::optional<Failure> checkNewExtension(const QString& newExt, QChar sep) {
    const QChar c = forbiddenExtensionChar(newExt, sep);
    if (c.isNull()) return std::nullopt;
    const QString shown =
        c.category() == QChar::Other_Control
            ? QStringLiteral("U+") +
                  QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'))
            : QStringLiteral("\"%1\"").arg(c);
    return Failure{22, QStringLiteral("Invalid argument: a new extension cannot hold ") + shown};
}

namespace {

// Files put on record in one write; the whole run is on record, and flushed once, before
// the first file is touched. A flush between files would also force the renames so far to
// the disk, which costs far more than the records themselves.
constexpr qsizetype journalBatch = 1024;

enum class Pass { Done, Skipped, StopRun };

struct Outcome {
    Pass pass = Pass::Done;
    bool touched = false; // a file was renamed or copied
    QString trashed;      // where the file it replaced went
};

// "N file extensions changed." for a count of renames, nothing for none.
QString countText(qint64 changed) {
    return changed == 0 ? QString()
                        : QString::number(changed) + QStringLiteral(" file extensions changed.");
}

Outcome changeOne(const QString& source, const ChangeRequest& r, FileSystem& fs, MessageBox& box,
                  Progress& progress, QChar sep) {
    const QString target = targetName(source, r.currentExt, r.newExt, sep);
    const std::optional<FileId> existing = fs.probe(target);
    if (existing) {
        const int answer = box.show(QStringLiteral("The destination file '") + target +
                                        QStringLiteral("' already exisits, overwrite?"),
                                    MessageBox::YesNoWarning);
        if (answer != MessageBox::Yes)
            return {r.allInFolder ? Pass::Skipped : Pass::StopRun, false, {}};
    }
    if (r.leaveCopy) {
        // A copy onto its own directory entry (txt to txt, or a case-only change on a
        // case-insensitive mount) would destroy the file; there is nothing to copy. A link
        // to the source is another entry: it becomes a real copy.
        if (fs.sameEntry(source, target)) return {Pass::Done, false, {}};
        return {Pass::Done, true, fs.copy(source, target, existing, progress)};
    }
    if (source == target) return {Pass::Done, false, {}};
    return {Pass::Done, true, fs.rename(source, target, existing)};
}

// The records of the next batch of sources, from index `from` on.
QList<JournalRecord> intents(const QStringList& sources, qsizetype from, const ChangeRequest& r,
                             FileSystem& fs, QChar sep) {
    QList<JournalRecord> next;
    const qsizetype end = std::min(sources.size(), from + journalBatch);
    next.reserve(end - from);
    for (qsizetype i = from; i < end; ++i) {
        JournalRecord record{r.leaveCopy ? JournalRecord::Copy : JournalRecord::Rename,
                             sources[i],
                             targetName(sources[i], r.currentExt, r.newExt, sep),
                             fs.identify(sources[i]).value_or(FileId{}),
                             {},
                             {}};
        // A file already at a copy's target, and left there, is never taken for the copy.
        if (r.leaveCopy) record.before = fs.identify(record.target).value_or(FileId{});
        next.append(record);
    }
    return next;
}

enum class Undo { Restored, NotDone, Changed };

// What the recorded change did to one file, as far as can be seen now.
Undo stateOf(const JournalRecord& r, FileSystem& fs) {
    const std::optional<FileId> atTarget = fs.identify(r.target);
    if (r.kind == JournalRecord::Copy) {
        // A copy keeps the size and time of its original, in a file of its own. Copies are
        // not forced to the disk one by one, so after a power failure one may hold less:
        // the time, set to the nanosecond, still tells it is ours, cut short.
        const bool ours = atTarget && atTarget->size <= r.id.size &&
                          atTarget->mtimeNs == r.id.mtimeNs &&
                          !(atTarget->device == r.id.device && atTarget->inode == r.id.inode) &&
                          *atTarget != r.before;
        return ours ? Undo::Restored : r.trashed.isEmpty() ? Undo::NotDone : Undo::Changed;
    }
    if (r.source == r.target) return Undo::NotDone;
    if (r.id.isSameFile(atTarget)) return Undo::Restored;
    return r.id.isSameFile(fs.identify(r.source)) ? Undo::NotDone : Undo::Changed;
}

Undo undoOne(const JournalRecord& r, FileSystem& fs) {
    const Undo state = stateOf(r, fs);
    if (state != Undo::Restored) return state;
    try {
        if (r.kind == JournalRecord::Copy)
            fs.remove(r.target);
        else if (fs.sameEntry(r.target, r.source))
            fs.rename(r.target, r.source, r.id); // a case-only change, back
        else
            fs.rename(r.target, r.source, std::nullopt); // never over a file that took the name
    } catch (const Failure& f) {
        if (f.number != EEXIST) throw;
        return Undo::Changed;
    }
    // The replaced file comes back where it can; emptied from the Trash meanwhile, or its
    // name taken again, it is left and the file itself still counts as restored.
    if (!r.trashed.isEmpty()) {
        try {
            fs.untrash(r.trashed, r.target);
        } catch (const Failure& f) {
            if (f.number != ENOENT && f.number != EEXIST) throw;
        }
    }
    return Undo::Restored;
}

} // namespace

ChangeEnd changeExtension(const ChangeRequest& r, FileSystem& fs, MessageBox& box,
                          Progress& progress, Journal* journal, QChar sep) {
    qint64 changed = 0, touched = 0;
    Journal* record = journal; // none once it fails: the change goes on, without undo
    bool begun = false;        // the previous change is forgotten only once this one began
    // The last word of the run; a change that touched files on record can be undone from it.
    const auto ending = [&](const QString& text, int style, const QString& caption, ChangeEnd end) {
        if (!begun) record = nullptr; // ended before it began: nothing of it is on record
        if (record && !record->finish()) record = nullptr;
        if (begun && touched == 0) journal->discard(); // nothing to undo
        const bool undoable = record && touched > 0;
        const int answer = box.show(text, undoable ? style | MessageBox::WithUndo : style, caption);
        if (undoable && answer == MessageBox::Undo)
            return undoLastChange(fs, box, progress, *journal);
        return end;
    };
    try {
        // A folder run takes its list whole before any file is touched, so files made by
        // this run never come round again.
        std::unique_ptr<FolderFiles> files;
        if (r.allInFolder)
            files = fs.listExtension(folderOfPath(r.fileText, sep), r.currentExt, progress);
        const qsizetype total = files ? files->size() : 1;
        const QByteArray oldExt = QFile::encodeName(r.currentExt);
        const QByteArray newExt = QFile::encodeName(r.newExt);
        // The bare target name of file i, in a buffer used again for every file.
        std::string target;
        const auto targetOf = [&](qsizetype i) {
            const qsizetype size = files->nameSize(i);
            const char* name = files->name(i);
            const bool dot = oldExt.isEmpty() ? name[size - 1] == '.' : true;
            target.assign(name, size_t(size - oldExt.size() - (dot ? 1 : 0)));
            if (!newExt.isEmpty())
                target.append(1, '.').append(newExt.constData(), size_t(newExt.size()));
            return target.c_str();
        };

        const auto pathOf = [&](qsizetype i) { return files ? files->path(i) : r.fileText; };
        const auto renamedQuickly = [&](qsizetype i) {
            if (files) {
                const char* to = targetOf(i);
                return std::strcmp(to, files->name(i)) != 0 && fs.renameIn(*files, i, to) == 0;
            }
            const QString to = targetName(r.fileText, r.currentExt, r.newExt, sep);
            if (to == r.fileText) return false;
            try {
                fs.rename(r.fileText, to, std::nullopt);
                return true;
            } catch (const Failure&) {
                return false;
            }
        };

        // For a copy run, whether each target name was taken when the run went on record.
        std::vector<bool> targetTaken;
        const auto copiedQuickly = [&](qsizetype i) {
            const char* to = targetOf(i);
            const bool taken = size_t(i) < targetTaken.size()
                                   ? bool(targetTaken[size_t(i)])
                                   : fs.identifyIn(*files, to).has_value();
            return !taken && fs.copyIn(*files, i, to, progress) == 0;
        };

        begun = journal != nullptr;
        if (record && !record->begin(folderOfPath(r.fileText, sep), total)) record = nullptr;
        if (record && !files) {
            if (!record->intend(intents({r.fileText}, 0, r, fs, sep))) record = nullptr;
        }
        // The whole run on record, in batches, and on the disk before the first file is touched.
        std::vector<NameRecord> next;
        std::string targets;
        for (qsizetype from = 0; record && files && from < total; from += journalBatch) {
            if (progress.cancelled()) throw Cancelled{};
            const qsizetype end = std::min(total, from + journalBatch);
            targets.clear();
            std::vector<qsizetype> at;
            for (qsizetype i = from; i < end; ++i) {
                at.push_back(targets.size());
                targetOf(i);
                targets.append(target.c_str(), target.size() + 1);
            }
            next.clear();
            for (qsizetype i = from; i < end; ++i) {
                const char* to = targets.c_str() + at[size_t(i - from)];
                NameRecord one{JournalRecord::Rename, files->name(i), to, {}, {}};
                // A rename keeps its file whole, so the listed inode is enough to know it
                // again: no status call a file. A copy is known again by size and time.
                std::optional<FileId> id = r.leaveCopy ? std::nullopt : files->listedId(i);
                if (!id) id = fs.identifyIn(*files, files->name(i));
                one.id = id.value_or(FileId{});
                if (r.leaveCopy) {
                    one.kind = JournalRecord::Copy;
                    // A file already at the target, and left there, is never taken for the copy.
                    const std::optional<FileId> before = fs.identifyIn(*files, to);
                    one.before = before.value_or(FileId{});
                    targetTaken.push_back(before.has_value());
                }
                next.push_back(one);
            }
            if (!record->intend(next, end == total)) record = nullptr;
        }
        next = {};
        targets = {};

        for (qsizetype i = 0; i < total; ++i) {
            if (progress.cancelled()) throw Cancelled{};
            progress.changing(i + 1, total, progress.wantsPath() ? pathOf(i) : QString());
            // The quick way first: a rename, or a folder run's copy, to a free name. A taken
            // name, or anything else the system refuses a rename, goes the careful way, which
            // asks and reports as always.
            if (r.leaveCopy ? files && copiedQuickly(i) : renamedQuickly(i)) {
                ++touched;
                changed += r.allInFolder && !r.leaveCopy;
                continue;
            }
            const Outcome done = changeOne(pathOf(i), r, fs, box, progress, sep);
            if (done.pass == Pass::StopRun) {
                if (record) record->finish();
                if (begun && touched == 0) journal->discard();
                return ChangeEnd::Declined;
            }
            if (record && !done.trashed.isEmpty() && !record->replaced(i, done.trashed))
                record = nullptr;
            touched += done.touched;
            if (done.pass == Pass::Done && r.allInFolder && !r.leaveCopy) ++changed;
        }

        // A folder copy renames nothing, but its copies can still be undone.
        if (r.allInFolder && changed == 0)
            return ending(QStringLiteral("No file extensions changed."), MessageBox::OkOnly, {},
                          ChangeEnd::NothingChanged);
        return ending(QStringLiteral("Conversion complete. ") + countText(changed),
                      MessageBox::OkOnly, {}, ChangeEnd::Completed);
    } catch (const Failure& f) {
        return ending(errorText(f), MessageBox::OkError, QStringLiteral("Error"),
                      ChangeEnd::Failed);
    } catch (const Cancelled&) {
        return ending(QStringLiteral("Conversion cancelled. ") + countText(changed),
                      MessageBox::OkOnly, {}, ChangeEnd::Cancelled);
    }
}

ChangeEnd undoLastChange(FileSystem& fs, MessageBox& box, Progress& progress, Journal& journal) {
    const JournalState state = journal.load();
    if (!state.present) return ChangeEnd::NothingChanged; // nothing to undo: nothing to say
    qint64 restored = 0, left = 0;
    try {
        const qsizetype total = state.records.size();
        for (qsizetype i = total - 1; i >= 0; --i) {
            if (progress.cancelled()) throw Cancelled{};
            const JournalRecord& r = state.records[i];
            progress.changing(total - i, total, r.target);
            const Undo undone = undoOne(r, fs);
            restored += undone == Undo::Restored;
            left += undone == Undo::Changed;
        }
    } catch (const Failure& f) {
        box.show(errorText(f), MessageBox::OkError, QStringLiteral("Error"));
        return ChangeEnd::Failed;
    } catch (const Cancelled&) {
        box.show(QStringLiteral("Undo cancelled. %1 files restored.").arg(restored),
                 MessageBox::OkOnly);
        return ChangeEnd::Cancelled;
    }
    journal.discard();
    QString text = QStringLiteral("Undo complete. %1 files restored").arg(restored);
    if (left != 0)
        text += QStringLiteral("; %1 left as they are because they changed since").arg(left);
    box.show(text + QLatin1Char('.'), MessageBox::OkOnly);
    return ChangeEnd::Undone;
}

qint64 changedFiles(const JournalState& state, FileSystem& fs) {
    qint64 count = 0;
    for (const JournalRecord& r : state.records)
        count += stateOf(r, fs) == Undo::Restored;
    return count;
}

} // namespace morvane
