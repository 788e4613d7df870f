#pragma once

#include <QString>
#include <QStringList>

// The journal's folder: where each change's record is made, which records there are, which
// another window holds, and which go.
namespace morvane::journal {

constexpr int recordsKept = 8;
inline const QString markerSuffix = QStringLiteral(".unrecorded");

// The folder of the records, inside the journal's folder.
QString changesOf(const QString& folder);
// A record's name in changes, sorting by the time it is made (later by `nudge` ns) and
// telling the window's process.
QString newName(const QString& changes, qint64 nudge = 0);
// The single record of earlier versions, read as the oldest.
QString legacyOf(const QString& folder);

// Every record, the newest first: a change's own, its marks of a change not recorded, and
// the earlier versions' last.
QStringList records(const QString& folder);

// Opens a record and locks it for this open file: -1 when another window holds it (held set)
// or it cannot be opened (errno says why).
int openLocked(const QString& path, bool* held);

// A new record under its final name, empty and locked: its descriptor, or -1 (errno).
int createRecord(const QString& folder, QString* path);

// Makes folder and its parents, private to the user.
bool makeFolder(const QString& folder);

// Removes the records past the newest few, and any with no whole Begin, leaving those another
// window holds.
void prune(const QString& folder);

} // namespace morvane::journal
