#pragma once

#include "failure.h"
#include "fileid.h"
#include "folderfiles.h"
#include "progress.h"
#include "replacement.h"

#include <QString>
#include <memory>
#include <optional>

namespace morvane {

// The operating system's file operations that a change needs, so that it can be driven by
// tests with real folders and faults.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The bare name of the first ordinary file that the path (or the wildcard pattern in its
    // file name) names, or the empty text; never fails.
    virtual QString existenceTest(const QString& pathOrPattern) = 0;
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
    virtual int renameIn(const FolderFiles& files, qsizetype i, const char* to) {
        return files.renameIn(i, to);
    }
    // Copies file i of files to `to` as copy() does with nothing to replace: 0, or EEXIST when
    // the name is taken, and then nothing is left behind. Throws Failure, or Cancelled.
    virtual int copyIn(const FolderFiles& files, qsizetype i, const char* to,
                       Progress& progress = noProgress()) {
        return files.copyIn(i, to, progress);
    }
    // The identity of the entry named `name` (a bare name) in the folder of files.
    virtual std::optional<FileId> identifyIn(const FolderFiles& files, const char* name,
                                             Links links = Links::Own) {
        return files.identifyIn(name, links);
    }
    // Whether both paths name one directory entry: equal texts, or names that differ only in
    // case on a case-insensitive folder. Two links to one file are two entries.
    virtual bool sameEntry(const QString& a, const QString& b) = 0;
    // Moves from to to. Without `replacing` an existing target is never replaced; with it,
    // exactly that entry is replaced, in one step, or nothing happens; a target gone
    // meanwhile is nothing to replace. The replaced file goes to the Trash: returns where,
    // or the empty text when nothing was replaced or its mount has no Trash. Throws Failure,
    // also where the Trash does not take it, and then both files are as they were. `note`
    // hears of a replacement before its first step.
    virtual QString rename(const QString& from, const QString& to,
                           const std::optional<FileId>& replacing,
                           const NoteReplacement& note = {}) = 0;
    // Copies from to to through a temporary file, keeping permissions and modification
    // time; `replacing`, `note` and the result as for rename. Throws Failure, or Cancelled
    // with the target as it was.
    virtual QString copy(const QString& from, const QString& to,
                         const std::optional<FileId>& replacing, Progress& progress = noProgress(),
                         const NoteReplacement& note = {}) = 0;
    // Swaps the two entries in one step. Throws Failure.
    virtual void exchange(const QString& a, const QString& b) = 0;
    // The identity of the entry at path (a link itself, unless followed), or nothing.
    virtual std::optional<FileId> identify(const QString& path, Links links = Links::Own) = 0;
    // Gives the file at existing the further name `to`, which must be free. Throws Failure.
    virtual void link(const QString& existing, const QString& to) = 0;
    // Removes the one entry at path. Throws Failure.
    virtual void remove(const QString& path) = 0;
    // Puts a file back from the Trash to `to`, which must be free. Throws Failure.
    virtual void untrash(const QString& trashed, const QString& to) = 0;
    // Forgets a place reserved in the Trash for a file that never went there.
    virtual void releaseTrash(const QString& trashed) = 0;
};

} // namespace morvane
