#include "extensionchange.h"
#include "changerecord.h"

#include <QCoreApplication>

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
    //: %1 is the character, quoted or as U+XXXX.
    return Failure{EINVAL, QCoreApplication::translate(
                               "Failures", "Invalid argument: a new extension cannot hold %1")
                               .arg(shown)};
}

namespace {

// Files put on record in one write; the whole run is on record, and flushed once, before
// the first file is touched. A flush between files would also force the renames so far to
// the disk, which costs far more than the records themselves.
constexpr qsizetype journalBatch = 1024;

// The plan: which files, and their targets, all known before any file is touched.
class Plan {
public:
    Plan(const ChangeRequest& r, QChar sep)
        : request(r), sep_(sep), oldExt_(QFile::encodeName(r.currentExt)),
          newExt_(QFile::encodeName(r.newExt)) {}

    // A folder run takes its list whole before any file is touched, so files made by this
    // run never come round again.
    void list(FileSystem& fs, Progress& progress) {
        if (request.allInFolder)
            files = fs.listExtension(folderOfPath(request.fileText, sep_), request.currentExt,
                                     progress);
    }
    qsizetype total() const { return files ? files->size() : 1; }
    QString folder() const { return folderOfPath(request.fileText, sep_); }
    QString pathOf(qsizetype i) const { return files ? files->path(i) : request.fileText; }
    QString targetPathOf(qsizetype i) const {
        return targetName(pathOf(i), request.currentExt, request.newExt, sep_);
    }
    // The same paths, to act on: a folder run's lead through the folder it opened.
    QString actingPath(const QString& path) const {
        return files ? files->openPath() + path.mid(files->folder().size()) : path;
    }
    // A path or text of the acting paths, as the user knows the folder.
    QString shown(QString text) const {
        return files ? text.replace(files->openPath(), files->folder()) : text;
    }
    // The bare target name of file i of a folder run, in a buffer used again for every file.
    const char* targetOf(qsizetype i) {
        const qsizetype size = files->nameSize(i);
        const char* name = files->name(i);
        target_.assign(name, size_t(keptLength(name, size, oldExt_.size(), '/')));
        if (!newExt_.isEmpty())
            target_.append(1, '.').append(newExt_.constData(), size_t(newExt_.size()));
        return target_.c_str();
    }
    // For a folder copy, whether file i's target was taken when the run went on record.
    std::optional<bool> takenOnRecord(qsizetype i) const {
        if (size_t(i) >= targetTaken.size()) return std::nullopt;
        return bool(targetTaken[size_t(i)]);
    }

