#pragma once

#include "fileport.h"
#include "journalport.h"

namespace morvane {

// What an undo finds of one file of the recorded change.
enum class Undo { Restored, NotDone, Changed, Refused };

// Whether `now` is the copy the record made: a file of its own with the size and time of its
// original (cut short at most, by a power failure before it reached the disk).
bool isOurCopy(const JournalRecord& r, const std::optional<FileId>& now);

// Whether a rename onto a second link of its own file went the only way it can: by the
// source's link going, the user's other name for the file staying.
bool linkGone(const JournalRecord& r, FileSystem& fs);

// Where the file that a noted replacement replaced is now.
enum class ReplacedAt { Target, Aside, Trash, Nowhere };
ReplacedAt replacedFileAt(const JournalRecord& r, FileSystem& fs);

// Puts back a file whose replacement was noted and whose replaced file is still found, from
// whichever step the change reached: both files under their own names again. Throws Failure.
Undo undoReplacement(const JournalRecord& r, ReplacedAt at, FileSystem& fs);

} // namespace morvane
