#include "filesystem.h"
#include "pathrules.h"

#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
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

std::optional<FileId> statFile(const QString& path) {
    struct stat st;
    if (path.isEmpty() || ::stat(native(path).constData(), &st) != 0) return std::nullopt;
    return idOf(st);
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
        if (::lstat(from.constData(), &st) != 0) return 0; // gone meanwhile: to is its name now
        ::unlink(to.constData());
        return err;
    }
    return 0;
}

void renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (const int err = moveNoReplace(from, to)) fail(err);
}

void checkStillSame(const QString& path, const FileId& expected) {
    const std::optional<FileId> now = statFile(path);
    if (!now || !(*now == expected))
        throw Failure{ECANCELED, QStringLiteral("Operation canceled: '%1' changed after the "
                                                "question and was left as it is")
                                     .arg(path)};
}

// A free hidden name in folder, for a file that must never be seen half-made.
QByteArray temporaryName(const QString& folder, int attempt) {
    return native(folder + QStringLiteral(".morvane-%1-%2").arg(::getpid()).arg(attempt));
}

// A file that becomes visible only whole, under its final name. Where the system allows,
// it has no name at all until then, so that a crash part way leaves nothing behind;
// elsewhere it is a hidden file that is removed on every failure.
class TemporaryFile {
public:
    explicit TemporaryFile(const QString& folder) : folder_(folder) {
        fd_ = ::open(folder.isEmpty() ? "." : native(folder).constData(),
                     O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        static const bool canLink = ::access("/proc/self/fd", X_OK) == 0;
        if (fd_ >= 0 && canLink) return;
        if (fd_ >= 0)
            ::close(fd_);
        else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(errno);
        for (int attempt = 0;; ++attempt) {
            name_ = temporaryName(folder_, attempt);
            fd_ = ::open(name_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd_ >= 0) return;
            if (errno != EEXIST || attempt >= 100) fail(errno);
        }
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.isEmpty()) ::unlink(name_.constData());
    }
    int fd() const { return fd_; }

    // Gives the file the name to: never over an existing file unless `replacing` names it.
    void place(const QString& to, const std::optional<FileId>& replacing) {
        const QByteArray target = native(to);
        // The old file is given up only for a copy that is on the disk.
        if (replacing && ::fdatasync(fd_) != 0) fail(errno);
        if (name_.isEmpty()) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
            if (!replacing) {
                // link(2) refuses an existing target, as the no-replace rename does.
                if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(),
                             AT_SYMLINK_FOLLOW) != 0)
                    fail(errno);
                const int closed = ::close(fd_);
                fd_ = -1;
                if (closed != 0) fail(errno);
                return;
            }
            for (int attempt = 0; name_.isEmpty(); ++attempt) {
                const QByteArray name = temporaryName(folder_, attempt);
                if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                             AT_SYMLINK_FOLLOW) == 0)
                    name_ = name;
                else if (errno != EEXIST || attempt >= 100)
                    fail(errno);
            }
        }
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0) fail(errno);
        if (replacing) {
            checkStillSame(to, *replacing);
            if (::rename(name_.constData(), target.constData()) != 0) fail(errno);
        } else {
            renameNoReplace(name_, target);
        }
        name_.clear();
    }

private:
    QString folder_;
    QByteArray name_; // empty while the file has no name
    int fd_ = -1;
};

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

} // namespace

// The existence test's rule for one literal path whose file name part is name.
static std::optional<FileId> ordinaryFile(const QString& path, const QString& name) {
    struct stat st;
    if (name.isEmpty() || isHiddenName(name) || ::stat(native(path).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return std::nullopt;
    return idOf(st);
}

std::optional<FileId> NativeFileSystem::probe(const QString& path) {
    return ordinaryFile(path, nameOfPath(path));
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

QStringList NativeFileSystem::listMatches(const QString& folder, const QString& namePattern) {
    QStringList paths;
    const int err = forEachMatch(folder, namePattern, [&](const QString& name) {
        paths.append(folder + name);
        return true;
    });
    if (err != 0) fail(err);
    return paths;
}

bool NativeFileSystem::sameFile(const QString& a, const QString& b) {
    if (a == b) return true;
    const auto ia = statFile(a), ib = statFile(b);
    return ia && ib && ia->device == ib->device && ia->inode == ib->inode;
}

void NativeFileSystem::rename(const QString& from, const QString& to,
                              const std::optional<FileId>& replacing) {
    const QByteArray f = native(from), t = native(to);
    if (!replacing) {
        renameNoReplace(f, t);
        return;
    }
    checkStillSame(to, *replacing);
    const std::optional<FileId> source = statFile(from);
    struct stat link;
    const bool targetIsLink = ::lstat(t.constData(), &link) == 0 && S_ISLNK(link.st_mode);
    if (!targetIsLink && source && source->device == replacing->device &&
        source->inode == replacing->inode) {
        // Two names of one file: a case-only change on a case-insensitive mount, or two
        // hard links. rename(2) would do nothing, so go through a temporary name.
        const QString folder = folderOfPath(to);
        QByteArray tmp;
        for (int attempt = 0;; ++attempt) {
            tmp = temporaryName(folder, attempt);
            const int err = moveNoReplace(f, tmp);
            if (err == 0) break;
            if (err != EEXIST || attempt >= 100) fail(err);
        }
        const int err = moveNoReplace(tmp, t);
        if (err == 0) return;
        const std::optional<FileId> target = statFile(to);
        if (err == EEXIST && target && target->inode == source->inode &&
            target->device == source->device) {
            ::unlink(tmp.constData()); // the target name already is this file
            return;
        }
        if (::rename(tmp.constData(), f.constData()) != 0)
            throw Failure{
                err, QString::fromLocal8Bit(std::strerror(err)) +
                         QStringLiteral(" (the file is left as '%1')").arg(QFile::decodeName(tmp))};
        fail(err);
    }
    // One step: the old target is gone only once the source has taken its place.
    if (::rename(f.constData(), t.constData()) != 0) fail(errno);
}

void NativeFileSystem::copy(const QString& from, const QString& to,
                            const std::optional<FileId>& replacing) {
    const int in = ::open(native(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) fail(errno);
    auto closeIn = qScopeGuard([in] { ::close(in); });
    struct stat st;
    if (::fstat(in, &st) != 0) fail(errno);

    TemporaryFile out(folderOfPath(to));
    std::vector<char> buffer(1 << 18);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail(errno);
        if (n == 0) break;
        writeAll(out.fd(), buffer.data(), n);
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::fchmod(out.fd(), st.st_mode & 07777) != 0 || ::futimens(out.fd(), times) != 0)
        fail(errno);
    out.place(to, replacing);
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace morvane
