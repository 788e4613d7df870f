#pragma once

#include <QtGlobal>
#include <optional>

namespace morvane {

// Enough of a directory entry's status to tell whether it is still the one the user was
// asked about. For a symbolic link it is the link itself, which cannot change in place.
struct FileId {
    // Size not read: a folder's listing gives the inode alone, and mtimeNs is then a time
    // the file had not reached when it was listed, and reaches once it is modified.
    static constexpr qint64 unknown = -1;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    bool operator==(const FileId&) const = default;
    // Whether `now` is this file, unchanged as far as this identity can tell.
    bool isSameFile(const std::optional<FileId>& now) const {
        return now && now->device == device && now->inode == inode &&
               (size == unknown ? now->mtimeNs < mtimeNs
                                : now->size == size && now->mtimeNs == mtimeNs);
    }
};

} // namespace morvane
