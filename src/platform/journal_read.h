#pragma once

#include "journalport.h"

#include <optional>

// Reading a record from an open descriptor: its head and end alone, for a start that must not
// pay for the last change, or whole, for an undo, in bounded memory either way.
namespace morvane::journal {

enum class Ending {
    None,      // no whole Begin: nothing was changed on its strength
    Finished,  // the change ended, and no undo of it was cut short
    Open,      // the change, or its record, stops part way: read it whole to know
    UndoCut,   // an undo of it was cut short
    Foreign,   // not Morvane's, or of another version, or larger than its files explain
    Unreadable // (errno)
};

struct Glance {
    Ending ending = Ending::None;
    QString why; // for Foreign and Unreadable
};

Glance glance(int fd);

// The change the record tells, or nothing (why says so) when it is not whole.
std::optional<JournalState> readWhole(int fd, QString* why);

} // namespace morvane::journal
