#include "journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {
namespace {

enum Type : quint8 { Begin = 1, Intent = 2, Replaced = 3, Finished = 4, Renames = 5 };

const QByteArray header = QByteArrayLiteral("MORVANE-JOURNAL\n\x01");
constexpr qsizetype magicSize = 16;
constexpr qsizetype frame = 1 + 4 + 4; // type, length, checksum
constexpr qsizetype idSize = 1 + 8 * 4;
// Far above two paths of PATH_MAX: a length beyond it is damage, never a record.
constexpr quint32 maxPayload = 64 * 1024;

// CRC-32 (the one of zip and PNG), eight bytes a step: a run of 100,000 files puts
// megabytes on record.
constexpr std::array<std::array<quint32, 256>, 8> crcTables = [] {
    std::array<std::array<quint32, 256>, 8> t{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
        for (quint32 i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}();

quint32 crc32(const char* p, qsizetype n) {
    const auto& t = crcTables;
    quint32 c = 0xFFFFFFFFu;
    for (; n >= 8; p += 8, n -= 8) {
        const quint32 lo = c ^ qFromLittleEndian<quint32>(p);
        const quint32 hi = qFromLittleEndian<quint32>(p + 4);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    for (; n > 0; ++p, --n)
        c = t[0][(c ^ static_cast<quint8>(*p)) & 0xFF] ^ (c >> 8);
    return ~c;
}

// Records written at a cursor into a buffer already sized for the worst case, so that a
// batch of thousands costs one allocation. Paths are encoded as QFile::encodeName does.
class RecordWriter {
public:
    explicit RecordWriter(char* at) : p_(at) {}
    static qsizetype pathSpace(const QString& path) { return 1 + 4 + 3 * path.size(); }

    void start(Type type) {
        start_ = p_;
        *p_++ = static_cast<char>(type);
        p_ += 4;
    }
    template <class T> void put(T value) {
        qToLittleEndian(value, p_);
        p_ += sizeof value;
    }
    void path(const QString& path, const QByteArray& folder) {
        char* flag = p_;
        char* bytes = p_ + 5;
        char* end = encoder_.appendToBuffer(bytes, path);
        const bool inside = !folder.isEmpty() && end - bytes >= folder.size() &&
                            std::memcmp(bytes, folder.constData(), folder.size()) == 0;
        if (inside) {
            std::memmove(bytes, bytes + folder.size(), end - bytes - folder.size());
            end -= folder.size();
        }
        *flag = inside ? 1 : 0;
        qToLittleEndian(static_cast<quint32>(end - bytes), flag + 1);
        p_ = end;
    }
    // A bare name in the Begin folder, as the system spells it.
    void name(const char* name, qsizetype size) {
        *p_++ = 1;
        put(static_cast<quint32>(size));
        std::memcpy(p_, name, size_t(size));
        p_ += size;
    }
    void bytes(const char* p, qsizetype n) {
        std::memcpy(p_, p, size_t(n));
        p_ += n;
    }
    qsizetype written() const { return p_ - start_ - 5; } // of the record begun last
    template <class Id> void id(const Id& id) {
        put(id.device);
        put(id.inode);
        put(id.size);
        put(id.mtimeNs);
    }
    // False when the record is too long to be read back.
    bool end() {
        const qsizetype payload = p_ - start_ - 5;
        qToLittleEndian(static_cast<quint32>(payload), start_ + 1);
        put(crc32(start_, p_ - start_));
        return payload <= maxPayload;
    }
    char* at() const { return p_; }

private:
    char* p_;
    char* start_ = nullptr;
    QStringEncoder encoder_{QStringEncoder::System, QStringEncoder::Flag::Stateless};
};

// A cursor over one record's payload; any read past its end spoils it.
class RecordReader {
public:
    RecordReader(const char* p, quint32 n) : p_(p), end_(p + n) {}
    template <class T> T get() {
        if (end_ - p_ < qsizetype(sizeof(T))) return ok_ = false, T{};
        const T value = qFromLittleEndian<T>(p_);
        p_ += sizeof value;
        return value;
    }
    // A NUL spoils it: the system would take it as the end of another name.
    QString path(const QByteArray& folder) {
        const quint8 inside = get<quint8>();
        const quint32 n = get<quint32>();
        if (!ok_ || inside > 1 || quint32(end_ - p_) < n || std::memchr(p_, 0, n))
            return ok_ = false, QString();
        scratch_.truncate(0);
        if (inside) scratch_.append(folder.constData(), folder.size());
        scratch_.append(p_, n);
        p_ += n;
        return QFile::decodeName(scratch_);
    }
    // n raw bytes, or nothing once spoilt; a NUL spoils them too.
    const char* bytes(quint32 n) {
        if (!ok_ || quint32(end_ - p_) < n || std::memchr(p_, 0, n)) return ok_ = false, nullptr;
        const char* at = p_;
        p_ += n;
        return at;
    }
    bool atEnd() const { return !ok_ || p_ == end_; }
    bool whole() const { return ok_ && p_ == end_; }

private:
    const char* p_;
    const char* end_;
    bool ok_ = true;
    QByteArray scratch_;
};

QString statePath() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QLatin1Char('/') + applicationTitle() + QStringLiteral("/last-change");
}

// mkdir -p, private to the user as the base directory rules ask.
bool makeFolder(const QByteArray& dir) {
    if (::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST) return true;
    const qsizetype slash = dir.lastIndexOf('/');
    return errno == ENOENT && slash > 0 && makeFolder(dir.left(slash)) &&
           (::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST);
}

bool writeAll(int fd, const char* p, qsizetype n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) return false;
        p += done;
        n -= done;
    }
    return true;
}

} // namespace

