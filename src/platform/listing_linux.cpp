#include "listing_linux.h"
#include "filesystem.h"
#include "openfolder_linux.h"
#include "pathrules.h"
#include "posix.h"

#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace morvane {
namespace posix {
namespace {

// The bytes at and above it are not ASCII, and may not survive the system's encoding.
constexpr unsigned char firstNonAscii = 0x80;

// Large reads: a folder of 100,000 names comes in a few dozen calls.
constexpr size_t listingBufferSize = size_t(1) << 18;

// A folder's size tells how much its names can take on most file systems (at least 12
// bytes an entry on ext4, 20 on tmpfs); far more than that is only a guess.
constexpr qsizetype leastEntrySize = 12;
constexpr qsizetype largestGuess = qsizetype(1) << 30;
// Room beyond the guess, for a folder whose size says little (a small one, a fresh one).
constexpr qsizetype spareNameBytes = 4096;
constexpr qsizetype spareEntries = 64;

// How long fileTimeBoundary() waits for the coarse clock: a tenth of a second at most.
constexpr int boundaryPolls = 200;
constexpr useconds_t boundaryPollUs = 500;

bool isHiddenName(const QString& name) {
    return name.startsWith(QLatin1Char('.'));
}

bool isAscii(const char* s) {
    for (; *s; ++s)
        if (static_cast<unsigned char>(*s) >= firstNonAscii) return false;
    return true;
}

// Whether the entry `name` of folder dir, of the type the listing gave, is an ordinary file.
bool isOrdinaryEntry(int dir, const char* name, unsigned char type) {
    if (type == DT_REG) return true;
    // Links count as what they point to; the listing does not say, so ask.
    struct stat st;
    if (type != DT_LNK && type != DT_UNKNOWN) return false;
    return ::fstatat(dir, name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

qint64 clockNs(clockid_t clock) {
    struct timespec now;
    ::clock_gettime(clock, &now);
    return qint64(now.tv_sec) * nsPerSecond + now.tv_nsec;
}

// A time that no file modified until now has reached, and that every file modified from
// now on reaches: the exact time, once the coarse clock files may be stamped with has passed
// it (a tick, a few milliseconds; it lags further only on an idle system). 0: not found.
qint64 fileTimeBoundary() {
    const qint64 now = clockNs(CLOCK_REALTIME);
    for (int wait = 0; wait < boundaryPolls; ++wait) {
        if (clockNs(CLOCK_REALTIME_COARSE) > now) return now + 1;
        ::usleep(boundaryPollUs);
    }
    return 0;
}

// Whether a name survives the trip through the system's encoding, as a text that names the
// same file again; ASCII always does.
bool namesItself(const char* name, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(name[i]) >= firstNonAscii) {
            const QByteArray bytes = QByteArray::fromRawData(name, qsizetype(size));
            return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
        }
    }
    return true;
}

// "*.ext" exactly; an empty extension asks for names without one, or ending in ".".
class ExtensionMatch {
public:
    explicit ExtensionMatch(const QString& ext)
        : suffix_('.' + native(ext)), bare_(ext.isEmpty()) {}
    bool operator()(const char* name, size_t size) const {
        if (bare_) return std::memchr(name, '.', size) == nullptr || name[size - 1] == '.';
        return size > size_t(suffix_.size()) &&
               std::memcmp(name + size - suffix_.size(), suffix_.constData(), suffix_.size()) == 0;
    }

private:
    QByteArray suffix_;
    bool bare_;
};

// Makes room in files for the names of the folder whose status is dir.
void reserveFor(OpenFolder& files, const struct stat& dir) {
    const qsizetype guess = std::min<qsizetype>(dir.st_size, largestGuess);
    files.reserve(guess + spareNameBytes, guess / leastEntrySize + spareEntries);
}

// Adds to files the ordinary files that match among the size bytes of entries at entries.
void addMatches(OpenFolder& files, const char* entries, ssize_t size,
                const ExtensionMatch& matches) {
    for (ssize_t at = 0; at < size;) {
        const auto* e = reinterpret_cast<const dirent64*>(entries + at);
        at += e->d_reclen;
        const char* name = e->d_name;
        if (name[0] == '.') continue;
        const size_t length = std::strlen(name);
        if (!matches(name, length) || !namesItself(name, length)) continue;
        if (!isOrdinaryEntry(files.fd, name, e->d_type)) continue;
        if (!files.hasRoom()) fail(ENOMEM);
        files.add(name, qsizetype(length), e->d_ino);
    }
}

// Reads the whole of the open folder of files, keeping the names that match.
void readMatches(OpenFolder& files, const ExtensionMatch& matches, Progress& progress) {
    std::vector<char> buffer(listingBufferSize);
    for (;;) {
        if (progress.cancelled()) throw Cancelled{};
        const ssize_t got = ::getdents64(files.fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail(errno);
        if (got == 0) return;
        addMatches(files, buffer.data(), got, matches);
        progress.reading(files.size());
    }
}

// Notes how far the listed inodes identify the files of the folder whose status is dir.
void noteIdentities(OpenFolder& files, const struct stat& dir) {
    // The listed inodes identify the files where the first of them agrees with its status
    // call; some file systems (FUSE, some overlays) list numbers of their own.
    struct stat first;
    files.listedAtNs = fileTimeBoundary();
    files.inodesTrue = files.size() > 0 && files.listedAtNs > 0 &&
                       ::fstatat(files.fd, files.name(0), &first, AT_SYMLINK_NOFOLLOW) == 0 &&
                       first.st_dev == dir.st_dev && first.st_ino == files.inode(0);
    files.device = dir.st_dev;
}

} // namespace

int forEachMatch(const QString& folder, const QString& pattern,
                 const std::function<bool(const QString&)>& found) {
    DIR* dir = ::opendir(folder.isEmpty() ? "." : native(folder).constData());
    if (!dir) return errno;
    auto closer = qScopeGuard([dir] { ::closedir(dir); });
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) return errno;
        if (e->d_name[0] == '.') continue;
        const QString name = QFile::decodeName(e->d_name);
        if (!matchesNamePattern(name, pattern)) continue;
        // A name that is not valid in the system's encoding cannot be named again through
        // its decoded text; leave it alone rather than act on some other file.
        if (!isAscii(e->d_name) && QFile::encodeName(name) != e->d_name) continue;
        if (!isOrdinaryEntry(fd, e->d_name, e->d_type)) continue;
        if (!found(name)) return 0;
    }
}

