#include "posix.h"

#include <cerrno>
#include <unistd.h>

namespace morvane::posix {

Failure systemFailure(int err) {
    return {err, systemErrorText(err)};
}

void fail(int err) {
    throw systemFailure(err);
}

bool writeAll(int fd, const char* p, qsizetype n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, p, static_cast<size_t>(n));
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) return false;
        p += done;
        n -= done;
    }
    return true;
}

QByteArray temporaryName(const QString& path, QLatin1StringView tag, const QString& tail) {
    return QFile::encodeName(path + tag + QString::number(::getpid()) + tail);
}

} // namespace morvane::posix
