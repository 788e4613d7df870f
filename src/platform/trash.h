#pragma once

#include <QByteArray>
#include <QString>

// The Trash that a replaced file goes to, as the desktop knows it.
namespace morvane::posix {

// Where the Trash keeps what it knows of the file it holds at inTrash.
QString trashInfoOf(const QString& inTrash);

// Moves the file at `at` to the Trash, to be restored as `original`, a name in the same
// folder. Returns where it went, or the empty text when no Trash takes it.
QString toTrash(const QByteArray& at, const QString& original);

// Moves the file at inTrash back to `to`, which must be free, and drops what the Trash
// knew of it: 0, or the errno of the move.
int takeBack(const QString& inTrash, const QByteArray& to);

} // namespace morvane::posix
