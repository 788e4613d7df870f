#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

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
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    bool operator==(const FileId&) const = default;
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

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The existence test for one literal path: the identity of the entry if it names an
    // ordinary file (a regular file, links followed, whose name is not hidden), or nothing.
    // Throws Failure when the status call itself fails for another reason than a missing name.
    virtual std::optional<FileId> probe(const QString& path) = 0;
    // Full paths of the ordinary files in folder (empty text: the current folder) whose
    // names match the wildcard pattern, in the order the system lists them. Throws Failure,
    // or Cancelled.
    virtual QStringList listMatches(const QString& folder, const QString& namePattern,
                                    Progress& progress = noProgress()) = 0;
    // Whether both paths name one directory entry: equal texts, or names that differ only in
    // case on a case-insensitive folder. Two links to one file are two entries.
    virtual bool sameEntry(const QString& a, const QString& b) = 0;
    // Moves from to to. Without `replacing` an existing target is never replaced; with it,
    // exactly that entry is replaced, in one step, or nothing happens; a target gone
    // meanwhile is nothing to replace. Throws Failure.
    virtual void rename(const QString& from, const QString& to,
                        const std::optional<FileId>& replacing) = 0;
    // Copies from to to through a temporary file, keeping permissions and modification
    // time; `replacing` as for rename. Throws Failure, or Cancelled with the target as it was.
    virtual void copy(const QString& from, const QString& to,
                      const std::optional<FileId>& replacing,
                      Progress& progress = noProgress()) = 0;
};

class MessageBox {
public:
    enum Style { OkOnly = 0, YesNoWarning = 52, OkError = 16 };
    enum Code { Ok = 1, Yes = 6, No = 7 };
    virtual ~MessageBox() = default;
    // A modal box; an empty caption means the application's title.
    virtual int show(const QString& prompt, int style, const QString& caption = {}) = 0;
};

inline const QString& applicationTitle() {
    static const QString title = QStringLiteral("Morvane");
    return title;
}

} // namespace morvane
