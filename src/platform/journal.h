#pragma once

#include "journalport.h"

#include <QByteArray>

namespace morvane {

// The journal of the changes: one record for each, in $XDG_STATE_HOME/Morvane/changes (else
// ~/.local/state/...), where the base directory rules put a program's history of actions. A
// record is named by when its change began and by whom, <ns since 1970, 20 digits>-<pid>, so
// that names sort by time; the newest few are kept, older ones go when a change begins. The
// single record of earlier versions, Morvane/last-change, is read as the oldest one.
//
// Each window is a process of its own, so a record is locked (an open file description lock)
// while its change or an undo of it runs: no other window asks about it, undoes it or prunes
// it. A window remembers the record it made; its Undo undoes that one.
//
// Binary, little-endian: "MORVANE-JOURNAL\n" and a version byte, then records, each a type
// byte, the payload length (uint32), the payload and the CRC-32 of the three. Paths are the
// raw bytes of the name, each as a byte (1: relative to the Begin folder, 0: whole), a uint32
// length and the bytes; inside the Begin folder only the rest is kept, so that a run of
// 100,000 files stays near ten megabytes.
//   Begin:     total (int64), folder
//   Intent:    kind (byte), device, inode (uint64), size, modification time in ns (int64),
//              source, target; then the same four of the target before it (always for a
//              copy; a rename's of a file named alone, which earlier versions left out)
//   Renames:   renames of files in the Begin folder known by the inode alone: device (uint64),
//              a time the files had not reached when listed (int64), the bytes every target
//              ends with (uint32 length, bytes); then for each file its inode (uint64), how
//              many bytes of its name the target cuts (byte), and the name (uint16 length,
//              bytes). Target: the name less those bytes, then the common ending.
//   Replacing: index of the intended file (int64), the identity of the file it replaces,
//              where that file is between the two steps, its place in the Trash (may be empty)
//   Replaced:  index of the intended file (int64), where the replaced file now is
//   Made:      index of an intended copy (int64), its identity where it could not keep its
//              original's time
//   Finished:  nothing
//   UndoBegun: the files the undo goes through (int64)
//   Undone:    index of a file the undo has been through (int64)
//   UndoEnded: nothing; the undo went through every file and left some
// The last record alone tells a start whether the change, or its undo, was cut short: a whole
// Finished or UndoEnded says it was not; a whole UndoBegun or Undone that an undo was.
//
// The record is made under its final name (O_EXCL) and locked before its Begin is written; one
// with no whole Begin reads as none and goes at the next prune. A change that cannot be
// journalled goes on without it, so a record that failed must not be taken for one that was
// merely interrupted: on the first failure it is emptied and renamed <name>.unrecorded, which
// tells a later window that the last change cannot be undone (the window itself knows it
// anyway). A disk that refuses both (remounted read-only, failing) keeps what was already on
// it: a record without Finished whose every part was written before its file was touched. It
// reads as interrupted, exactly as if the program had died at the fault, and each file's
// identity still tells whether that file changed.
class FileJournal : public Journal {
public:
    FileJournal();
    // folder: where the records go (their folder "changes" and the earlier "last-change").
    explicit FileJournal(const QString& folder);
    ~FileJournal() override;
    FileJournal(const FileJournal&) = delete;
    FileJournal& operator=(const FileJournal&) = delete;

    bool begin(const QString& folder, qint64 total) override;
    bool intend(const QList<JournalRecord>& next, bool lastPart = true) override;
    bool intend(const std::vector<NameRecord>& next, bool lastPart = true) override;
    bool replacing(qint64 index, const Replacement& replacement) override;
    bool made(qint64 index, const FileId& copy) override;
    bool replaced(qint64 index, const QString& trashed) override;
    void abandon(const Failure& why) override;
    bool finish() override;
    void withdraw() override;
    JournalState load() override;
    JournalState interrupted() override;
    void discard() override;
    bool undoBegin(qint64 files) override;
    void undone(qint64 index) override;
    void undoEnded() override;
    QString problem() const override { return problem_; }
    QString folder() const { return folder_; }
    // The record this window made or loaded last; empty when none.
    QString fileName() const { return tie_.record; }

private:
    // What the window is tied to: the record it made or loaded, or that its last change could
    // not be recorded, or that it has undone its last change.
    struct Tie {
        QString record;
        bool notRecorded = false;
        bool spent = false;
    };

    bool running();
    bool append(const QByteArray& bytes, qsizetype size, bool flush = true);
    bool appendIntents(const QByteArray& batch, qsizetype size, qsizetype count, bool flush);
    bool mark(const QByteArray& record, bool flush);
    bool fail(int err);
    void release();
    JournalState ignore(const QString& path, const QString& why);
    JournalState loadFrom(const QString& path);
    JournalState newest();

    QString folder_;
    Tie tie_;
    Tie before_;        // the tie before the running change began
    QByteArray runDir_; // the running change's folder, as stored
    QByteArray batch_;  // kept between batches of a run, to be filled again
    qint64 intended_ = 0;
    int fd_ = -1;          // the tied record, locked: a change or an undo of it runs
    bool writing_ = false; // fd_ is a running change's, from begin() to its end or failure
    QString problem_;
};

} // namespace morvane
