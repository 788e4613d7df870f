#pragma once

#include "failure.h"
#include "fileid.h"
#include "replacement.h"

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

// Files on their way to their final name: unnamed where the system allows, else under a
// visible temporary name beside the target.
namespace morvane::posix {

// Permissions of a file on its way: the user's alone until it is whole.
constexpr mode_t fileOnItsWay = 0600;

// Calls move(name) with free temporary names for target until it no longer finds the name
// taken; returns the name used.
QByteArray withTemporaryName(const QString& target,
                             const std::function<int(const QByteArray&)>& move);

// An unnamed file is given its name through /proc, which a chroot or a sandbox may lack.
inline bool canNameUnnamed() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

// Whether a folder's file system makes no unnamed files, so that a named one must do.
inline bool unnamedRefused(int err) {
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL;
}

// Gives the unnamed file fd the bare name `name` in folder dir, never over an existing entry.
int nameUnnamed(int fd, int dir, const char* name);

// A file that becomes visible only whole, under its final name. Where the system allows,
// it has no name at all until then, so that a crash part way leaves nothing behind;
// elsewhere it has a temporary name that is removed on every failure.
class TemporaryFile {
public:
    // A file that is to replace `replacing` at `to` tells `note` of each temporary name before
    // it is made, so that a crash leaves none unknown.
    explicit TemporaryFile(const QString& to, const std::optional<FileId>& replacing = {},
                           const NoteReplacement& note = {});
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    int fd() const { return fd_; }

    // Gives the file its final name: never over an existing file unless `replacing` names it.
    // Returns where the replaced file went.
    QString place(const std::optional<FileId>& replacing, const NoteReplacement& note = {});

    // Makes the file's temporary name with make(name), noting it first.
    void nameAside(const std::function<int(const QByteArray&)>& make);

private:
    int close();

    QString to_;
    std::optional<FileId> replacing_;
    NoteReplacement note_;
    QByteArray name_; // empty while the file has no name
    int fd_ = -1;
    struct stat own_ {};
};

} // namespace morvane::posix
