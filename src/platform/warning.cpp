#include "warning.h"

#include <cerrno>
#include <unistd.h>

namespace morvane {

void warn(const QString& text) {
    const QByteArray line = "morvane: " + text.toUtf8() + '\n';
    for (qsizetype at = 0; at < line.size();) {
        const ssize_t n = ::write(STDERR_FILENO, line.constData() + at, size_t(line.size() - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // nowhere to say it
        at += n;
    }
}

} // namespace morvane
