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
                                 const std::optional<FileId>& replacing,
                                 const NoteReplacement& note) {
    const QByteArray f = native(from), t = native(to);
    if (replacing && !sameEntry(from, to)) return replaceAsked(f, to, *replacing, note);
    if (!replacing) renameNoReplace(f, t);
    if (!replacing || from == to) return {};
    renameCaseOnly(f, to);
    return {};
}

QString NativeFileSystem::copy(const QString& from, const QString& to,
                               const std::optional<FileId>& replacing, Progress& progress,
                               const NoteReplacement& note) {
    return copyFile(from, to, replacing, progress, note);
}

void NativeFileSystem::exchange(const QString& a, const QString& b) {
    if (::renameat2(AT_FDCWD, native(a).constData(), AT_FDCWD, native(b).constData(),
                    RENAME_EXCHANGE) != 0)
        fail(errno);
}

std::optional<FileId> NativeFileSystem::identify(const QString& path, Links links) {
    struct stat st;
    const QByteArray p = native(path);
    if ((links == Links::Own ? ::lstat(p.constData(), &st) : ::stat(p.constData(), &st)) != 0)
        return std::nullopt;
    return idOf(st);
}

void NativeFileSystem::link(const QString& existing, const QString& to) {
    if (::link(native(existing).constData(), native(to).constData()) != 0) fail(errno);
}

void NativeFileSystem::remove(const QString& path) {
    if (::unlink(native(path).constData()) != 0) fail(errno);
}

void NativeFileSystem::untrash(const QString& trashed, const QString& to) {
    if (const int err = takeBack(trashed, native(to))) fail(err);
}

void NativeFileSystem::releaseTrash(const QString& trashed) {
    struct stat st;
    if (::lstat(native(trashed).constData(), &st) != 0 && errno == ENOENT)
        release(TrashSlot{trashed, trashInfoOf(trashed)});
}

} // namespace morvane
