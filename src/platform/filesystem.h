#pragma once

#include "fileport.h"

namespace morvane {

// The existence test: the bare name of the first ordinary file that the path (or the
// wildcard pattern in its file name) names, or the empty text. A plain path costs one
// status call, whatever the size of its folder. Never fails: a lookup the system refuses
// finds nothing.
QString existenceTest(const QString& pathOrPattern);

// The operating system's file operations, with the safety rules of the change: nothing is
// replaced without the caller naming the file it may replace, and copies land whole or not
// at all.
class NativeFileSystem : public FileSystem {
public:
    QString existenceTest(const QString& pathOrPattern) override {
        return morvane::existenceTest(pathOrPattern);
    }
    std::optional<FileId> probe(const QString& path) override;
    // Full paths of the ordinary files in folder (empty text: the current folder) whose
    // names match the wildcard pattern, in listing order, as the existence test finds them.
    // Throws Failure, or Cancelled.
    QStringList listMatches(const QString& folder, const QString& namePattern,
                            Progress& progress = noProgress());
    std::unique_ptr<FolderFiles> listExtension(const QString& folder, const QString& ext,
                                               Progress& progress = noProgress()) override;
    bool sameEntry(const QString& a, const QString& b) override;
    QString rename(const QString& from, const QString& to, const std::optional<FileId>& replacing,
                   const NoteReplacement& note = {}) override;
    QString copy(const QString& from, const QString& to, const std::optional<FileId>& replacing,
                 Progress& progress = noProgress(), const NoteReplacement& note = {}) override;
    void exchange(const QString& a, const QString& b) override;
    std::optional<FileId> identify(const QString& path, Links links = Links::Own) override;
    void link(const QString& existing, const QString& to) override;
    void remove(const QString& path) override;
    void untrash(const QString& trashed, const QString& to) override;
    void releaseTrash(const QString& trashed) override;
};

} // namespace morvane
