#include "journal.h"
#include "journal_folder.h"
#include "journal_read.h"
#include "systemtext.h"

#include <QCoreApplication>

#include <cerrno>
#include <unistd.h>

// Which record an undo or a start reads: the window's own, else the newest no other window
// holds; a start reads the heads and ends of the records alone.
namespace morvane {

using namespace journal;

namespace {

JournalState notRecorded() {
    JournalState state;
    state.notRecorded = true;
    return state;
}

QString cannotRead() {
    const int err = errno;
    return QCoreApplication::translate("Warnings", "it cannot be read: %1")
        .arg(systemErrorText(err));
}

} // namespace

JournalState FileJournal::ignore(const QString& path, const QString& why) {
    //: %1 is a record of a change, %2 why, as "it is not whole".
    problem_ =
        QCoreApplication::translate("Warnings", "ignoring the journal %1: %2").arg(path, why);
    return {};
}

// The tied record whole, held from here until it is undone, discarded or let go.
JournalState FileJournal::loadFrom(const QString& path) {
    if (fd_ < 0 || writing_) {
        release();
        bool held = false;
        fd_ = openLocked(path, &held);
        if (held) {
            problem_ = QCoreApplication::translate(
                "Warnings", "the last change is being undone in another window");
            return {};
        }
        if (fd_ < 0) return errno == ENOENT ? JournalState{} : ignore(path, cannotRead());
    }
    QString why;
    std::optional<JournalState> state = readWhole(fd_, &why);
    if (!state || !state->present) release();
    return state ? std::move(*state) : ignore(path, why);
}

JournalState FileJournal::load() {
    problem_.clear();
    if (tie_.notRecorded) return notRecorded();
    if (!tie_.record.isEmpty()) return loadFrom(tie_.record);
    return tie_.spent ? JournalState{} : newest();
}

JournalState FileJournal::newest() {
    for (const QString& path : records(folder_)) {
        bool held = false;
        const int fd = openLocked(path, &held);
        if (fd < 0 && (held || errno == ENOENT)) continue; // another window runs it
        if (fd < 0) return ignore(path, cannotRead());
        if (path.endsWith(markerSuffix)) {
            ::close(fd);
            return notRecorded();
        }
        release();
        fd_ = fd;
        tie_.record = path;
        JournalState state = loadFrom(path);
        if (state.present || !problem_.isEmpty()) return state;
        tie_.record.clear(); // begun and killed before its Begin: no change
    }
    return {};
}

JournalState FileJournal::interrupted() {
    problem_.clear();
    for (const QString& path : records(folder_)) {
        if (path.endsWith(markerSuffix)) continue;
        bool held = false;
        const int fd = openLocked(path, &held);
        if (fd < 0) continue; // a running window's, or gone meanwhile
        const Glance seen = glance(fd);
        if (seen.ending == Ending::Foreign || seen.ending == Ending::Unreadable)
            ignore(path, seen.why);
        if (seen.ending != Ending::Open && seen.ending != Ending::UndoCut) {
            ::close(fd);
            continue;
        }
        release();
        fd_ = fd;
        JournalState state = loadFrom(path);
        // Held until answered: two windows starting at once never both recover it.
        if (state.present && (!state.finished || state.undoBegun)) {
            tie_ = {path, false, false};
            return state;
        }
        release();
    }
    return {};
}

} // namespace morvane