FileJournal::FileJournal() : FileJournal(statePath()) {}

FileJournal::FileJournal(const QString& path) : path_(path) {}

FileJournal::~FileJournal() {
    if (fd_ >= 0) ::close(fd_); // an unfinished change stays an interrupted one
}

QByteArray FileJournal::temporaryName() const {
    return QFile::encodeName(path_ + QStringLiteral(".%1.new").arg(::getpid()));
}

bool FileJournal::fail(int err) {
    problem_ = QStringLiteral("the journal %1 cannot be written: %2")
                   .arg(path_, QString::fromLocal8Bit(std::strerror(err)));
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(temporaryName().constData());
    // Whatever is at the name now, the previous change or part of this one, must not be
    // offered: this change goes on without a journal.
    const QByteArray name = QFile::encodeName(path_);
    if (::unlink(name.constData()) != 0 && errno != ENOENT && ::truncate(name.constData(), 0) != 0)
        problem_ += QStringLiteral(", and what it holds so far cannot be removed");
    return false;
}

bool FileJournal::running() {
    if (fd_ < 0 && problem_.isEmpty()) problem_ = QStringLiteral("no change has begun");
    return fd_ >= 0;
}

bool FileJournal::append(const QByteArray& bytes, qsizetype size, bool flush) {
    return (writeAll(fd_, bytes.constData(), size) && (!flush || ::fdatasync(fd_) == 0)) ||
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
    fd_ = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (fd_ < 0) return fail(errno);
    const QString whole = absolute(folder);
    QByteArray start(header.size() + frame + 8 + RecordWriter::pathSpace(whole), Qt::Uninitialized);
    std::memcpy(start.data(), header.constData(), header.size());
    RecordWriter out(start.data() + header.size());
    out.start(Begin);
    out.put<qint64>(total);
    out.path(whole, {});
    if (!out.end()) return fail(ENAMETOOLONG);
    if (!writeAll(fd_, start.constData(), out.at() - start.constData()) || ::fsync(fd_) != 0 ||
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
    if (r.kind != JournalRecord::Rename || r.id.size != FileId::unknown) return s;
    const qsizetype n = qsizetype(std::strlen(r.source)), t = qsizetype(std::strlen(r.target));
    qsizetype kept = 0;
    while (kept < n && kept < t && r.source[kept] == r.target[kept])
        ++kept;
    s = {r.id.device, r.id.mtimeNs, QByteArrayView(r.target + kept, t - kept), quint8(n - kept),
         n - kept < 256 && n < 4096};
    return s;
}
} // namespace

