#include "filesystem.h"
#include "pathrules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <malloc.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace morvane {
namespace {

[[noreturn]] void fail(int err) {
    throw Failure{err, QString::fromLocal8Bit(std::strerror(err))};
}

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

FileId idOf(const struct stat& st) {
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino),
            static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool isHiddenName(const QString& name) {
    return name.startsWith(QLatin1Char('.'));
}

bool isAscii(const char* s) {
    for (; *s; ++s)
        if (static_cast<unsigned char>(*s) >= 0x80) return false;
    return true;
}

// Calls found(name) for each ordinary file of folder matching pattern, in listing order,
// until it returns false. Returns 0, or the errno of a refused listing.
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
        if (e->d_type != DT_REG) {
            // Links count as what they point to; the listing does not say, so ask.
            struct stat st;
            if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) continue;
            if (::fstatat(fd, e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
        }
        if (!found(name)) return 0;
    }
}

// Whether the folder lists an entry named exactly name.
bool listsExactly(const QString& folder, const QString& name) {
    bool listed = false;
    forEachMatch(folder, name, [&](const QString& found) {
        listed = found == name;
        return !listed;
    });
    return listed;
}

// Moves from to to unless to exists; 0 or the errno.
int moveNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // The file system cannot refuse a target on rename; a hard link refuses it the same way.
    if (::link(from.constData(), to.constData()) != 0) return errno;
    if (::unlink(from.constData()) != 0) {
        const int err = errno;
        struct stat st;
        if (::lstat(from.constData(), &st) != 0 && errno == ENOENT) return 0; // gone meanwhile
        ::unlink(to.constData());
        return err;
    }
    return 0;
}

void renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (const int err = moveNoReplace(from, to)) fail(err);
}

// 0 when path is still the entry the user was asked about, ECANCELED when it is another
// one, or the errno of the status call.
int checkAsked(const QByteArray& path, const FileId& asked) {
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) return errno;
    return idOf(st) == asked ? 0 : ECANCELED;
}

[[noreturn]] void failAsked(int err, const QString& target) {
    if (err != ECANCELED) fail(err);
    throw Failure{ECANCELED, QStringLiteral("Operation canceled: '%1' changed after the "
                                            "question and was left as it is")
                                 .arg(target)};
}

// Where the Trash keeps what it knows of the file it holds at inTrash.
QString trashInfoOf(const QString& inTrash) {
    const QFileInfo file(inTrash);
    return file.dir().filePath(QStringLiteral("../info/") + file.fileName() +
                               QStringLiteral(".trashinfo"));
}

// Moves the file at `at` to the Trash, to be restored as `original`, a name in the same
// folder. Returns where it went, or the empty text when no Trash takes it.
QString toTrash(const QByteArray& at, const QString& original) {
    // Qt makes the Trash folder but not the data folder it lives in; without that folder it
    // falls back to the current folder.
    static const bool dataFolder =
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    Q_UNUSED(dataFolder)
    QString inTrash;
    if (!QFile::moveToTrash(QFile::decodeName(at), &inTrash)) return {};
    if (QFileInfo(inTrash).isRelative()) { // no real Trash after all: put it back
        if (moveNoReplace(native(inTrash), at) == 0)
            ::unlink(native(trashInfoOf(inTrash)).constData());
        return {};
    }
    if (QFile::decodeName(at) == original) return inTrash;
    // It was moved aside under another name first; the Trash must name the place it left.
    QFile in(trashInfoOf(inTrash));
    if (!in.open(QIODevice::ReadOnly)) return inTrash;
    QByteArrayList lines = in.readAll().split('\n');
    in.close();
    for (QByteArray& line : lines) {
        if (!line.startsWith("Path=")) continue;
        const qsizetype name = std::max<qsizetype>(line.lastIndexOf('/'), 4) + 1;
        line = line.left(name) + QUrl::toPercentEncoding(nameOfPath(original));
    }
    QSaveFile out(in.fileName());
    if (out.open(QIODevice::WriteOnly)) {
        out.write(lines.join('\n'));
        out.commit();
    }
    return inTrash;
}

