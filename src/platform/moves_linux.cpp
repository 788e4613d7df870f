#include "moves_linux.h"
#include "posix.h"
#include "tempfile_linux.h"
#include "trash.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::posix {
namespace {

// Whether a rename with flags failed only because this file system does not take them.
bool flagsRefused(int err) {
    return err == EINVAL || err == ENOSYS;
}

int exchange(const QByteArray& a, const QByteArray& b) {
    return ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE);
}

// A place in the Trash, given up again unless the replaced file went there.
struct Reserved {
    TrashSlot slot;
    bool taken = false;
    ~Reserved() {
        if (!taken && !slot.file.isEmpty()) release(slot);
    }
    int commit(const QByteArray& at) {
        const int err = posix::commit(slot, AT_FDCWD, at.constData());
        taken = err == 0;
        return err;
    }
};

// After an exchange that must not stand: swaps the two back and throws why; where even that
// fails, the message says where each file now is.
[[noreturn]] void exchangeBack(const QByteArray& from, const QByteArray& target, const QString& to,
                               const Failure& why) {
    if (exchange(from, target) != 0)
        throw Failure{why.number, QCoreApplication::translate(
                                      "Failures", "%1 (the file that was at '%2' is now '%3')")
                                      .arg(why.description, to, QFile::decodeName(from))};
    throw why;
}

// The exchange way: from and target have been exchanged, and what came out at from is
// checked to be the file asked about before it goes to its place in the Trash; another entry
// is put back, and so are both where the Trash does not take it.
QString replaceExchanged(const QByteArray& from, const QByteArray& target, const QString& to,
                         const FileId& asked, Reserved& trash) {
    // Exchanged; two links to one file are not exchanged at all, and then the source link
    // simply goes.
    int err = checkAsked(from, asked);
    if (err == 0) {
        struct stat now;
        const bool sameFile = ::lstat(target.constData(), &now) == 0 && idOf(now) == asked;
        if (!sameFile && !trash.slot.file.isEmpty()) {
            if ((err = trash.commit(from)) == 0) return trash.slot.file;
            exchangeBack(from, target, to, refusal(trash.slot, err));
        }
        if (::unlink(from.constData()) == 0) return {};
        err = errno;
    }
    exchangeBack(from, target, to, askedFailure(err, to));
}

// The no-exchange way, for a file system without one: the target is checked as close to
// the move as can be, and what went to the Trash is checked again.
QString replaceUnexchanged(const QByteArray& from, const QByteArray& target, const QString& to,
                           const FileId& asked, Reserved& trash) {
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
    if (trash.slot.file.isEmpty()) {
        if (::rename(from.constData(), target.constData()) != 0) fail(errno);
        return {};
    }
    if (const int err = trash.commit(target)) throw refusal(trash.slot, err);
    // What went to the Trash must be the file asked about, and the name must stay free.
    const QString& trashed = trash.slot.file;
    const int err = checkAsked(native(trashed), asked);
    const int moved = err == 0 ? moveNoReplace(from, target) : err;
    if (moved == 0) return trashed;
    takeBack(trashed, target);
    failAsked(moved, to);
}

} // namespace

int moveNoReplaceAt(int dir, const char* from, const QByteArray& to) {
    if (::renameat2(dir, from, AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
    if (!flagsRefused(errno)) return errno;
    // The file system cannot refuse a target on rename; a hard link refuses it the same way.
    if (::linkat(dir, from, AT_FDCWD, to.constData(), 0) != 0) return errno;
    if (::unlinkat(dir, from, 0) != 0) {
        const int err = errno;
        struct stat st;
        if (::fstatat(dir, from, &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
            return 0; // gone meanwhile
        ::unlink(to.constData());
        return err;
    }
    return 0;
}

int moveNoReplace(const QByteArray& from, const QByteArray& to) {
    return moveNoReplaceAt(AT_FDCWD, from.constData(), to);
}

void renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (const int err = moveNoReplace(from, to)) fail(err);
}

int checkAsked(const QByteArray& path, const FileId& asked) {
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) return errno;
    return idOf(st) == asked ? 0 : ECANCELED;
}

Failure askedFailure(int err, const QString& target) {
    if (err != ECANCELED) return systemFailure(err);
    return {ECANCELED, QCoreApplication::translate(
                           "Failures", "%1: '%2' changed after the question and was left as it is")
                           .arg(systemErrorText(ECANCELED), target)};
}

void failAsked(int err, const QString& target) {
    throw askedFailure(err, target);
}

// Where the replaced file will go is settled first: a Trash that does not take it leaves both
// files as they were. The two are exchanged, then what came out is checked, so nothing can
// slip in between the check and the replacement.
QString replaceAsked(const QByteArray& from, const QString& to, const FileId& asked,
                     const NoteReplacement& note) {
    const QByteArray target = native(to);
    Reserved trash{reserve(to)};
    if (note) note({asked, QFile::decodeName(from), trash.slot.file});
    if (exchange(from, target) == 0) return replaceExchanged(from, target, to, asked, trash);
    if (errno == ENOENT) {
        renameNoReplace(from, target);
        return {};
    }
    if (!flagsRefused(errno) && errno != EOPNOTSUPP) fail(errno);
    // No exchange on this file system: check as close to the move as can be.
    return replaceUnexchanged(from, target, to, asked, trash);
}

void renameCaseOnly(const QByteArray& from, const QString& to) {
    // A case-only change on a case-insensitive folder: rename(2) would keep the old
    // spelling, so the file goes through a visible name beside its target.
    const QByteArray tmp =
        withTemporaryName(to, [&](const QByteArray& name) { return moveNoReplace(from, name); });
    const int err = moveNoReplace(tmp, native(to));
    if (err == 0) return;
    if (moveNoReplace(tmp, from) != 0)
        throw Failure{err, QCoreApplication::translate("Failures", "%1 (the file is left as '%2')")
                               .arg(systemErrorText(err), QFile::decodeName(tmp))};
    fail(err);
}

} // namespace morvane::posix
