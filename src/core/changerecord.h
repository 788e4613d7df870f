#pragma once

#include "journalport.h"

#include <QString>

namespace morvane {

// The journal as one change uses it: on a best-effort basis. The first call the journal
// refuses ends the record, and the change goes on without it, so that it cannot be undone.
class ChangeRecord {
public:
    explicit ChangeRecord(Journal* journal) : journal_(journal) {}

    // Starts the record of the change, which becomes the last one.
    void begin(const QString& folder, qint64 total);
    void intend(const QList<JournalRecord>& next) { keep(on() && journal_->intend(next)); }
    void intend(const std::vector<NameRecord>& next, bool lastPart) {
        keep(on() && journal_->intend(next, lastPart));
    }
    void replacing(qint64 index, const Replacement& replacement) {
        keep(on() && journal_->replacing(index, replacement));
    }
    void made(qint64 index, const FileId& copy) { keep(on() && journal_->made(index, copy)); }
    void replaced(qint64 index, const QString& trashed) {
        keep(on() && journal_->replaced(index, trashed));
    }
    // The change goes on without its record, which goes, for `why`.
    void abandon(const Failure& why) {
        if (on()) journal_->abandon(why);
        on_ = false;
    }
    bool on() const { return on_; }
    // The change has ended, having touched files or not. A change that touched none is not
    // the last change: its record goes, and the one before stays the last.
    // Returns whether the change can be undone.
    bool finish(bool touched);

private:
    void keep(bool ok) { on_ = on_ && ok; }

    Journal* journal_;
    bool begun_ = false; // a record was asked for, made or not
    bool on_ = false;
};

} // namespace morvane