// Moves from onto to, replacing exactly the entry the user was asked about, which goes to
// the Trash (or is deleted where there is none); returns where it went. The two are
// exchanged first and what came out is checked, so nothing can slip in between the check
// and the replacement; another entry is put back. A target gone meanwhile is nothing to
// replace.
QString replaceAsked(const QByteArray& from, const QString& to, const FileId& asked) {
    const QByteArray target = native(to);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) !=
        0) {
        if (errno == ENOENT) {
            renameNoReplace(from, target);
            return {};
        }
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) fail(errno);
        // No exchange on this file system: check as close to the move as can be.
        if (const int err = checkAsked(target, asked)) {
            if (err != ENOENT) failAsked(err, to);
            renameNoReplace(from, target);
            return {};
        }
        struct stat source;
        if (::lstat(from.constData(), &source) != 0) fail(errno);
        // rename(2) between two links to one file does nothing: the source link goes instead.
        if (source.st_dev == asked.device && source.st_ino == asked.inode) {
            if (::unlink(from.constData()) != 0) fail(errno);
            return {};
        }
        const QString trashed = toTrash(target, to);
        if (trashed.isEmpty()) {
            if (::rename(from.constData(), target.constData()) != 0) fail(errno);
            return {};
        }
        // What went to the Trash must be the file asked about, and the name must stay free.
        const int err = checkAsked(native(trashed), asked);
        const int moved = err == 0 ? moveNoReplace(from, target) : err;
        if (moved == 0) return trashed;
        if (moveNoReplace(native(trashed), target) == 0)
            ::unlink(native(trashInfoOf(trashed)).constData());
        failAsked(moved, to);
    }
    // Exchanged; two links to one file are not exchanged at all, and then the source link
    // simply goes.
    int err = checkAsked(from, asked);
    if (err == 0) {
        struct stat now;
        const bool sameFile = ::lstat(target.constData(), &now) == 0 && idOf(now) == asked;
        if (!sameFile) {
            const QString trashed = toTrash(from, to);
            if (!trashed.isEmpty()) return trashed;
        }
        if (::unlink(from.constData()) == 0) return {};
        err = errno;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) != 0)
        throw Failure{err, QString::fromLocal8Bit(std::strerror(err)) +
                               QStringLiteral(" (the file that was at '%1' is now '%2')")
                                   .arg(to, QFile::decodeName(from))};
    failAsked(err, to);
}

// A free name for a file on its way to target: visible and next to it, so that whatever a
// crash leaves there is found and understood.
QByteArray temporaryName(const QString& target, int attempt) {
    return native(target + QStringLiteral(".morvane-%1-%2").arg(::getpid()).arg(attempt));
}

// Calls move(name) with free temporary names for target until it no longer finds the name
// taken; returns the name used.
QByteArray withTemporaryName(const QString& target,
                             const std::function<int(const QByteArray&)>& move) {
    for (int attempt = 0;; ++attempt) {
        const QByteArray name = temporaryName(target, attempt);
        const int err = move(name);
        if (err == 0) return name;
        if (err != EEXIST || attempt >= 100) fail(err);
    }
}

// An unnamed file is given its name through /proc, which a chroot or a sandbox may lack.
bool canNameUnnamed() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

// Whether a folder's file system makes no unnamed files, so that a named one must do.
bool unnamedRefused(int err) {
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL;
}