    const ChangeRequest& request;
    std::unique_ptr<FolderFiles> files; // a folder run's; none for a single file
    std::vector<bool> targetTaken;

private:
    QChar sep_;
    QByteArray oldExt_, newExt_;
    std::string target_;
};

// One folder run's batch of files from `from` to `end`, as they go on record.
std::vector<NameRecord> folderIntents(Plan& plan, FileSystem& fs, qsizetype from, qsizetype end,
                                      std::string& targets) {
    const bool copy = plan.request.leaveCopy;
    std::vector<qsizetype> at;
    at.reserve(size_t(end - from));
    targets.clear();
    for (qsizetype i = from; i < end; ++i) {
        at.push_back(qsizetype(targets.size()));
        const char* to = plan.targetOf(i);
        targets.append(to, std::strlen(to) + 1);
    }
    std::vector<NameRecord> next;
    next.reserve(size_t(end - from));
    for (qsizetype i = from; i < end; ++i) {
        const char* to = targets.c_str() + at[size_t(i - from)];
        NameRecord one{
            copy ? JournalRecord::Copy : JournalRecord::Rename, plan.files->name(i), to, {}, {}};
        // A rename keeps its file whole, so the listed inode is enough to know it again: no
        // status call a file. A copy is known again by the size and time of what it holds.
        const std::optional<ListedId> listed = copy ? std::nullopt : plan.files->listedId(i);
        if (listed) {
            one.id = *listed;
        } else if (const auto id = fs.identifyIn(*plan.files, plan.files->name(i),
                                                 copy ? Links::Followed : Links::Own)) {
            one.id = *id;
        } else {
            return {}; // a file that cannot be known again cannot be undone
        }
        if (copy) {
            // A file already at the target, and left there, is never taken for the copy.
            const std::optional<FileId> before = fs.identifyIn(*plan.files, to);
            one.before = before.value_or(FileId{});
            plan.targetTaken.push_back(before.has_value());
        }
        next.push_back(one);
    }
    return next;
}

// Why a change goes on without its record when a file of it cannot be known again; made
// when needed, in the language chosen at start.
Failure unknown() {
    return {EIO, QCoreApplication::translate("Failures", "a file's status cannot be read")};
}

// The whole plan on record, and on the disk before the first file is touched.
void putOnRecord(Plan& plan, FileSystem& fs, ChangeRecord& record, Progress& progress) {
    const ChangeRequest& r = plan.request;
    const qsizetype total = plan.total();
    record.begin(plan.folder(), total);
    if (!record.on()) return;
    if (!plan.files) {
        const QString target = plan.targetPathOf(0);
        // A copy is known again by what it holds: a link's copy holds what the link leads to.
        const std::optional<FileId> id =
            fs.identify(r.fileText, r.leaveCopy ? Links::Followed : Links::Own);
        if (!id) return record.abandon(unknown());
        JournalRecord one{r.leaveCopy ? JournalRecord::Copy : JournalRecord::Rename,
                          r.fileText,
                          target,
                          *id,
                          {},
                          {}};
        // A file already at a copy's target, and left there, is never taken for the copy.
        one.before = fs.identify(target).value_or(FileId{});
        record.intend({one});
        return;
    }
    std::string targets;
    for (qsizetype from = 0; record.on() && from < total; from += journalBatch) {
        if (progress.cancelled()) throw Cancelled{};
        const qsizetype end = std::min(total, from + journalBatch);
        const std::vector<NameRecord> next = folderIntents(plan, fs, from, end, targets);
        if (qsizetype(next.size()) < end - from)
            record.abandon(unknown());
        else
            record.intend(next, end == total);
    }
}

bool sameInode(const std::optional<FileId>& a, const FileId& b) {
    return a && a->device == b.device && a->inode == b.inode;
}

// The act: every file of the plan, the quick way where it can, else the careful way.
class Act {
public:
    Act(Plan& plan, FileSystem& fs, MessageBox& box, Progress& progress, ChangeRecord& record)
        : plan_(plan), r_(plan.request), fs_(fs), box_(box), progress_(progress), record_(record) {}

    // False when the user declined the single file's question: the run stops, silently.
    bool run() {
        const qsizetype total = plan_.total();
        for (qsizetype i = 0; i < total; ++i) {
            if (progress_.cancelled()) throw Cancelled{};
            progress_.changing(i + 1, total, progress_.wantsPath() ? plan_.pathOf(i) : QString());
            if (quickly(i)) {
                ++touched;
                renamed += countsRenames_;
            } else if (!carefully(i)) {
                return false;
            }
        }
        return true;
    }

    qint64 touched = 0; // files renamed or copied
    qint64 renamed = 0; // files a folder run renamed, as its closing text counts them

private:
    // The quick way: a rename, or a folder run's copy, to a free name. A taken name, or
    // anything else the system refuses, goes the careful way, which asks and reports.
    bool quickly(qsizetype i) {
        if (r_.leaveCopy) return plan_.files && copiedQuickly(i);
        if (plan_.files) {
            const char* to = plan_.targetOf(i);
            return std::strcmp(to, plan_.files->name(i)) != 0 &&
                   fs_.renameIn(*plan_.files, i, to) == 0;
        }
        const QString to = plan_.targetPathOf(0);
        if (to == r_.fileText) return false;
        try {
            fs_.rename(r_.fileText, to, std::nullopt);
            return true;
        } catch (const Failure&) {
            return false;
        }
    }

    bool copiedQuickly(qsizetype i) {
        const char* to = plan_.targetOf(i);
        const std::optional<bool> onRecord = plan_.takenOnRecord(i);
        const bool taken = onRecord ? *onRecord : fs_.identifyIn(*plan_.files, to).has_value();
        if (taken || fs_.copyIn(*plan_.files, i, to, progress_) != 0) return false;
        if (!timesKept_)
            noteCopy(i, plan_.actingPath(plan_.pathOf(i)), plan_.actingPath(plan_.targetPathOf(i)));
        return true;
    }

