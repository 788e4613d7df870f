#include "journal_folder.h"
#include "journal_read.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::journal {
namespace {

// The journal and its folder are the user's alone, as the base directory rules ask.
constexpr mode_t privateFolder = 0700;
constexpr mode_t privateFile = 0600;

bool makeDir(const QByteArray& dir) {
    if (::mkdir(dir.constData(), privateFolder) == 0 || errno == EEXIST) return true;
    const qsizetype slash = dir.lastIndexOf('/');
    return errno == ENOENT && slash > 0 && makeDir(dir.left(slash)) &&
           (::mkdir(dir.constData(), privateFolder) == 0 || errno == EEXIST);
}

// Whole-file lock of this open file description: held by no other, even in this process.
bool lock(int fd, short type) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &l) == 0;
}

bool leftover(const QString& name) {
    return name.startsWith(QLatin1String("last-change.")) && name.endsWith(QLatin1String(".new"));
}

} // namespace

QString newName(const QString& changes, qint64 nudge) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ns = qint64(now.tv_sec) * 1000000000 + now.tv_nsec + nudge;
    return changes + QStringLiteral("/%1-%2").arg(ns, 20, 10, QLatin1Char('0')).arg(::getpid());
}

QString changesOf(const QString& folder) {
    return folder + QStringLiteral("/changes");
}

QString legacyOf(const QString& folder) {
    return folder + QStringLiteral("/last-change");
}

bool makeFolder(const QString& folder) {
    return makeDir(QFile::encodeName(folder));
}

QStringList records(const QString& folder) {
    const QString changes = changesOf(folder);
    QStringList names = QDir(changes).entryList(QDir::Files | QDir::Hidden | QDir::System);
    // Their names begin with the time, all of one width.
    std::sort(names.begin(), names.end(), std::greater<>());
    QStringList paths;
    for (const QString& name : names)
        if (!name.startsWith(QLatin1Char('.'))) paths.append(changes + QLatin1Char('/') + name);
    if (QFileInfo::exists(legacyOf(folder))) paths.append(legacyOf(folder));
    return paths;
}

int openLocked(const QString& path, bool* held) {
    *held = false;
    const QByteArray name = QFile::encodeName(path);
    // Not blocking on a named pipe put in its place.
    const int flags = O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(name.constData(), O_RDWR | O_APPEND | flags); // an undo marks its end
    bool writable = fd >= 0;
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(name.constData(), O_RDONLY | flags);
    if (fd < 0) return -1;
    if (lock(fd, writable ? F_WRLCK : F_RDLCK)) return fd;
    const int err = errno;
    ::close(fd);
    *held = err == EAGAIN || err == EACCES;
    errno = err;
    return -1;
}

int createRecord(const QString& folder, QString* path) {
    const QString changes = changesOf(folder);
    if (!makeDir(QFile::encodeName(changes))) return -1;
    for (qint64 nudge = 0; nudge < 100; ++nudge) {
        *path = newName(changes, nudge);
        const int fd = ::open(QFile::encodeName(*path).constData(),
                              O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, privateFile);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return -1;
        // Another window's prune may have taken it, empty, before the lock: make another.
        struct stat st;
        if (lock(fd, F_WRLCK) && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

void prune(const QString& folder) {
    const QStringList all = records(folder);
    for (qsizetype i = 0; i < all.size(); ++i) {
        bool held = false;
        const int fd = openLocked(all[i], &held);
        if (fd < 0) continue;
        const bool headless = !all[i].endsWith(markerSuffix) && glance(fd).ending == Ending::None;
        if (i >= recordsKept - 1 || headless) ::unlink(QFile::encodeName(all[i]).constData());
        ::close(fd);
    }
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (leftover(name)) dir.remove(name); // a half-made record of an earlier version
}

} // namespace morvane::journal