// Gives the unnamed file fd the bare name `name` in folder dir, never over an existing entry.
int nameUnnamed(int fd, int dir, const char* name) {
    char self[32] = "/proc/self/fd/";
    *std::to_chars(self + 14, self + sizeof self - 1, fd).ptr = '\0';
    return ::linkat(AT_FDCWD, self, dir, name, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// A file that becomes visible only whole, under its final name. Where the system allows,
// it has no name at all until then, so that a crash part way leaves nothing behind;
// elsewhere it has a temporary name that is removed on every failure.
class TemporaryFile {
public:
    explicit TemporaryFile(const QString& to) : to_(to) {
        const QString folder = folderOfPath(to);
        fd_ = ::open(folder.isEmpty() ? "." : native(folder).constData(),
                     O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0 && canNameUnnamed()) return;
        if (fd_ >= 0)
            ::close(fd_);
        else if (!unnamedRefused(errno))
            fail(errno);
        name_ = withTemporaryName(to, [this](const QByteArray& name) {
            fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            return fd_ >= 0 ? 0 : errno;
        });
    }
    ~TemporaryFile() {
        if (fd_ >= 0) close();
        // Only while the name still holds this file: after a failed exchange it may hold
        // the one that was to be replaced.
        struct stat st;
        if (!name_.isEmpty() && ::lstat(name_.constData(), &st) == 0 && st.st_dev == own_.st_dev &&
            st.st_ino == own_.st_ino)
            ::unlink(name_.constData());
    }
    int fd() const { return fd_; }

    // Gives the file its final name: never over an existing file unless `replacing` names it.
    // Returns where the replaced file went.
    QString place(const std::optional<FileId>& replacing) {
        const QByteArray target = native(to_);
        // The old file is given up only for a copy that is on the disk.
        if (replacing && ::fdatasync(fd_) != 0) fail(errno);
        if (name_.isEmpty()) {
            const auto linkTo = [&](const QByteArray& name) {
                return nameUnnamed(fd_, AT_FDCWD, name.constData());
            };
            if (!replacing) {
                // link(2) refuses an existing target, as the no-replace rename does.
                if (const int err = linkTo(target)) fail(err);
                if (close() != 0) fail(errno);
                return {};
            }
            name_ = withTemporaryName(to_, linkTo);
        }
        if (close() != 0) fail(errno);
        QString trashed;
        if (replacing)
            trashed = replaceAsked(name_, to_, *replacing);
        else
            renameNoReplace(name_, target);
        name_.clear();
        return trashed;
    }

private:
    int close() {
        if (!name_.isEmpty()) ::fstat(fd_, &own_); // what the destructor may remove
        const int closed = ::close(fd_);
        fd_ = -1;
        return closed;
    }

    QString to_;
    QByteArray name_; // empty while the file has no name
    int fd_ = -1;
    struct stat own_ {};
};

// The user's own extended attributes (a download's origin, tags) go with the copy where the
// target's file system takes them; like cp -a, a refusal is no reason to fail the copy.
void copyUserAttributes(int from, int to) {
    char shortList[4096]; // most files have none, or a few short ones
    std::vector<char> longList;
    char* names = shortList;
    ssize_t size = ::flistxattr(from, shortList, sizeof shortList);
    if (size < 0 && errno == ERANGE && (size = ::flistxattr(from, nullptr, 0)) > 0) {
        longList.resize(size_t(size));
        names = longList.data();
        size = ::flistxattr(from, names, longList.size());
    }
    std::vector<char> value;
    for (ssize_t at = 0; at < size; at += ssize_t(std::strlen(&names[at])) + 1) {
        const char* name = &names[at];
        if (std::strncmp(name, "user.", 5) != 0) continue;
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0) continue;
        value.resize(size_t(length) + 1);
        const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
        if (got >= 0) ::fsetxattr(to, name, value.data(), size_t(got), 0);
    }
}

void writeAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        data += n;
        size -= n;
    }
}

// Whether the kernel refused to copy this way here, so that another way must do.
bool refused(int err) {
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == ENOTTY;
}

