#pragma once

#include "failure.h"

#include <QList>

namespace morvane {

enum class ChangeEnd {
    Completed,      // the file or files were changed: the window re-examines its path
    NothingChanged, // a folder run renamed nothing; an undo found nothing to undo
    Declined,       // No to the single file's overwrite question: nothing more is said
    Failed,         // the system refused something
    Cancelled,      // stopped between two files or inside a copy
    Undone,         // the last change was put back
    NotRecorded,    // an undo of a change that could not be recorded: nothing to undo
    FolderGone,     // an undo whose folder is no longer there: nothing was undone
};

// A file an undo could not put back, and why.
struct Refusal {
    QString name; // the file's name, as the undo found it
    Failure failure;
};

// How a change or an undo ended, as values: the window puts it into words.
struct ChangeReport {
    enum class Of { Change, Undo };
    Of of = Of::Change;
    ChangeEnd end = ChangeEnd::Completed;
    qint64 count = 0;   // files a folder run renamed; files an undo restored
    qint64 left = 0;    // files an undo left as they are because they changed since
    qint64 refused = 0; // files an undo could not put back; the first few of them:
    QList<Refusal> refusals;
    // Files an undo put back without the file each replaced: ENOENT, no longer in the Trash;
    // EEXIST, left in the Trash because its name is taken. The first few of them:
    qint64 replacedNotBack = 0;
    QList<Refusal> notBack;
    Failure failure;       // why it failed
    QString folder;        // the folder that is no longer there
    bool undoable = false; // it touched files and is on record
};

} // namespace morvane
