#pragma once

#include "failure.h"

#include <QByteArray>
#include <QString>

// The Trash that a replaced file goes to, as the desktop knows it, in two steps: a place is
// reserved, with its record, before the file moves, so that the place can be noted first.
namespace morvane::posix {

// A reserved place in a Trash: where the file will be, and its record, already on the disk.
// Empty where the mount has no Trash.
struct TrashSlot {
    QString file;
    QString info;
};

// Reserves a place for the file `original` in the Trash of its mount: a free name there
// (its own, else NAME.2, NAME.3, ...), with a record naming `original` as the place it left.
// An empty slot: no Trash for that mount (see trashFolderFor). Throws Failure.
TrashSlot reserve(const QString& original);

// Moves entry `name` of folder dir (a descriptor, or AT_FDCWD with a whole path) to the
// slot's place, never over another file: 0, or the errno. On failure the slot stays
// reserved, for release().
int commit(const TrashSlot& slot, int dir, const char* name);

// Where the Trash keeps its record of the file it holds at inTrash.
QString trashInfoOf(const QString& inTrash);

// Gives up a slot whose file never went: its record goes.
void release(const TrashSlot& slot);

// The refusal errno of a move into the slot, as a Failure that names its Trash.
Failure refusal(const TrashSlot& slot, int err);

// Moves the file at inTrash back to `to`, which must be free, and drops what the Trash
// knew of it: 0, or the errno of the move.
int takeBack(const QString& inTrash, const QByteArray& to);

} // namespace morvane::posix
