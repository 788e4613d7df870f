#include "errortexts.h"

#include <QtGlobal>

#include <cerrno>

namespace morvane {
namespace {

struct Known {
    int err;
    const char* text;
};

// The C library's English words, so that a translator sees what an English user reads.
constexpr Known known[] = {
    {EPERM, QT_TRANSLATE_NOOP("SystemErrors", "Operation not permitted")},
    {ENOENT, QT_TRANSLATE_NOOP("SystemErrors", "No such file or directory")},
    {EINTR, QT_TRANSLATE_NOOP("SystemErrors", "Interrupted system call")},
    {EIO, QT_TRANSLATE_NOOP("SystemErrors", "Input/output error")},
    {ENXIO, QT_TRANSLATE_NOOP("SystemErrors", "No such device or address")},
    {EBADF, QT_TRANSLATE_NOOP("SystemErrors", "Bad file descriptor")},
    {EAGAIN, QT_TRANSLATE_NOOP("SystemErrors", "Resource temporarily unavailable")},
    {ENOMEM, QT_TRANSLATE_NOOP("SystemErrors", "Cannot allocate memory")},
    {EACCES, QT_TRANSLATE_NOOP("SystemErrors", "Permission denied")},
    {EBUSY, QT_TRANSLATE_NOOP("SystemErrors", "Device or resource busy")},
    {EEXIST, QT_TRANSLATE_NOOP("SystemErrors", "File exists")},
    {EXDEV, QT_TRANSLATE_NOOP("SystemErrors", "Invalid cross-device link")},
    {ENODEV, QT_TRANSLATE_NOOP("SystemErrors", "No such device")},
    {ENOTDIR, QT_TRANSLATE_NOOP("SystemErrors", "Not a directory")},
    {EISDIR, QT_TRANSLATE_NOOP("SystemErrors", "Is a directory")},
    {EINVAL, QT_TRANSLATE_NOOP("SystemErrors", "Invalid argument")},
    {ENFILE, QT_TRANSLATE_NOOP("SystemErrors", "Too many open files in system")},
    {EMFILE, QT_TRANSLATE_NOOP("SystemErrors", "Too many open files")},
    {ETXTBSY, QT_TRANSLATE_NOOP("SystemErrors", "Text file busy")},
    {EFBIG, QT_TRANSLATE_NOOP("SystemErrors", "File too large")},
    {ENOSPC, QT_TRANSLATE_NOOP("SystemErrors", "No space left on device")},
    {EROFS, QT_TRANSLATE_NOOP("SystemErrors", "Read-only file system")},
    {EMLINK, QT_TRANSLATE_NOOP("SystemErrors", "Too many links")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("SystemErrors", "File name too long")},
    {ENOLCK, QT_TRANSLATE_NOOP("SystemErrors", "No locks available")},
    {ENOSYS, QT_TRANSLATE_NOOP("SystemErrors", "Function not implemented")},
    {ENOTEMPTY, QT_TRANSLATE_NOOP("SystemErrors", "Directory not empty")},
    {ELOOP, QT_TRANSLATE_NOOP("SystemErrors", "Too many levels of symbolic links")},
    {ENODATA, QT_TRANSLATE_NOOP("SystemErrors", "No data available")},
    {EOVERFLOW, QT_TRANSLATE_NOOP("SystemErrors", "Value too large for defined data type")},
    {EILSEQ,
     QT_TRANSLATE_NOOP("SystemErrors", "Invalid or incomplete multibyte or wide character")},
    {EOPNOTSUPP, QT_TRANSLATE_NOOP("SystemErrors", "Operation not supported")},
    {ENOTCONN, QT_TRANSLATE_NOOP("SystemErrors", "Transport endpoint is not connected")},
    {ETIMEDOUT, QT_TRANSLATE_NOOP("SystemErrors", "Connection timed out")},
    {ESTALE, QT_TRANSLATE_NOOP("SystemErrors", "Stale file handle")},
    {EDQUOT, QT_TRANSLATE_NOOP("SystemErrors", "Disk quota exceeded")},
    {ECANCELED, QT_TRANSLATE_NOOP("SystemErrors", "Operation canceled")},
};

} // namespace

const char* errorTextKey(int err) {
    for (const Known& k : known)
        if (k.err == err) return k.text;
    return nullptr;
}

} // namespace morvane