bool listsExactly(const QString& folder, const QString& name) {
    bool listed = false;
    forEachMatch(folder, name, [&](const QString& found) {
        listed = found == name;
        return !listed;
    });
    return listed;
}

std::optional<FileId> ordinaryFile(const QString& path, const QString& name, int* err) {
    if (name.isEmpty() || isHiddenName(name)) return std::nullopt;
    const QByteArray p = native(path);
    struct stat entry, st;
    const bool found = ::lstat(p.constData(), &entry) == 0 &&
                       (!S_ISLNK(entry.st_mode) || ::stat(p.constData(), &st) == 0);
    if (!found) {
        if (err && errno != ENOENT && errno != ENOTDIR) *err = errno;
        return std::nullopt;
    }
    if (!S_ISREG(S_ISLNK(entry.st_mode) ? st.st_mode : entry.st_mode)) return std::nullopt;
    return idOf(entry);
}

QStringList listMatches(const QString& folder, const QString& namePattern, Progress& progress) {
    QStringList paths;
    const int err = forEachMatch(folder, namePattern, [&](const QString& name) {
        if (progress.cancelled()) throw Cancelled{};
        paths.append(folder + name);
        progress.reading(paths.size());
        return true;
    });
    if (err != 0) fail(err);
    return paths;
}

std::unique_ptr<FolderFiles> listExtension(const QString& folder, const QString& ext,
                                           Progress& progress) {
    auto files = std::make_unique<OpenFolder>(folder);
    files->fd = ::open(folder.isEmpty() ? "." : native(folder).constData(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (files->fd < 0) fail(errno);
    const ExtensionMatch matches(ext);
    struct stat dir;
    if (::fstat(files->fd, &dir) != 0) fail(errno);
    reserveFor(*files, dir);
    readMatches(*files, matches, progress);
    noteIdentities(*files, dir);
    return files;
}

} // namespace posix

QString existenceTest(const QString& path) {
    const QString name = nameOfPath(path);
    if (!hasWildcards(name)) return posix::ordinaryFile(path, name) ? name : QString();
    QString first;
    posix::forEachMatch(folderOfPath(path), name, [&](const QString& found) {
        first = found;
        return false;
    });
    return first;
}

} // namespace morvane
