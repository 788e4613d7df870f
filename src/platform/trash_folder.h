#pragma once

#include "failure.h"

#include <QString>

// Which Trash takes the files of a folder: the user's own for the mount that holds it, or
// the mount's, made where it is missing.
namespace morvane::posix {

struct TrashFolder {
    QString path; // holds files/ and info/; empty where the mount has no Trash
    QString top;  // the mount's top, which the record's Path= starts from; empty: Path= is whole
};

// The Trash for the files of folder, a real path (no links, no dots). The mount has no Trash
// only where its top refuses a folder of the user's own (EACCES, EPERM, EROFS) and has no
// shared one; any other refusal throws Failure, as does a home Trash that cannot be made.
TrashFolder trashFolderFor(const QString& folder);

// A refusal errno by the Trash at `trash`, with the system's text and the place.
Failure trashRefusal(int err, const QString& trash);

} // namespace morvane::posix