bool FileJournal::intend(const std::vector<NameRecord>& next, bool lastPart) {
    if (!running() || next.empty()) return running();
    qsizetype space = 0;
    for (const NameRecord& r : next)
        space += 2 * frame + 3 * idSize + 20 +
                 2 * qsizetype(std::strlen(r.source) + std::strlen(r.target));
    if (batch_.size() < space) batch_.resize(space);
    RecordWriter out(batch_.data());
    Shape open; // of the Renames record being filled; fits == false: none
    for (const NameRecord& r : next) {
        const Shape s = shapeOf(r);
        const qsizetype n = qsizetype(std::strlen(r.source));
        if (open.fits && (!s.fits || s.device != open.device || s.notSince != open.notSince ||
                          s.suffix != open.suffix || out.written() + 11 + n > maxPayload)) {
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
            out.put(r.id.inode);
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
    QByteArray record(frame + 8 + RecordWriter::pathSpace(trashed), Qt::Uninitialized);
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

JournalState FileJournal::ignore(const QString& why) {
    problem_ = QStringLiteral("ignoring the journal %1: %2").arg(path_, why);
    return {};
}

JournalState FileJournal::load() {
    problem_.clear();
    QFile file(path_);
    // Not blocking on a named pipe put in its place.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return {};
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0) ::close(fd);
        return ignore(QStringLiteral("it cannot be read: ") + why);
    }
    const QString notOurs = QStringLiteral("it is not Morvane's");
    const QString notWhole = QStringLiteral("it is not whole");
    if (!S_ISREG(st.st_mode)) return ignore(notOurs);
    if (st.st_size == 0) return {}; // how a journal that failed is left where it cannot go
    // The start is checked before the rest is read: a large foreign file is never loaded.
    QByteArray data = file.read(header.size());
    if (!data.startsWith(header.left(magicSize))) return ignore(notOurs);
    if (data != header) return ignore(QStringLiteral("it is of another version"));
    file.seek(0);
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ignore(QStringLiteral("it cannot be read: ") + file.errorString());

    JournalState state;
    bool begun = false;
    QByteArray folder;
    const char* const base = data.constData();
    const qsizetype size = data.size();
    for (qsizetype at = header.size(); at < size;) {
        const qsizetype left = size - at;
        const quint32 n = left >= 5 ? qFromLittleEndian<quint32>(base + at + 1) : 0;
        if (left < 5 || n > maxPayload || qsizetype(n) + frame > left ||
            crc32(base + at, 5 + n) != qFromLittleEndian<quint32>(base + at + 5 + n)) {
            // A write cut short by a crash: a record that runs past the end or ends at it,
            // or zeros where the file system had grown the file but not filled it. That
            // write never returned, so no file was touched on the strength of it.
            const bool torn = left < 5 || (n <= maxPayload && qsizetype(n) + frame >= left) ||
                              std::all_of(base + at, base + size, [](char c) { return c == 0; });
            if (!torn || state.finished) return ignore(notWhole);
            break;
        }
        const Type type = static_cast<Type>(base[at]);
        RecordReader in(base + at + 5, n);
        if (begun == (type == Begin) || state.finished) return ignore(notWhole);
        switch (type) {
        case Begin: {
            state.total = in.get<qint64>();
            folder = QFile::encodeName(in.path({}));
            begun = true;
            if (state.total < 0) return ignore(notWhole);
            state.records.reserve(std::min<qint64>(state.total, left / (frame + idSize)));
            break;
        }
        case Intent: {
            JournalRecord r;
            const quint8 kind = in.get<quint8>();
            r.kind = static_cast<JournalRecord::Kind>(kind);
            r.id = {in.get<quint64>(), in.get<quint64>(), in.get<qint64>(), in.get<qint64>()};
            r.source = in.path(folder);
            r.target = in.path(folder);
            if (kind == JournalRecord::Copy)
                r.before = {in.get<quint64>(), in.get<quint64>(), in.get<qint64>(),
                            in.get<qint64>()};
            if ((kind != JournalRecord::Rename && kind != JournalRecord::Copy) ||
                r.source.isEmpty() || r.target.isEmpty())
                return ignore(notWhole);
            state.records.append(std::move(r));
            break;
        }
        case Renames: {
            const quint64 device = in.get<quint64>();
            const qint64 notSince = in.get<qint64>();
            const quint32 suffixSize = in.get<quint32>();
            const char* suffix = suffixSize > maxPayload ? nullptr : in.bytes(suffixSize);
            if (!suffix && suffixSize > 0) return ignore(notWhole);
            do {
                JournalRecord r;
                r.id = {device, in.get<quint64>(), FileId::unknown, notSince};
                const quint8 cut = in.get<quint8>();
                const quint16 size = in.get<quint16>();
                const char* name = in.bytes(size);
                if (!name || size == 0 || cut > size || std::memchr(name, '/', size) ||
                    std::memchr(suffix ? suffix : "", '/', suffixSize))
                    return ignore(notWhole);
                QByteArray path = folder;
                r.source = QFile::decodeName(path.append(name, size));
                path.chop(cut);
                r.target = QFile::decodeName(path.append(suffix, suffixSize));
                state.records.append(std::move(r));
            } while (!in.atEnd());
            break;
        }
        case Replaced: {
            const qint64 index = in.get<qint64>();
            const QString trashed = in.path(folder);
            if (index < 0 || index >= state.records.size() || trashed.isEmpty())
                return ignore(notWhole);
            state.records[index].trashed = trashed;
            break;
        }
        case Finished:
            state.finished = true;
            break;
        default:
            return ignore(notWhole);
        }
        if (!in.whole()) return ignore(notWhole);
        at += frame + n;
    }
    if (!begun) return ignore(notWhole);
    state.present = true;
    return state;
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
