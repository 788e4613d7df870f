#pragma once

#include "journalport.h"

#include <QByteArray>

namespace morvane {

// The journal of the last change: $XDG_STATE_HOME/Morvane/last-change (else
// ~/.local/state/...), where the base directory rules put a program's history of actions.
//
// Binary, little-endian: "MORVANE-JOURNAL\n" and a version byte, then records, each a type
// byte, the payload length (uint32), the payload and the CRC-32 of the three. Paths are the
// raw bytes of the name, each as a byte (1: relative to the Begin folder, 0: whole), a uint32
// length and the bytes; inside the Begin folder only the rest is kept, so that a run of
// 100,000 files stays near ten megabytes.
//   Begin:    total (int64), folder
//   Intent:   kind (byte), device, inode (uint64), size, modification time in ns (int64),
//             source, target; for a copy, the same four of the target before it
//   Renames:  renames of files in the Begin folder known by the inode alone: device (uint64),
//             a time the files had not reached when listed (int64), the bytes every target
//             ends with (uint32 length, bytes); then for each file its inode (uint64), how
//             many bytes of its name the target cuts (byte), and the name (uint16 length,
//             bytes). Target: the name less those bytes, then the common ending.
//   Replacing: index of the intended file (int64), the identity of the file it replaces,
//             where that file is between the two steps, its place in the Trash (may be empty)
//   Replaced: index of the intended file (int64), where the replaced file now is
//   Finished: nothing
//
// A change that cannot be journalled goes on without it, so a journal that failed must not
// be taken for one that was merely interrupted: on the first failure the file is removed,
// or, where the folder refuses that, emptied (an empty journal reads as no last change). A
// disk that refuses both (remounted read-only, failing) keeps what was already on it: a
// journal without Finished whose every record was written before its file was touched. It
// reads as interrupted, exactly as if the program had died at the fault, and each record's
// file identity still tells whether that file changed.
class FileJournal : public Journal {
public:
    FileJournal();
    explicit FileJournal(const QString& path);
    ~FileJournal() override;
    FileJournal(const FileJournal&) = delete;
    FileJournal& operator=(const FileJournal&) = delete;

    bool begin(const QString& folder, qint64 total) override;
    bool intend(const QList<JournalRecord>& next, bool lastPart = true) override;
    bool intend(const std::vector<NameRecord>& next, bool lastPart = true) override;
    bool replacing(qint64 index, const Replacement& replacement) override;
    bool replaced(qint64 index, const QString& trashed) override;
    void abandon(const Failure& why) override;
    bool finish() override;
    JournalState load() override;
    void discard() override;
    QString problem() const override { return problem_; }
    QString fileName() const { return path_; }

private:
    bool running();
    bool append(const QByteArray& bytes, qsizetype size, bool flush = true);
    bool appendIntents(const QByteArray& batch, qsizetype size, qsizetype count, bool flush);
    bool fail(int err);
    JournalState ignore(const QString& why);
    QByteArray temporaryName() const;

    QString path_;
    QByteArray folder_; // of the running change, as stored
    QByteArray batch_;  // kept between batches of a run, to be filled again
    qint64 intended_ = 0;
    int fd_ = -1; // open from begin() to finish() or the first failure
    QString problem_;
};

} // namespace morvane