    // A copy that could not keep its original's time (some FUSE mounts refuse it) goes on
    // record as it was made, so that an undo still knows it for Morvane's. A folder that
    // kept one copy's time keeps them all: a run looks only until then.
    void noteCopy(qsizetype i, const QString& source, const QString& target) {
        if (!record_.on() || timesKept_) return;
        const std::optional<FileId> original = fs_.identify(source, Links::Followed);
        const std::optional<FileId> copy = fs_.identify(target);
        if (!original || !copy) return;
        timesKept_ = copy->mtimeNs == original->mtimeNs;
        if (!timesKept_) record_.made(i, *copy);
    }

    // The careful way: the existence test, the question where the target is taken, and a
    // replacement of exactly the file asked about. False when the user declined the single
    // file's question; a folder run skips a declined file and goes on.
    bool carefully(qsizetype i) {
        try {
            return carefullyIn(i);
        } catch (const Failure& f) {
            throw Failure{f.number, plan_.shown(f.description)};
        }
    }

    bool carefullyIn(qsizetype i) {
        const QString source = plan_.actingPath(plan_.pathOf(i));
        const QString target = plan_.actingPath(plan_.targetPathOf(i));
        const std::optional<FileId> existing = fs_.probe(target);
        const NoteReplacement note = [this, i](Replacement r) {
            r.aside = plan_.shown(r.aside);
            record_.replacing(i, r);
        };
        // A second link to the file is the user's own name for it: on record before the
        // question, so that no undo takes it for a name the change made.
        if (existing && !r_.leaveCopy && sameInode(fs_.identify(source), *existing))
            note({*existing, source, {}});
        if (existing && !box_.askOverwrite(plan_.targetPathOf(i))) return r_.allInFolder;
        const std::optional<QString> trashed = changeOne(source, target, existing, note);
        renamed += countsRenames_;
        touched += trashed.has_value();
        if (trashed && r_.leaveCopy) noteCopy(i, source, target);
        if (trashed && !trashed->isEmpty()) record_.replaced(i, *trashed);
        return true;
    }

    // Where the replaced file went (empty: none replaced), or nothing when there was nothing
    // to do: a copy onto its own directory entry (txt to txt, or a case-only change
    // on a case-insensitive mount) would destroy the file. A link to the source is another
    // entry: it becomes a real copy.
    std::optional<QString> changeOne(const QString& source, const QString& target,
                                     const std::optional<FileId>& existing,
                                     const NoteReplacement& note) {
        if (r_.leaveCopy) {
            if (fs_.sameEntry(source, target)) return std::nullopt;
            return fs_.copy(source, target, existing, progress_, note);
        }
        if (source == target) return std::nullopt;
        return fs_.rename(source, target, existing, note);
    }

    Plan& plan_;
    const ChangeRequest& r_;
    const bool countsRenames_ = r_.allInFolder && !r_.leaveCopy; // what the closing text counts
    FileSystem& fs_;
    MessageBox& box_;
    Progress& progress_;
    ChangeRecord& record_;
    bool timesKept_ = false;
};

// The report: how the change ended, and whether it can be undone.
ChangeReport report(ChangeEnd end, const Act& act, ChangeRecord& record) {
    ChangeReport done;
    done.end = end;
    done.count = act.renamed;
    done.undoable = record.finish(act.touched > 0);
    return done;
}

} // namespace

ChangeReport changeExtension(const ChangeRequest& r, FileSystem& fs, MessageBox& box,
                             Progress& progress, Journal* journal, QChar sep) {
    Plan plan(r, sep);
    ChangeRecord record(journal);
    Act act(plan, fs, box, progress, record);
    try {
        plan.list(fs, progress);
        putOnRecord(plan, fs, record, progress);
        if (!act.run()) return report(ChangeEnd::Declined, act, record);
    } catch (const Failure& f) {
        ChangeReport failed = report(ChangeEnd::Failed, act, record);
        failed.failure = f;
        return failed;
    } catch (const Cancelled&) {
        return report(ChangeEnd::Cancelled, act, record);
    }
    // A folder copy renames nothing, but its copies can still be undone.
    const bool none = r.allInFolder && act.renamed == 0;
    return report(none ? ChangeEnd::NothingChanged : ChangeEnd::Completed, act, record);
}

} // namespace morvane
