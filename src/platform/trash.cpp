#include "trash.h"
#include "moves_linux.h"
#include "pathrules.h"
#include "posix.h"
#include "trash_folder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::posix {
namespace {

// Names tried in one Trash before giving up: more means something else is wrong.
constexpr int lastName = 100;

// A record is the user's alone, as what it names was.
constexpr mode_t ownRecord = 0600;

// Now, local time, as the Trash's records give it.
QByteArray deletionDate() {
    const time_t now = ::time(nullptr);
    struct tm local {};
    char text[32];
    ::localtime_r(&now, &local);
    return {text, qsizetype(::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local))};
}

// What the Trash knows of a file: the place it left, percent-encoded with its separators
// kept, from the mount's top where the Trash is the mount's own; and when.
QByteArray record(const QString& original, const TrashFolder& trash) {
    QByteArray path = native(original);
    if (!trash.top.isEmpty())
        path = path.mid(native(trash.top).size() + (trash.top.endsWith(QLatin1Char('/')) ? 0 : 1));
    return "[Trash Info]\nPath=" + path.toPercentEncoding("/") +
           "\nDeletionDate=" + deletionDate() + '\n';
}

// Creates the record at info, never over another, whole and on the disk: 0, or the errno.
int writeRecord(const QString& info, const QByteArray& content) {
    const QByteArray at = native(info);
    const int fd = ::open(at.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownRecord);
    if (fd < 0) return errno;
    int err = writeAll(fd, content.constData(), content.size()) && ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) ::unlink(at.constData());
    return err;
}

// The real folder of path, links resolved, so that the mount and its top are found.
QString realFolderOf(const QString& path) {
    const QString folder = folderOfPath(path);
    char real[PATH_MAX];
    if (!::realpath(folder.isEmpty() ? "." : native(folder).constData(), real)) fail(errno);
    return QFile::decodeName(real);
}

} // namespace

QString trashInfoOf(const QString& inTrash) {
    const QString files = folderOfPath(inTrash);
    return folderOfPath(files.chopped(1)) + QStringLiteral("info/") + nameOfPath(inTrash) +
           QStringLiteral(".trashinfo");
}

TrashSlot reserve(const QString& original) {
    const QString folder = realFolderOf(original), name = nameOfPath(original);
    const TrashFolder trash = trashFolderFor(folder);
    if (trash.path.isEmpty()) return {};
    const QByteArray content =
        record(folder + (folder.endsWith(QLatin1Char('/')) ? "" : "/") + name, trash);
    for (int n = 1; n <= lastName; ++n) {
        const QString as = n == 1 ? name : name + QLatin1Char('.') + QString::number(n);
        const TrashSlot slot{trash.path + QStringLiteral("/files/") + as,
                             trash.path + QStringLiteral("/info/") + as +
                                 QStringLiteral(".trashinfo")};
        const int err = writeRecord(slot.info, content);
        if (err == EEXIST) continue;
        if (err != 0) throw trashRefusal(err, trash.path);
        struct stat st;
        if (::lstat(native(slot.file).constData(), &st) != 0) return slot;
        release(slot); // a file left there without its record still holds the name
    }
    throw trashRefusal(EEXIST, trash.path);
}

int commit(const TrashSlot& slot, int dir, const char* name) {
    return moveNoReplaceAt(dir, name, native(slot.file));
}

void release(const TrashSlot& slot) {
    ::unlink(native(slot.info).constData());
}

Failure refusal(const TrashSlot& slot, int err) {
    return trashRefusal(err, folderOfPath(folderOfPath(slot.file).chopped(1)).chopped(1));
}

int takeBack(const QString& inTrash, const QByteArray& to) {
    const int err = moveNoReplace(native(inTrash), to);
    if (err == 0) ::unlink(native(trashInfoOf(inTrash)).constData());
    return err;
}

} // namespace morvane::posix
