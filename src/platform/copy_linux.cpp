#include "copy_linux.h"
#include "pathrules.h"
#include "tempfile_linux.h"

#include <QScopeGuard>

#include <linux/fs.h>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <utility>
#include <vector>

namespace morvane::posix {
namespace {

// Most files have no attributes of their own, or a few short ones: their names fit here.
constexpr size_t shortAttributeList = 4096;

// The user's own attributes, as opposed to the system's and the security modules'.
constexpr std::string_view userAttribute = "user.";

// A kernel copy goes in steps this large: few calls, yet cancellation and progress between.
constexpr size_t kernelCopyStep = size_t(1) << 23;

// The buffer of a copy by read and write, where the kernel copies nothing.
constexpr size_t copyBufferSize = size_t(1) << 18;

// All a chmod takes: the permissions and the set-id and sticky bits.
constexpr mode_t modeBits = S_ISUID | S_ISGID | S_ISVTX | S_IRWXU | S_IRWXG | S_IRWXO;

// The user's own extended attributes (a download's origin, tags) go with the copy where the
// target's file system takes them; like cp -a, a refusal is no reason to fail the copy.
void copyUserAttributes(int from, int to) {
    char shortList[shortAttributeList];
    std::vector<char> longList;
    char* names = shortList;
    ssize_t size = ::flistxattr(from, shortList, sizeof shortList);
    if (size < 0 && errno == ERANGE && (size = ::flistxattr(from, nullptr, 0)) > 0) {
        longList.resize(size_t(size));
        names = longList.data();
        size = ::flistxattr(from, names, longList.size());
    }
    std::vector<char> value;
    for (ssize_t at = 0; at < size; at += ssize_t(std::strlen(&names[at])) + 1) {
        const char* name = &names[at];
        if (std::strncmp(name, userAttribute.data(), userAttribute.size()) != 0) continue;
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0) continue;
        value.resize(size_t(length) + 1);
        const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
        if (got >= 0) ::fsetxattr(to, name, value.data(), size_t(got), 0);
    }
}

// Whether the kernel refused to copy this way here, so that another way must do.
bool refused(int err) {
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == ENOTTY;
}

// One step of a copy from in to out, by the kernel or through buffer: the bytes copied,
// 0 at the end, or -1 with errno set.
ssize_t copyStep(int in, int out, bool kernel, std::vector<char>& buffer) {
    if (kernel) return ::copy_file_range(in, nullptr, out, nullptr, kernelCopyStep, 0);
    buffer.resize(copyBufferSize);
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n > 0) writeAllOrFail(out, buffer.data(), n);
    return n;
}

// Copies the content of in to out from their current offsets. The kernel does it where it
// can: a clone shares the blocks at once (btrfs, XFS), copy_file_range spares the trip
// through this process; a read/write loop is left for where neither works. Between blocks
// a cancelled copy stops, and its unnamed file is dropped with the target untouched.
// Returns false when asked to clone and the file system refused it.
bool copyContent(int in, int out, qint64 size, bool clone, Progress& progress) {
    if (clone && ::ioctl(out, FICLONE, in) == 0) {
        progress.copying(size, size);
        return true;
    }
    const bool cloneRefused = clone && refused(errno);
    qint64 done = 0;
    std::vector<char> buffer;
    for (bool kernel = true;;) {
        if (progress.cancelled()) throw Cancelled{};
        const ssize_t n = copyStep(in, out, kernel, buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && kernel && refused(errno)) {
            kernel = false; // both offsets stand where the kernel left them
            continue;
        }
        if (n < 0) fail(errno);
        if (n == 0 && kernel && done < size) {
            kernel = false; // some file systems end a kernel copy early: read the rest
            continue;
        }
        if (n == 0) return !cloneRefused;
        progress.copying(done += n, size);
    }
}

} // namespace

void fillCopy(int in, const struct stat& st, int out, const QString& folder, Progress& progress) {
    // A folder that refused a clone from this device refuses it for every file of a folder
    // run: asked once. (copy_file_range still shares blocks where the file system can.)
    thread_local std::pair<dev_t, QString> noClone;
    const std::pair<dev_t, QString> route{st.st_dev, folder};
    if (!copyContent(in, out, st.st_size, route != noClone, progress)) noClone = route;
    // Kept where the file system can keep them, as cp -p does: FAT and many FUSE file
    // systems refuse them, and the copy still lands.
    const auto bestEffort = [](int result) {
        if (result != 0 && errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP &&
            errno != ENOSYS)
            fail(errno);
    };
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    bestEffort(::fchmod(out, st.st_mode & modeBits));
    bestEffort(::futimens(out, times));
    copyUserAttributes(in, out);
}

QString copyFile(const QString& from, const QString& to, const std::optional<FileId>& replacing,
                 Progress& progress, const NoteReplacement& note) {
    struct stat st;
    const int in = openSource(AT_FDCWD, native(from).constData(), st, [&] { return from; });
    auto closeIn = qScopeGuard([in] { ::close(in); });
    TemporaryFile out(to, replacing, note);
    fillCopy(in, st, out.fd(), folderOfPath(to), progress);
    return out.place(replacing, note);
}

} // namespace morvane::posix
