#include "trash_folder.h"
#include "posix.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace morvane::posix {
namespace {

// What went to a Trash was someone's own: its folders are the user's alone.
constexpr mode_t ownFolder = 0700;

// A mounted file system: its device and, where the kernel tells it, the mount itself, so that
// a bind mount of the same device counts apart (a rename across one fails).
struct Mount {
    quint64 device = 0, id = 0;
    bool operator==(const Mount&) const = default;
};

int mountOf(const QString& path, Mount& mount) {
    struct statx sx;
    if (::statx(AT_FDCWD, native(path).constData(), 0, STATX_MNT_ID, &sx) != 0) return errno;
    mount.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    mount.id = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : 0;
    return 0;
}

QString parentOf(const QString& path) {
    return path.left(std::max<qsizetype>(path.lastIndexOf(QLatin1Char('/')), 1));
}

QString under(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The user's data folder: XDG_DATA_HOME where it is a whole path (a partial one does not
// count), else ~/.local/share. Never the current folder.
QString dataHome() {
    const QString set = qEnvironmentVariable("XDG_DATA_HOME");
    if (set.startsWith(QLatin1Char('/'))) return set;
    QString home = qEnvironmentVariable("HOME");
    if (!home.startsWith(QLatin1Char('/'))) {
        struct passwd entry, *found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
            home = QFile::decodeName(entry.pw_dir);
    }
    if (!home.startsWith(QLatin1Char('/'))) throw trashRefusal(ENOENT, "~/.local/share/Trash");
    return home + QStringLiteral("/.local/share");
}

// The mount of path, or of the nearest folder above it that exists.
Mount mountAtOrAbove(QString path, const QString& trash) {
    Mount mount;
    for (int err; (err = mountOf(path, mount)) != 0; path = parentOf(path))
        if ((err != ENOENT && err != ENOTDIR) || path == QLatin1String("/"))
            throw trashRefusal(err, trash);
    return mount;
}

// Makes path and the folders above it that are missing, each the user's alone.
void makeFolders(const QString& path, const QString& trash) {
    if (::mkdir(native(path).constData(), ownFolder) == 0 || errno == EEXIST) return;
    if (errno != ENOENT || path == QLatin1String("/")) throw trashRefusal(errno, trash);
    makeFolders(parentOf(path), trash);
    if (::mkdir(native(path).constData(), ownFolder) != 0 && errno != EEXIST)
        throw trashRefusal(errno, trash);
}

TrashFolder made(const QString& trash, const QString& top) {
    makeFolders(trash + QStringLiteral("/files"), trash);
    makeFolders(trash + QStringLiteral("/info"), trash);
    return {trash, top};
}

// The top of the mount that holds folder: the last folder up that is still on it.
QString topOf(QString folder, const Mount& mount) {
    Mount above;
    while (folder != QLatin1String("/") && mountOf(parentOf(folder), above) == 0 && above == mount)
        folder = parentOf(folder);
    return folder;
}

// 0 when path is a real folder of the user's own, else why it cannot be a Trash of theirs.
int ownFolderAt(const QString& path) {
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0) return errno;
    if (S_ISLNK(st.st_mode)) return ELOOP;
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    return st.st_uid == ::getuid() ? 0 : EPERM;
}

// top/.Trash/UID, where the administrator made top/.Trash for every user: only a real folder
// with the sticky bit, so that no user can take or empty another's.
QString sharedTrash(const QString& top, const QString& uid) {
    const QString shared = under(top, QStringLiteral(".Trash"));
    struct stat st;
    if (::lstat(native(shared).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        !(st.st_mode & S_ISVTX))
        return {};
    const QString own = shared + QLatin1Char('/') + uid;
    if (::mkdir(native(own).constData(), ownFolder) != 0 && errno != EEXIST) return {};
    return ownFolderAt(own) == 0 ? own : QString();
}

// top/.Trash-UID, made where missing. A top that refuses it has no Trash: the empty text.
QString userTrash(const QString& top, const QString& uid) {
    const QString own = under(top, QStringLiteral(".Trash-") + uid);
    if (::mkdir(native(own).constData(), ownFolder) != 0 && errno != EEXIST) {
        if (errno == EACCES || errno == EPERM || errno == EROFS) return {};
        throw trashRefusal(errno, own);
    }
    if (const int err = ownFolderAt(own)) throw trashRefusal(err, own);
    return own;
}

} // namespace

Failure trashRefusal(int err, const QString& trash) {
    //: %1 is the system's reason, %2 the Trash's folder.
    return {err, QCoreApplication::translate("Failures", "%1 (the Trash at '%2')")
                     .arg(systemErrorText(err), trash)};
}

TrashFolder trashFolderFor(const QString& folder) {
    Mount mount;
    if (const int err = mountOf(folder, mount)) fail(err);
    const QString home = dataHome() + QStringLiteral("/Trash");
    if (mountAtOrAbove(home, home) == mount) return made(home, {});
    const QString top = topOf(folder, mount), uid = QString::number(::getuid());
    QString trash = sharedTrash(top, uid);
    if (trash.isEmpty()) trash = userTrash(top, uid);
    return trash.isEmpty() ? TrashFolder{} : made(trash, top);
}

} // namespace morvane::posix
