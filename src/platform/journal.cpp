#include "journal.h"
#include "apptitle.h"
#include "journal_folder.h"
#include "journal_records.h"
#include "posix.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

// The journal's writing: a change's records go on the disk before its files are touched.
namespace morvane {

using namespace journal;

namespace {

// An int64 on record: Begin's total, Replaced's index, the undo's counts.
constexpr qsizetype numberSize = 8;
// What a Renames record holds before its files: device, time, the common ending's length.
constexpr qsizetype renamesLead = 8 + 8 + 4;
// What it holds of each file besides the name: inode, bytes cut, the name's length.
constexpr qsizetype renamedLead = 8 + 1 + 2;
// A file goes in a Renames record when the bytes its target cuts fit their byte, and its
// name is no longer than a path can be; any other goes in an Intent of its own.
constexpr qsizetype mostCut = 255;
constexpr qsizetype longestName = 4096;

QString statePath() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QLatin1Char('/') + applicationTitle();
}

// A record of no payload or of one number.
QByteArray markRecord(Type type, std::optional<qint64> number = std::nullopt) {
    QByteArray record(frame + numberSize, Qt::Uninitialized);
    RecordWriter out(record.data());
    out.start(type);
    if (number) out.put(*number);
    out.end();
    record.truncate(out.at() - record.constData());
    return record;
}

bool syncFolder(const QString& folder) {
    const int dir =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = dir >= 0 && ::fsync(dir) == 0;
    const int err = errno;
    if (dir >= 0) ::close(dir);
    errno = err;
    return synced;
}

} // namespace

FileJournal::FileJournal() : FileJournal(statePath()) {}

FileJournal::FileJournal(const QString& folder) : folder_(folder) {}

FileJournal::~FileJournal() {
    release(); // an unfinished change, or undo, stays an interrupted one
}

void FileJournal::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    writing_ = false;
}

