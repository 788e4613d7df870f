#include "journal.h"
#include "apptitle.h"
#include "journal_records.h"
#include "posix.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The journal's writing: a change's records go on the disk before its files are touched.
namespace morvane {

using namespace journal;

namespace {

// The journal and its folder are the user's alone, as the base directory rules ask.
constexpr mode_t privateFolder = 0700;
constexpr mode_t privateFile = 0600;

// An int64 on record: Begin's total, Replaced's index.
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
    return base + QLatin1Char('/') + applicationTitle() + QStringLiteral("/last-change");
}

// mkdir -p, private to the user as the base directory rules ask.
bool makeFolder(const QByteArray& dir) {
    if (::mkdir(dir.constData(), privateFolder) == 0 || errno == EEXIST) return true;
    const qsizetype slash = dir.lastIndexOf('/');
    return errno == ENOENT && slash > 0 && makeFolder(dir.left(slash)) &&
           (::mkdir(dir.constData(), privateFolder) == 0 || errno == EEXIST);
}

} // namespace

FileJournal::FileJournal() : FileJournal(statePath()) {}

FileJournal::FileJournal(const QString& path) : path_(path) {}

FileJournal::~FileJournal() {
    if (fd_ >= 0) ::close(fd_); // an unfinished change stays an interrupted one
}

QByteArray FileJournal::temporaryName() const {
    return posix::temporaryName(path_, QLatin1StringView("."), QStringLiteral(".new"));
}

bool FileJournal::fail(int err) {
    problem_ = QCoreApplication::translate("Warnings", "the journal %1 cannot be written: %2")
                   .arg(path_, systemErrorText(err));
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(temporaryName().constData());
    // Whatever is at the name now, the previous change or part of this one, must not be
    // offered: this change goes on without a journal.
    const QByteArray name = QFile::encodeName(path_);
    if (::unlink(name.constData()) != 0 && errno != ENOENT && ::truncate(name.constData(), 0) != 0)
        problem_ +=
            QCoreApplication::translate("Warnings", ", and what it holds so far cannot be removed");
    return false;
}

bool FileJournal::running() {
    if (fd_ < 0 && problem_.isEmpty())
        problem_ = QCoreApplication::translate("Warnings", "no change has begun");
    return fd_ >= 0;
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
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    problem_.clear();
    intended_ = 0;
    folder_ = QFile::encodeName(absolute(folder)); // as stored in Begin, below
    const QFileInfo where(path_);
    if (!makeFolder(QFile::encodeName(where.absolutePath()))) return fail(errno);

    // Written beside the previous journal and renamed over it once on the disk, so that the
    // previous change stays the last one until this one has safely started.
    const QByteArray temporary = temporaryName();
    fd_ = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC,
                 privateFile);
    if (fd_ < 0) return fail(errno);
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
        ::fsync(fd_) != 0 ||
        ::rename(temporary.constData(), QFile::encodeName(path_).constData()) != 0)
        return fail(errno);
    const int dir = ::open(QFile::encodeName(where.absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = dir >= 0 && ::fsync(dir) == 0;
    const int err = errno;
    if (dir >= 0) ::close(dir);
    return synced || fail(err);
}

bool FileJournal::intend(const QList<JournalRecord>& next, bool lastPart) {
    if (!running() || next.isEmpty()) return running();
    qsizetype space = 0;
    for (const JournalRecord& r : next)
        space += frame + idSize + (r.kind == JournalRecord::Copy ? idSize : 0) +
                 RecordWriter::pathSpace(absolute(r.source)) +
                 RecordWriter::pathSpace(absolute(r.target));
    QByteArray batch(space, Qt::Uninitialized);
    RecordWriter out(batch.data());
    for (const JournalRecord& r : next) {
        out.start(Intent);
        out.put<quint8>(r.kind);
        out.id(r.id);
        out.path(absolute(r.source), folder_);
        out.path(absolute(r.target), folder_);
        if (r.kind == JournalRecord::Copy) out.id(r.before); // the target may have been there
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

bool FileJournal::replaced(qint64 index, const QString& trashed) {
    // The reader would refuse the whole journal for a file it never intended.
    if (!running()) return false;
    if (index < 0 || index >= intended_) return fail(EINVAL);
    QByteArray record(frame + numberSize + RecordWriter::pathSpace(trashed), Qt::Uninitialized);
    RecordWriter out(record.data());
    out.start(Replaced);
    out.put(index);
    out.path(trashed, folder_);
    if (!out.end()) return fail(ENAMETOOLONG);
    return append(record, out.at() - record.constData());
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
    ::close(fd_);
    fd_ = -1;
    return true;
}

void FileJournal::discard() {
    const QFileInfo info(path_);
    QDir dir = info.dir();
    const QStringList leftovers = dir.entryList({info.fileName() + QStringLiteral(".*.new")},
                                                QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : leftovers)
        dir.remove(name);
    QFile::remove(path_);
}

} // namespace morvane