// Copies the content of in to out from their current offsets. The kernel does it where it
// can: a clone shares the blocks at once (btrfs, XFS), copy_file_range spares the trip
// through this process; a read/write loop is left for where neither works. Between blocks
// a cancelled copy stops, and its unnamed file is dropped with the target untouched.
// Returns false when asked to clone and the file system refused it.
bool copyContent(int in, int out, qint64 size, bool clone, Progress& progress) {
    if (clone && ::ioctl(out, FICLONE, in) == 0) {
        progress.copying(size, size);
        return true;
    }
    const bool cloneRefused = clone && refused(errno);
    qint64 done = 0;
    std::vector<char> buffer;
    for (bool kernel = true;;) {
        if (progress.cancelled()) throw Cancelled{};
        ssize_t n;
        if (kernel) {
            n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 23, 0);
        } else {
            buffer.resize(1 << 18);
            n = ::read(in, buffer.data(), buffer.size());
            if (n > 0) writeAll(out, buffer.data(), n);
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && kernel && refused(errno)) {
            kernel = false; // both offsets stand where the kernel left them
            continue;
        }
        if (n < 0) fail(errno);
        if (n == 0 && kernel && done < size) {
            kernel = false; // some file systems end a kernel copy early: read the rest
            continue;
        }
        if (n == 0) return !cloneRefused;
        progress.copying(done += n, size);
    }
}

} // namespace

void giveBackFreeMemory() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