bool FileJournal::fail(int err) {
    problem_ = QCoreApplication::translate("Warnings", "the journal %1 cannot be written: %2")
                   .arg(folder_, systemErrorText(err));
    // Whatever this record holds so far must not be offered: this change goes on without a
    // record, and a later window learns so from its mark where the folder takes one.
    const bool made = fd_ >= 0;
    const QString marker = (made ? tie_.record : newName(changesOf(folder_))) + markerSuffix;
    bool marked = false;
    if (made)
        marked = ::ftruncate(fd_, 0) == 0 && ::rename(QFile::encodeName(tie_.record).constData(),
                                                      QFile::encodeName(marker).constData()) == 0;
    else {
        const int fd = ::open(QFile::encodeName(marker).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        marked = fd >= 0;
        if (fd >= 0) ::close(fd);
    }
    if (made && !marked && ::unlink(QFile::encodeName(tie_.record).constData()) != 0 &&
        ::ftruncate(fd_, 0) != 0)
        problem_ +=
            QCoreApplication::translate("Warnings", ", and what it holds so far cannot be removed");
    release();
    tie_ = {marked ? marker : QString(), true, false};
    return false;
}

bool FileJournal::running() {
    if (!writing_ && problem_.isEmpty())
        problem_ = QCoreApplication::translate("Warnings", "no change has begun");
    return writing_;
}

bool FileJournal::append(const QByteArray& bytes, qsizetype size, bool flush) {
    return (posix::writeAll(fd_, bytes.constData(), size) && (!flush || ::fdatasync(fd_) == 0)) ||
           fail(errno);
}

// Paths go on record whole: the next start that reads them may run in another folder.
static QString absolute(const QString& path) {
    if (path.startsWith(QLatin1Char('/'))) return path;
    return path.isEmpty() ? QDir::currentPath() + QLatin1Char('/')
                          : QDir::current().absoluteFilePath(path);
}

bool FileJournal::begin(const QString& folder, qint64 total) {
    release();
    problem_.clear();
    intended_ = 0;
    before_ = tie_;
    tie_ = {};
    runDir_ = QFile::encodeName(absolute(folder)); // as stored in Begin, below
    if (!makeFolder(folder_)) return fail(errno);
    prune(folder_);
    // Made under its final name and locked before anything is in it: killed here, it reads
    // as no change, and the next prune takes it.
    fd_ = createRecord(folder_, &tie_.record);
    if (fd_ < 0) return fail(errno);
    writing_ = true;
    const QString whole = absolute(folder);
    QByteArray start(header.size() + frame + numberSize + RecordWriter::pathSpace(whole),
                     Qt::Uninitialized);
    std::memcpy(start.data(), header.constData(), header.size());
    RecordWriter out(start.data() + header.size());
    out.start(Begin);
    out.put<qint64>(total);
    out.path(whole, {});
    if (!out.end()) return fail(ENAMETOOLONG);
    if (!posix::writeAll(fd_, start.constData(), out.at() - start.constData()) ||
        ::fsync(fd_) != 0 || !syncFolder(changesOf(folder_)))
        return fail(errno);
    return true;
}

bool FileJournal::intend(const QList<JournalRecord>& next, bool lastPart) {
    if (!running() || next.isEmpty()) return running();
    qsizetype space = 0;
    for (const JournalRecord& r : next)
        space += frame + 2 * idSize + RecordWriter::pathSpace(absolute(r.source)) +
                 RecordWriter::pathSpace(absolute(r.target));
    QByteArray batch(space, Qt::Uninitialized);
    RecordWriter out(batch.data());
    for (const JournalRecord& r : next) {
        out.start(Intent);
        out.put<quint8>(r.kind);
        out.id(r.id);
        out.path(absolute(r.source), runDir_);
        out.path(absolute(r.target), runDir_);
        out.id(r.before); // the target may have been there
        if (!out.end()) return fail(ENAMETOOLONG);
    }
    return appendIntents(batch, out.at() - batch.constData(), next.size(), lastPart);
}

// A rename of a folder run known by its listed inode goes on record in a few bytes: many of
// them share one Renames record, which holds what they have in common (device, the time,
// what the target puts after the part it keeps of the name) and, for each, the inode, how
// many bytes the target cuts off the name, and the name.
namespace {
struct Shape {
    quint64 device = 0;
    qint64 notSince = 0;
    QByteArrayView suffix;
    quint8 cut = 0;
    bool fits = false;
};
Shape shapeOf(const NameRecord& r) {
    Shape s;
    const auto* listed = std::get_if<ListedId>(&r.id);
    if (r.kind != JournalRecord::Rename || !listed) return s;
    const qsizetype n = qsizetype(std::strlen(r.source)), t = qsizetype(std::strlen(r.target));
    qsizetype kept = 0;
    while (kept < n && kept < t && r.source[kept] == r.target[kept])
        ++kept;
    s = {listed->device, listed->notModifiedSinceNs, QByteArrayView(r.target + kept, t - kept),
         quint8(n - kept), n - kept <= mostCut && n < longestName};
    return s;
}
} // namespace

bool FileJournal::intend(const std::vector<NameRecord>& next, bool lastPart) {
    if (!running() || next.empty()) return running();
    qsizetype space = 0;
    for (const NameRecord& r : next)
        space += 2 * frame + 3 * idSize + renamesLead +
                 2 * qsizetype(std::strlen(r.source) + std::strlen(r.target));
    if (batch_.size() < space) batch_.resize(space);
    RecordWriter out(batch_.data());
    Shape open; // of the Renames record being filled; fits == false: none
    for (const NameRecord& r : next) {
        const Shape s = shapeOf(r);
        const qsizetype n = qsizetype(std::strlen(r.source));
        if (open.fits &&
            (!s.fits || s.device != open.device || s.notSince != open.notSince ||
             s.suffix != open.suffix || out.written() + renamedLead + n > maxPayload)) {
            if (!out.end()) return fail(ENAMETOOLONG);
            open.fits = false;
        }
        if (s.fits) {
            if (!open.fits) {
                out.start(Renames);
                out.put(s.device);
                out.put(s.notSince);
                out.put(static_cast<quint32>(s.suffix.size()));
                out.bytes(s.suffix.data(), s.suffix.size());
                open = s;
            }
            out.put(std::get<ListedId>(r.id).inode);
            out.put(s.cut);
            out.put(static_cast<quint16>(n));
            out.bytes(r.source, n);
            continue;
        }
        out.start(Intent);
        out.put<quint8>(r.kind);
        out.id(r.id);
        out.name(r.source, n);
        out.name(r.target, qsizetype(std::strlen(r.target)));
        if (r.kind == JournalRecord::Copy) out.id(r.before);
        if (!out.end()) return fail(ENAMETOOLONG);
    }
    if (open.fits && !out.end()) return fail(ENAMETOOLONG);
    const bool done =
        appendIntents(batch_, out.at() - batch_.constData(), qsizetype(next.size()), lastPart);
    if (lastPart) batch_ = QByteArray(); // given back with the run
    return done;
}

bool FileJournal::appendIntents(const QByteArray& batch, qsizetype size, qsizetype count,
                                bool flush) {
    if (!append(batch, size, flush)) return false;
    intended_ += count;
    return true;
}

bool FileJournal::replacing(qint64 index, const Replacement& r) {
    if (!running()) return false;
    if (index < 0 || index >= intended_) return fail(EINVAL);
    QByteArray record(frame + numberSize + idSize + RecordWriter::pathSpace(r.aside) +
                          RecordWriter::pathSpace(r.trash),
                      Qt::Uninitialized);
    RecordWriter out(record.data());
    out.start(Replacing);
    out.put(index);
    out.id(r.asked);
    out.path(absolute(r.aside), runDir_);
    out.path(r.trash, runDir_);
    if (!out.end()) return fail(ENAMETOOLONG);
    return append(record, out.at() - record.constData());
}

bool FileJournal::made(qint64 index, const FileId& copy) {
    if (!running()) return false;
    if (index < 0 || index >= intended_) return fail(EINVAL);
    QByteArray record(frame + numberSize + idSize, Qt::Uninitialized);
    RecordWriter out(record.data());
    out.start(Made);
    out.put(index);
    out.id(copy);
    out.end();
    // Not flushed: lost with a power failure, the copy is only not known again.
    return append(record, out.at() - record.constData(), false);
}

bool FileJournal::replaced(qint64 index, const QString& trashed) {
    // The reader would refuse the whole journal for a file it never intended.
    if (!running()) return false;
    if (index < 0 || index >= intended_) return fail(EINVAL);
    QByteArray record(frame + numberSize + RecordWriter::pathSpace(trashed), Qt::Uninitialized);
    RecordWriter out(record.data());
    out.start(Replaced);
    out.put(index);
    out.path(trashed, runDir_);
    if (!out.end()) return fail(ENAMETOOLONG);
    return append(record, out.at() - record.constData());
}

void FileJournal::abandon(const Failure& why) {
    fail(why.number);
    problem_ = QCoreApplication::translate("Warnings", "the journal %1 is not kept: %2")
                   .arg(folder_, why.description);
}

bool FileJournal::finish() {
    if (!running()) return false;
    QByteArray record(frame, Qt::Uninitialized);
    RecordWriter out(record.data());
    out.start(Finished);
    out.end();
    // Not flushed: on a journalling file system a flush here commits, and waits for, the
    // write-back of everything the run wrote (a copy run's whole data). A power failure before
    // the system writes it back leaves the run reading as interrupted, which after such a
    // failure it may well be: its files are looked at one by one either way.
    if (!append(record, record.size(), false)) return false;
    release();
    return true;
}

void FileJournal::withdraw() {
    if (!tie_.record.isEmpty()) ::unlink(QFile::encodeName(tie_.record).constData());
    release();
    tie_ = before_;
}

void FileJournal::discard() {
    if (!tie_.record.isEmpty()) ::unlink(QFile::encodeName(tie_.record).constData());
    release();
    // Undone, or kept as it is: this window's Undo has nothing left to undo.
    tie_ = {{}, false, true};
}

// An undo's marks go on the loaded record, which this window holds; the first is flushed, so
// that an undo cut short is known at the next start, the others are not: they cost a write.
bool FileJournal::mark(const QByteArray& record, bool flush) {
    if (fd_ < 0 || writing_) return false;
    if (posix::writeAll(fd_, record.constData(), record.size()) &&
        (!flush || ::fdatasync(fd_) == 0))
        return true;
    const int err = errno;
    problem_ = QCoreApplication::translate("Warnings", "the undo cannot be recorded in %1: %2")
                   .arg(tie_.record, systemErrorText(err));
    return false;
}

bool FileJournal::undoBegin(qint64 files) {
    return mark(markRecord(UndoBegun, files), true);
}

void FileJournal::undone(qint64 index) {
    mark(markRecord(Undone, index), false);
}

void FileJournal::undoEnded() {
    mark(markRecord(UndoEnded), false);
    release();
}

} // namespace morvane
