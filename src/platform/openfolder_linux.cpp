#include "openfolder_linux.h"
#include "copy_linux.h"
#include "posix.h"
#include "tempfile_linux.h"

#include <QScopeGuard>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace morvane::posix {

int OpenFolder::renameIn(qsizetype i, const char* to) const {
    return ::renameat2(fd, name(i), fd, to, RENAME_NOREPLACE) == 0 ? 0 : errno;
}

QString OpenFolder::openPath() const {
    // The folder's descriptor, as /proc shows it: a path through the open folder itself.
    if (!canNameUnnamed()) return folder();
    return QStringLiteral("/proc/self/fd/%1/").arg(fd);
}

std::optional<FileId> OpenFolder::identifyIn(const char* name, Links links) const {
    struct stat st;
    if (::fstatat(fd, name, &st, links == Links::Own ? AT_SYMLINK_NOFOLLOW : 0) != 0)
        return std::nullopt;
    return idOf(st);
}

int OpenFolder::copyIn(qsizetype i, const char* to, Progress& progress) const {
    int out =
        canNameUnnamed() ? ::openat(fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, fileOnItsWay) : -1;
    if (out < 0) {
        if (canNameUnnamed() && !unnamedRefused(errno)) fail(errno);
        // No unnamed file here: the way through a temporary name.
        try {
            copyFile(path(i), folder() + QFile::decodeName(to), std::nullopt, progress);
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
    const int in = openSource(fd, name(i), st, [&] { return path(i); });
    auto closeIn = qScopeGuard([in] { ::close(in); });
    fillCopy(in, st, out, folder(), progress);
    if (const int err = nameUnnamed(out, fd, to)) {
        if (err == EEXIST) return EEXIST;
        fail(err);
    }
    const int closed = ::close(out);
    out = -1;
    if (closed != 0) fail(errno);
    return 0;
}

} // namespace morvane::posix