// The existence test's rule for one literal path whose file name part is name. A status
// call that fails for another reason than a missing name leaves its errno in *err.
static std::optional<FileId> ordinaryFile(const QString& path, const QString& name,
                                          int* err = nullptr) {
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

std::optional<FileId> NativeFileSystem::probe(const QString& path) {
    int err = 0;
    const auto id = ordinaryFile(path, nameOfPath(path), &err);
    if (err != 0) fail(err);
    return id;
}

QString existenceTest(const QString& path) {
    const QString name = nameOfPath(path);
    if (!hasWildcards(name)) return ordinaryFile(path, name) ? name : QString();
    QString first;
    forEachMatch(folderOfPath(path), name, [&](const QString& found) {
        first = found;
        return false;
    });
    return first;
}

QStringList NativeFileSystem::listMatches(const QString& folder, const QString& namePattern,
                                          Progress& progress) {
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

namespace {

// A listing that keeps its folder open, so that each file is named by its bare name and the
// kernel does not walk the whole path again for every file.
struct OpenFolderFiles : FolderFiles {
    using FolderFiles::FolderFiles;
    ~OpenFolderFiles() override {
        if (fd >= 0) ::close(fd);
    }
    int fd = -1;
};

int folderOf(const FolderFiles& files) {
    return static_cast<const OpenFolderFiles&>(files).fd;
}

qint64 clockNs(clockid_t clock) {
    struct timespec now;
    ::clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A time that no file modified until now has reached, and that every file modified from
// now on reaches: the exact time, once the coarse clock files may be stamped with has passed
// it (a tick, a few milliseconds; it lags further only on an idle system). 0: not found.
qint64 fileTimeBoundary() {
    const qint64 now = clockNs(CLOCK_REALTIME);
    for (int wait = 0; wait < 200; ++wait) {
        if (clockNs(CLOCK_REALTIME_COARSE) > now) return now + 1;
        ::usleep(500);
    }
    return 0;
}

// Whether a name survives the trip through the system's encoding, as a text that names the
// same file again; ASCII always does.
bool namesItself(const char* name, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80) {
            const QByteArray bytes = QByteArray::fromRawData(name, qsizetype(size));
            return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
        }
    }
    return true;
}

} // namespace

std::unique_ptr<FolderFiles>
NativeFileSystem::listExtension(const QString& folder, const QString& ext, Progress& progress) {
    auto files = std::make_unique<OpenFolderFiles>(folder);
    files->fd = ::open(folder.isEmpty() ? "." : native(folder).constData(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (files->fd < 0) fail(errno);
    // "*.ext" exactly; an empty extension asks for names without one, or ending in ".".
    const QByteArray suffix = '.' + native(ext);
    // A folder's size tells how much its names can take on most file systems (at least 12
    // bytes an entry on ext4, 20 on tmpfs); far more than that is only a guess.
    struct stat dir;
    if (::fstat(files->fd, &dir) != 0) fail(errno);
    const qsizetype guess = std::min<qsizetype>(dir.st_size, qsizetype(1) << 30);
    files->reserve(guess + 4096, guess / 12 + 64);
    // Large reads: a folder of 100,000 names comes in a few dozen calls.
    std::vector<char> buffer(1 << 18);
    for (;;) {
        if (progress.cancelled()) throw Cancelled{};
        const ssize_t got = ::getdents64(files->fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail(errno);
        if (got == 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* e = reinterpret_cast<const dirent64*>(buffer.data() + at);
            at += e->d_reclen;
            const char* name = e->d_name;
            if (name[0] == '.') continue;
            const size_t size = std::strlen(name);
            const bool matches =
                ext.isEmpty() ? std::memchr(name, '.', size) == nullptr || name[size - 1] == '.'
                              : size > size_t(suffix.size()) &&
                                    std::memcmp(name + size - suffix.size(), suffix.constData(),
                                                suffix.size()) == 0;
            if (!matches || !namesItself(name, size)) continue;
            if (e->d_type != DT_REG) {
                // Links count as what they point to; the listing does not say, so ask.
                struct stat st;
                if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) continue;
                if (::fstatat(files->fd, name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
            }
            if (!files->hasRoom()) fail(ENOMEM);
            files->add(name, qsizetype(size), e->d_ino);
        }
        progress.reading(files->size());
    }
    // The listed inodes identify the files where the first of them agrees with its status
    // call; some file systems (FUSE, some overlays) list numbers of their own.
    struct stat first;
    files->listedAtNs = fileTimeBoundary();
    files->inodesTrue = files->size() > 0 && files->listedAtNs > 0 &&
                        ::fstatat(files->fd, files->name(0), &first, AT_SYMLINK_NOFOLLOW) == 0 &&
                        first.st_dev == dir.st_dev && first.st_ino == files->inode(0);
    files->device = dir.st_dev;
    return files;
}

int NativeFileSystem::renameIn(const FolderFiles& files, qsizetype i, const char* to) {
    const int fd = folderOf(files);
    return ::renameat2(fd, files.name(i), fd, to, RENAME_NOREPLACE) == 0 ? 0 : errno;
}

std::optional<FileId> NativeFileSystem::identifyIn(const FolderFiles& files, const char* name) {
    struct stat st;
    if (::fstatat(folderOf(files), name, &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return idOf(st);
}

bool NativeFileSystem::sameEntry(const QString& a, const QString& b) {
    if (a == b) return true;
    const QString folder = folderOfPath(a);
    if (folder != folderOfPath(b) || nameOfPath(a).compare(nameOfPath(b), Qt::CaseInsensitive) != 0)
        return false;
    struct stat sa, sb;
    if (::lstat(native(a).constData(), &sa) != 0 || ::lstat(native(b).constData(), &sb) != 0 ||
        sa.st_dev != sb.st_dev || sa.st_ino != sb.st_ino)
        return false;
    // One file under both spellings: one entry on a case-insensitive folder, unless these
    // are two links whose names differ in case, which only the listing can tell.
    return sa.st_nlink == 1 || !listsExactly(folder, nameOfPath(b));
}

QString NativeFileSystem::rename(const QString& from, const QString& to,
                                 const std::optional<FileId>& replacing) {
    const QByteArray f = native(from), t = native(to);
    if (replacing && !sameEntry(from, to)) return replaceAsked(f, to, *replacing);
    if (!replacing) renameNoReplace(f, t);
    if (!replacing || from == to) return {};
    // A case-only change on a case-insensitive folder: rename(2) would keep the old
    // spelling, so the file goes through a visible name beside its target.
    const QByteArray tmp =
        withTemporaryName(to, [&](const QByteArray& name) { return moveNoReplace(f, name); });
    const int err = moveNoReplace(tmp, t);
    if (err == 0) return {};
    if (moveNoReplace(tmp, f) != 0)
        throw Failure{
            err, QString::fromLocal8Bit(std::strerror(err)) +
                     QStringLiteral(" (the file is left as '%1')").arg(QFile::decodeName(tmp))};
    fail(err);
}

// Opens the ordinary file `name` in folder dir (AT_FDCWD: a path) to copy from; its status
// in st. pathOf() names it in a message.
template <typename PathOf>
int openSource(int dir, const char* name, struct stat& st, PathOf pathOf) {
    // Without blocking: a named pipe put in the source's place must not hang the program.
    // An ordinary file reads the same with the flag, so it stays.
    const int in = ::openat(dir, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0) fail(errno);
    if (::fstat(in, &st) != 0) {
        const int err = errno;
        ::close(in);
        fail(err);
    }
    if (S_ISREG(st.st_mode)) return in;
    ::close(in);
    const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    throw Failure{err, QString::fromLocal8Bit(std::strerror(err)) +
                           QStringLiteral(": '%1' is not an ordinary file").arg(pathOf())};
}

// Fills out with the content of in, whose status is st, and its permissions, times and user
// attributes, as cp -p does; folder is out's.
void fillCopy(int in, const struct stat& st, int out, const QString& folder, Progress& progress) {
    // A folder that refused a clone from this device refuses it for every file of a folder
    // run: asked once. (copy_file_range still shares blocks where the file system can.)
    thread_local std::pair<dev_t, QString> noClone;
    const std::pair<dev_t, QString> route{st.st_dev, folder};
    if (!copyContent(in, out, st.st_size, route != noClone, progress)) noClone = route;
    // Kept where the file system can keep them, as cp -p does: FAT and many FUSE file
    // systems refuse them, and the copy still lands.
    const auto bestEffort = [](int result) {
        if (result != 0 && errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP &&
            errno != ENOSYS)
            fail(errno);
    };
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    bestEffort(::fchmod(out, st.st_mode & 07777));
    bestEffort(::futimens(out, times));
    copyUserAttributes(in, out);
}

QString NativeFileSystem::copy(const QString& from, const QString& to,
                               const std::optional<FileId>& replacing, Progress& progress) {
    struct stat st;
    const int in = openSource(AT_FDCWD, native(from).constData(), st, [&] { return from; });
    auto closeIn = qScopeGuard([in] { ::close(in); });
    TemporaryFile out(to);
    fillCopy(in, st, out.fd(), folderOfPath(to), progress);
    return out.place(replacing);
}

int NativeFileSystem::copyIn(const FolderFiles& files, qsizetype i, const char* to,
                             Progress& progress) {
    const int dir = folderOf(files);
    int out = canNameUnnamed() ? ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600) : -1;
    if (out < 0) {
        if (canNameUnnamed() && !unnamedRefused(errno)) fail(errno);
        // No unnamed file here: the way through a temporary name.
        try {
            copy(files.path(i), files.folder() + QFile::decodeName(to), std::nullopt, progress);
            return 0;
        } catch (const Failure& f) {
            if (f.number == EEXIST) return EEXIST;
            throw;
        }
    }
    auto closeOut = qScopeGuard([&out] {
        if (out >= 0) ::close(out); // an unnamed file closed unnamed is gone
    });
    struct stat st;
    const int in = openSource(dir, files.name(i), st, [&] { return files.path(i); });
    auto closeIn = qScopeGuard([in] { ::close(in); });
    fillCopy(in, st, out, files.folder(), progress);
    if (const int err = nameUnnamed(out, dir, to)) {
        if (err == EEXIST) return EEXIST;
        fail(err);
    }
    const int closed = ::close(out);
    out = -1;
    if (closed != 0) fail(errno);
    return 0;
}

std::optional<FileId> NativeFileSystem::identify(const QString& path) {
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0) return std::nullopt;
    return idOf(st);
}

void NativeFileSystem::remove(const QString& path) {
    if (::unlink(native(path).constData()) != 0) fail(errno);
}

void NativeFileSystem::untrash(const QString& trashed, const QString& to) {
    renameNoReplace(native(trashed), native(to));
    ::unlink(native(trashInfoOf(trashed)).constData());
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace morvane
