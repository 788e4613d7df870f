#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the extension change needs from the outside world, as small interfaces, so that
// the operation can be driven by tests with real folders and scripted answers.
namespace morvane {

// A refusal by the operating system: its error number and its text.
struct Failure {
    int number = 0;
    QString description;
};

// "Error 13: Permission denied"
inline QString errorText(const Failure& f) {
    return QStringLiteral("Error %1: %2").arg(f.number).arg(f.description);
}

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

// What a change reports while it runs, and how it is asked to stop. Called on the thread
// that runs the change, for every file: an implementation keeps each call cheap. This one
// reports nowhere and never stops.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void reading(qint64 found) { Q_UNUSED(found) } // names found while listing
    virtual void changing(qint64 number, qint64 total, const QString& path) {
        Q_UNUSED(number)
        Q_UNUSED(total)
        Q_UNUSED(path)
    }
    // Whether the next changing() should be given the file's path: a folder run makes the
    // path of a file only when it is to be shown, and passes a null text otherwise.
    virtual bool wantsPath() const { return false; }
    virtual void copying(qint64 done, qint64 size) {
        Q_UNUSED(done)
        Q_UNUSED(size)
    }
    virtual bool cancelled() const { return false; }
};

inline Progress& noProgress() {
    static Progress none;
    return none;
}

// Thrown at the next safe point once Progress::cancelled() says so.
struct Cancelled {};

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
    // File i's device and inode as the listing gave them, where it gives them truly (where
    // the inode it lists is the one a status call shows).
    std::optional<FileId> listedId(qsizetype i) const {
        if (!inodesTrue) return std::nullopt;
        return FileId{device, inode(i), FileId::unknown, listedAtNs};
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

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The existence test for one literal path: the identity of the entry if it names an
    // ordinary file (a regular file, links followed, whose name is not hidden), or nothing.
    // Throws Failure when the status call itself fails for another reason than a missing name.
    virtual std::optional<FileId> probe(const QString& path) = 0;
    // The ordinary files of folder whose extension is exactly ext, in listing order, with
    // the folder kept open for renameIn and identifyIn; names that are not valid in the
    // system's encoding are left out. Throws Failure, or Cancelled.
    virtual std::unique_ptr<FolderFiles> listExtension(const QString& folder, const QString& ext,
                                                       Progress& progress = noProgress()) = 0;
    // Moves file i of files to `to`, a bare name in the same folder, never over an existing
    // entry: 0, or the error number (EEXIST when the name is taken). Never throws.
    virtual int renameIn(const FolderFiles& files, qsizetype i, const char* to) = 0;
    // Copies file i of files to `to` as copy() does with nothing to replace: 0, or EEXIST when
    // the name is taken, and then nothing is left behind. Throws Failure, or Cancelled.
    virtual int copyIn(const FolderFiles& files, qsizetype i, const char* to,
                       Progress& progress = noProgress()) = 0;
    // The identity of the entry named `name` (a bare name) in the folder of files.
    virtual std::optional<FileId> identifyIn(const FolderFiles& files, const char* name) = 0;
    // Whether both paths name one directory entry: equal texts, or names that differ only in
    // case on a case-insensitive folder. Two links to one file are two entries.
    virtual bool sameEntry(const QString& a, const QString& b) = 0;
    // Moves from to to. Without `replacing` an existing target is never replaced; with it,
    // exactly that entry is replaced, in one step, or nothing happens; a target gone
    // meanwhile is nothing to replace. The replaced file goes to the Trash: returns where,
    // or the empty text when nothing was replaced or no Trash could take it. Throws Failure.
    virtual QString rename(const QString& from, const QString& to,
                           const std::optional<FileId>& replacing) = 0;
    // Copies from to to through a temporary file, keeping permissions and modification
    // time; `replacing` and the result as for rename. Throws Failure, or Cancelled with the
    // target as it was.
    virtual QString copy(const QString& from, const QString& to,
                         const std::optional<FileId>& replacing,
                         Progress& progress = noProgress()) = 0;
    // The identity of the entry at path (a link itself, not what it points to), or nothing.
    virtual std::optional<FileId> identify(const QString& path) = 0;
    // Removes the one entry at path. Throws Failure.
    virtual void remove(const QString& path) = 0;
    // Puts a file back from the Trash to `to`, which must be free. Throws Failure.
    virtual void untrash(const QString& trashed, const QString& to) = 0;
};

// One file of a change, as the journal keeps it: enough to put it back, or to find out after
// a crash whether it was changed at all.
struct JournalRecord {
    enum Kind : quint8 { Rename = 1, Copy = 2 };
    Kind kind = Rename;
    QString source, target;
    FileId id;       // the source before the change (a rename keeps it; a copy keeps size and time)
    QString trashed; // where the file it replaced went; empty when it replaced none
    FileId before;   // a copy's target before the change (all zero: there was none)
};

// One file of a folder run as it goes on record: bare names in the run's folder, as the
// system spells them.
struct NameRecord {
    JournalRecord::Kind kind = JournalRecord::Rename;
    const char* source = nullptr;
    const char* target = nullptr;
    FileId id, before;
};

// What the journal holds of the last change.
struct JournalState {
    bool present = false;  // there is a last change to undo
    bool finished = false; // it ended; otherwise it was interrupted (a crash, a kill)
    qint64 total = 0;      // the files it was to change
    QList<JournalRecord> records;
};

// The record of the last change, kept so that it can be undone, even after a crash. Every
// call reports whether it is on the disk; a change goes ahead without it all the same.
class Journal {
public:
    virtual ~Journal() = default;
    // Starts the record of a change of `total` files in folder, replacing the previous one.
    virtual bool begin(const QString& folder, qint64 total) = 0;
    // The next files to be touched, on the disk before any of them is: flushed to the disk
    // with the last part of a batch given in parts.
    virtual bool intend(const QList<JournalRecord>& next, bool lastPart = true) = 0;
    // The same, for files of the folder given to begin().
    virtual bool intend(const std::vector<NameRecord>& next, bool lastPart = true) = 0;
    // The index-th intended file replaced a file that is now at `trashed`.
    virtual bool replaced(qint64 index, const QString& trashed) = 0;
    // The change has ended, whichever way: it is now the last change.
    virtual bool finish() = 0;
    // The last change; a journal that is not whole or not ours reads as none.
    virtual JournalState load() = 0;
    // Forgets the last change (undone, or kept as it is).
    virtual void discard() = 0;
    // Why the last call failed, or why a journal was ignored.
    virtual QString problem() const = 0;
};

class MessageBox {
public:
    // WithUndo adds an "Undo" button to an OK box (OK stays the default).
    enum Style {
        OkOnly = 0,
        YesNoWarning = 52,
        OkError = 16,
        YesNoQuestion = 36,
        WithUndo = 0x10000
    };
    enum Code { Ok = 1, Yes = 6, No = 7, Undo = 100 };
    virtual ~MessageBox() = default;
    // A modal box; an empty caption means the application's title.
    virtual int show(const QString& prompt, int style, const QString& caption = {}) = 0;
};

inline const QString& applicationTitle() {
    static const QString title = QStringLiteral("Morvane");
    return title;
}

} // namespace morvane
