#pragma once

#include "failure.h"
#include "fileid.h"
#include "posix.h"
#include "progress.h"
#include "replacement.h"

#include <QCoreApplication>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The copy of a file's content and what cp -p keeps with it.
namespace morvane::posix {

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
    throw Failure{err, QCoreApplication::translate("Failures", "%1: '%2' is not an ordinary file")
                           .arg(systemErrorText(err), pathOf())};
}

// Fills out with the content of in, whose status is st, and its permissions, times and user
// attributes, as cp -p does; folder is out's.
void fillCopy(int in, const struct stat& st, int out, const QString& folder, Progress& progress);

// Copies from to to through a temporary file, as NativeFileSystem::copy does.
QString copyFile(const QString& from, const QString& to, const std::optional<FileId>& replacing,
                 Progress& progress, const NoteReplacement& note = {});

} // namespace morvane::posix
