#pragma once

#include "changereport.h"
#include "fileport.h"
#include "journalport.h"
#include "messageport.h"
#include "pathrules.h"

namespace morvane {

struct ChangeRequest {
    QString fileText;   // the file box
    QString currentExt; // the extension box, used for every file of a folder run
    QString newExt;     // already without its leading dot
    bool allInFolder = false;
    bool leaveCopy = false;
};

// Refuses a new extension that would move the file into another folder or garble its
// name; the failure reads like the system's own "Invalid argument".
std::optional<Failure> checkNewExtension(const QString& newExt, QChar sep = nativeSeparator());

// Renames (or copies) one file, or every matching file of its folder, to the new extension,
// asking `box` before any existing file is replaced, and reports how it ended; saying so is
// the caller's. Tells progress how far it has got, and stops at the next safe point once it
// is cancelled. With a journal, every file is on record before it is touched.
ChangeReport changeExtension(const ChangeRequest& request, FileSystem& fs, MessageBox& box,
                             Progress& progress = noProgress(), Journal* journal = nullptr,
                             QChar sep = nativeSeparator());

// Puts every file of the journal's last change back as it was, never replacing anything: a
// file changed since, or whose old name is taken, is left where it is and counted.
ChangeReport undoLastChange(FileSystem& fs, Progress& progress, Journal& journal);

// How many files of the recorded change were changed and are still as it left them.
qint64 changedFiles(const JournalState& state, FileSystem& fs);

// Forgets the recorded change, its files kept as they are; what a replacement had made before
// its first step (a copy aside, a place in the Trash) goes with it.
void forgetChange(const JournalState& state, FileSystem& fs, Journal& journal);

} // namespace morvane
