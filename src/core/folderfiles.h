#pragma once

#include "fileid.h"
#include "progress.h"

#include <QFile>
#include <QString>
#include <string>
#include <vector>

namespace morvane {

// The ordinary files of one folder with one extension, listed before any is touched: the
// names as the system spells them, one after another in one block, so that a folder of a
// million files costs a few bytes a file and no allocation each.
class FolderFiles {
public:
    explicit FolderFiles(const QString& folder) : folder_(folder) {}
    virtual ~FolderFiles() = default;
    qsizetype size() const { return qsizetype(ends_.size()); }
    // The bare name of file i, ended by a NUL.
    const char* name(qsizetype i) const { return names_.data() + start(i); }
    qsizetype nameSize(qsizetype i) const { return ends_[size_t(i)] - start(i); }
    // The full path, made only for what is shown or asked.
    QString path(qsizetype i) const { return folder_ + QFile::decodeName(name(i)); }
    const QString& folder() const { return folder_; } // as given, ending in the separator
    // A path that leads to the folder as it was opened, whatever its name leads to since,
    // ending in the separator; where the system has none, the folder as given. Whole paths
    // under it act in that folder; they are never shown or put on record.
    virtual QString openPath() const { return folder_; }
    // File i's device and inode as the listing gave them, where it gives them truly (where
    // the inode it lists is the one a status call shows).
    std::optional<ListedId> listedId(qsizetype i) const {
        if (!inodesTrue) return std::nullopt;
        return ListedId{device, inode(i), listedAtNs};
    }
    quint64 inode(qsizetype i) const { return inodes_[size_t(i)]; }
    void add(const char* name, qsizetype size, quint64 inode) {
        names_.append(name, size_t(size)).push_back('\0');
        ends_.push_back(quint32(names_.size() - 1));
        inodes_.push_back(inode);
    }
    // Room for about `bytes` of names in `entries` entries, taken from the system as it is
    // filled: a generous guess costs address space, not memory, and spares the copies of
    // growing.
    void reserve(qsizetype bytes, qsizetype entries) {
        names_.reserve(size_t(bytes));
        ends_.reserve(size_t(entries));
        inodes_.reserve(size_t(entries));
    }
    // Whether another name fits: the block is indexed by 32 bits.
    bool hasRoom() const { return names_.size() < (size_t(1) << 32) - 4096; }

    // The folder's own operations, on the folder as it was opened for the listing, whatever
    // its name leads to since. What each does is said with FileSystem's methods of the same
    // names.
    virtual int renameIn(qsizetype i, const char* to) const = 0;
    virtual int copyIn(qsizetype i, const char* to, Progress& progress) const = 0;
    virtual std::optional<FileId> identifyIn(const char* name, Links links) const = 0;

    quint64 device = 0;      // of the folder, and so of its files
    bool inodesTrue = false; // the listing's inodes are those a status call shows
    qint64 listedAtNs = 0;   // after the last modification of any listed file

private:
    qsizetype start(qsizetype i) const { return i == 0 ? 0 : ends_[size_t(i) - 1] + 1; }
    QString folder_;
    std::string names_;
    std::vector<quint32> ends_;
    std::vector<quint64> inodes_;
};

} // namespace morvane
