#pragma once

#include "failure.h"
#include "fileid.h"
#include "systemtext.h"

#include <QByteArray>
#include <QFile>
#include <QLatin1StringView>
#include <QString>

#include <sys/stat.h>

// What every file of the platform layer needs from the system alike: failures as Failure,
// names as the system spells them, identities from a status, whole writes and temporary names.
namespace morvane::posix {

constexpr qint64 nsPerSecond = 1000000000;

// errno value err as a Failure, with the system's text for it.
Failure systemFailure(int err);

// Throws systemFailure(err).
[[noreturn]] void fail(int err);

inline QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

inline FileId idOf(const struct stat& st) {
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino),
            static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * nsPerSecond + st.st_mtim.tv_nsec,
            static_cast<qint64>(st.st_ctim.tv_sec) * nsPerSecond + st.st_ctim.tv_nsec};
}

// Writes all n bytes at p to fd, again after a signal or a short write: false with errno set
// when the system refuses.
bool writeAll(int fd, const char* p, qsizetype n);

// The same, throwing the refusal as a Failure.
inline void writeAllOrFail(int fd, const char* p, qsizetype n) {
    if (!writeAll(fd, p, n)) fail(errno);
}

// A name beside path for a file on its way there: path, then tag, this process's id and
// tail, so that two running programs never pick the same one and whatever a crash leaves
// behind is known by its name.
QByteArray temporaryName(const QString& path, QLatin1StringView tag, const QString& tail);

} // namespace morvane::posix
