#include "copy_linux.h"
#include "filesystem.h"
#include "listing_linux.h"
#include "moves_linux.h"
#include "pathrules.h"
#include "posix.h"
#include "tempfile_linux.h"
#include "trash.h"

#include <QScopeGuard>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// NativeFileSystem's calls, each the one system call it comes to or a few steps of the
// platform's helpers.
namespace morvane {

using namespace posix;

std::optional<FileId> NativeFileSystem::probe(const QString& path) {
    int err = 0;
    const auto id = ordinaryFile(path, nameOfPath(path), &err);
    if (err != 0) fail(err);
    return id;
}

QStringList NativeFileSystem::listMatches(const QString& folder, const QString& namePattern,
                                          Progress& progress) {
    return posix::listMatches(folder, namePattern, progress);
}

std::unique_ptr<FolderFiles>
NativeFileSystem::listExtension(const QString& folder, const QString& ext, Progress& progress) {
    return posix::listExtension(folder, ext, progress);
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
    renameCaseOnly(f, to);
    return {};
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
    int out =
        canNameUnnamed() ? ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, fileOnItsWay) : -1;
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
    if (const int err = takeBack(trashed, native(to))) fail(err);
}

} // namespace morvane
