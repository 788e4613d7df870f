#pragma once

#include "failure.h"
#include "fileid.h"
#include "replacement.h"

#include <QList>
#include <QString>
#include <vector>

namespace morvane {

// One file of a change, as the journal keeps it: enough to put it back, or to find out after
// a crash whether it was changed at all.
struct JournalRecord {
    enum Kind : quint8 { Rename = 1, Copy = 2 };
    Kind kind = Rename;
    QString source, target;
    KnownId id;      // the source before the change (a rename keeps it; a copy keeps size and time)
    QString trashed; // where the file it replaced went; empty when it replaced none
    FileId before;   // a copy's target before the change (all zero: there was none)
    std::optional<Replacement> replacing = {}; // the file it replaced, noted before it was
    std::optional<FileId> made = {};           // a copy that could not keep its original's time
};

// One file of a folder run as it goes on record: bare names in the run's folder, as the
// system spells them.
struct NameRecord {
    JournalRecord::Kind kind = JournalRecord::Rename;
    const char* source = nullptr;
    const char* target = nullptr;
    KnownId id;
    FileId before;
};

// What the journal holds of the last change.
struct JournalState {
    bool present = false;  // there is a last change to undo
    bool finished = false; // it ended; otherwise it was interrupted (a crash, a kill)
    qint64 total = 0;      // the files it was to change
    QString folder;        // where it was made
    QList<JournalRecord> records;
    bool notRecorded = false; // the last change went ahead without a record: no Undo
    bool undoBegun = false;   // an undo of it began and did not reach its end
    qint64 undone = 0;        // files that undo had been through
    qint64 undoTotal = 0;     // files it was to go through
};

// The record of the last change, kept so that it can be undone, even after a crash. Every
// call reports whether it is on the disk; a change goes ahead without it all the same. Each
// window has its own: its Undo undoes the change it made, never one another window runs.
class Journal {
public:
    virtual ~Journal() = default;
    // Starts the record of a change of `total` files in folder; it becomes the last change.
    virtual bool begin(const QString& folder, qint64 total) = 0;
    // The next files to be touched, on the disk before any of them is: flushed to the disk
    // with the last part of a batch given in parts.
    virtual bool intend(const QList<JournalRecord>& next, bool lastPart = true) = 0;
    // The same, for files of the folder given to begin().
    virtual bool intend(const std::vector<NameRecord>& next, bool lastPart = true) = 0;
    // The index-th intended file is about to replace a file, as noted; on the disk before the
    // first step.
    virtual bool replacing(qint64 index, const Replacement& replacement) = 0;
    // The index-th intended file's copy is `copy`: it could not keep its original's time.
    virtual bool made(qint64 index, const FileId& copy) = 0;
    // The index-th intended file replaced a file that is now at `trashed`.
    virtual bool replaced(qint64 index, const QString& trashed) = 0;
    // The running change goes on without a record, for `why`: the record goes, as for a
    // write the disk refused.
    virtual void abandon(const Failure& why) = 0;
    // The change has ended, whichever way: it is now the last change.
    virtual bool finish() = 0;
    // The change begun last touched no file: its record goes, and the one before is the last
    // change again.
    virtual void withdraw() = 0;
    // The change to undo: this window's own last change (or that it could not be recorded),
    // else the newest one no other window is running. One that is not whole reads as none.
    virtual JournalState load() = 0;
    // For the start, reading as little as it can: the newest change no running window owns
    // that was interrupted, or whose undo was. It is held until discarded or undone.
    virtual JournalState interrupted() = 0;
    // Forgets the loaded change (undone, or kept as it is).
    virtual void discard() = 0;
    // An undo of the loaded change begins, going through `files` files; each file it has been
    // through is then marked, so that an undo cut short can be finished at the next start.
    virtual bool undoBegin(qint64 files) = 0;
    virtual void undone(qint64 index) = 0;
    // The undo went through every file, and left some: the change stays, to be tried again.
    virtual void undoEnded() = 0;
    // Why the last call failed, or why a journal was ignored.
    virtual QString problem() const = 0;
};

} // namespace morvane
