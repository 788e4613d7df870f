#include "tempfile_linux.h"
#include "moves_linux.h"
#include "pathrules.h"
#include "posix.h"

#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <string_view>

namespace morvane::posix {
namespace {

// Taken names tried before giving up: more means something else is wrong.
constexpr int lastAttempt = 100;

// The way to an open file through /proc, for one that has no name.
constexpr std::string_view procSelfFd = "/proc/self/fd/";

} // namespace

QByteArray withTemporaryName(const QString& target,
                             const std::function<int(const QByteArray&)>& move) {
    for (int attempt = 0;; ++attempt) {
        // A free name for a file on its way to target: visible and next to it, so that
        // whatever a crash leaves there is found and understood.
        const QByteArray name = temporaryName(target, QLatin1StringView(".morvane-"),
                                              QLatin1Char('-') + QString::number(attempt));
        const int err = move(name);
        if (err == 0) return name;
        if (err != EEXIST || attempt >= lastAttempt) fail(err);
    }
}

int nameUnnamed(int fd, int dir, const char* name) {
    // The digits of any descriptor, and the NUL.
    char self[procSelfFd.size() + std::numeric_limits<int>::digits10 + 2];
    std::memcpy(self, procSelfFd.data(), procSelfFd.size());
    *std::to_chars(self + procSelfFd.size(), self + sizeof self - 1, fd).ptr = '\0';
    return ::linkat(AT_FDCWD, self, dir, name, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

TemporaryFile::TemporaryFile(const QString& to, const std::optional<FileId>& replacing,
                             const NoteReplacement& note)
    : to_(to), replacing_(replacing), note_(note) {
    const QString folder = folderOfPath(to);
    fd_ = ::open(folder.isEmpty() ? "." : native(folder).constData(),
                 O_TMPFILE | O_WRONLY | O_CLOEXEC, fileOnItsWay);
    if (fd_ >= 0 && canNameUnnamed()) return;
    if (fd_ >= 0)
        ::close(fd_);
    else if (!unnamedRefused(errno))
        fail(errno);
    nameAside([this](const QByteArray& name) {
        fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, fileOnItsWay);
        return fd_ >= 0 ? 0 : errno;
    });
}

void TemporaryFile::nameAside(const std::function<int(const QByteArray&)>& make) {
    name_ = withTemporaryName(to_, [&](const QByteArray& name) {
        if (replacing_ && note_) note_({*replacing_, QFile::decodeName(name), {}});
        return make(name);
    });
}

TemporaryFile::~TemporaryFile() {
    if (fd_ >= 0) close();
    // Only while the name still holds this file: after a failed exchange it may hold
    // the one that was to be replaced.
    struct stat st;
    if (!name_.isEmpty() && ::lstat(name_.constData(), &st) == 0 && st.st_dev == own_.st_dev &&
        st.st_ino == own_.st_ino)
        ::unlink(name_.constData());
}

QString TemporaryFile::place(const std::optional<FileId>& replacing, const NoteReplacement& note) {
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
        nameAside(linkTo);
    }
    if (close() != 0) fail(errno);
    QString trashed;
    if (replacing)
        trashed = replaceAsked(name_, to_, *replacing, note);
    else
        renameNoReplace(name_, target);
    name_.clear();
    return trashed;
}

int TemporaryFile::close() {
    if (!name_.isEmpty()) ::fstat(fd_, &own_); // what the destructor may remove
    const int closed = ::close(fd_);
    fd_ = -1;
    return closed;
}

} // namespace morvane::posix
