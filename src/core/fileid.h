#pragma once

#include <QtGlobal>
#include <optional>
#include <variant>

namespace morvane {

// Enough of a directory entry's status to tell whether it is still the one the user was
// asked about. For a symbolic link it is the link itself, which cannot change in place.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    // When its status last changed: a rename moves it, so it is no part of the identity.
    qint64 ctimeNs = 0;
    bool operator==(const FileId& o) const {
        return device == o.device && inode == o.inode && size == o.size && mtimeNs == o.mtimeNs;
    }
    // Whether `now` is this file, unchanged.
    bool isSameFile(const std::optional<FileId>& now) const { return now && *now == *this; }
};

// What a folder's listing knows of a file: where it is, and a time it had not reached when
// it was listed, and reaches once it is modified (a rename leaves the time as it is). A file
// dated ahead of the clock (a camera, a share, clock skew) is past that time already; the
// rename then stamped its status-change time before its date, which an edit never does: an
// edit moves both times to now.
struct ListedId {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 notModifiedSinceNs = 0;
    bool operator==(const ListedId&) const = default;
    // Whether `now` is this file, not modified since it was listed.
    bool isSameFile(const std::optional<FileId>& now) const {
        return now && now->device == device && now->inode == inode &&
               (now->mtimeNs < notModifiedSinceNs || now->mtimeNs > now->ctimeNs);
    }
};

// Whether a status call looks at a symbolic link itself, or at the file it leads to (what a
// copy of it holds).
enum class Links { Own, Followed };

// How a record knows its file again: by its whole status, or by what the listing knew.
using KnownId = std::variant<FileId, ListedId>;

inline bool isSameFile(const KnownId& id, const std::optional<FileId>& now) {
    return std::visit([&](const auto& known) { return known.isSameFile(now); }, id);
}

} // namespace morvane
