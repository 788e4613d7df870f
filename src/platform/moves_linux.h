#pragma once

#include "failure.h"
#include "fileid.h"
#include "replacement.h"

#include <QByteArray>
#include <QString>

// Moves that never replace a file by chance: refused onto a taken name, or replacing exactly
// the entry the user was asked about.
namespace morvane::posix {

// Moves from to to unless to exists; 0 or the errno.
int moveNoReplace(const QByteArray& from, const QByteArray& to);

// The same for entry `from` of folder dir (a descriptor, or AT_FDCWD with a whole path).
int moveNoReplaceAt(int dir, const char* from, const QByteArray& to);

// The same, throwing the refusal as a Failure.
void renameNoReplace(const QByteArray& from, const QByteArray& to);

// 0 when path is still the entry the user was asked about, ECANCELED when it is another
// one, or the errno of the status call.
int checkAsked(const QByteArray& path, const FileId& asked);

// err as a Failure; ECANCELED as the target having changed after the question.
Failure askedFailure(int err, const QString& target);

// Throws askedFailure(err, target).
[[noreturn]] void failAsked(int err, const QString& target);

// Moves from onto to, replacing exactly the entry the user was asked about, which goes to
// the Trash (or is deleted where the mount has none); returns where it went. A target gone
// meanwhile is nothing to replace. A Trash that does not take it throws its Failure, both
// files left under their own names.
// `note` hears where each will be before the first step.
QString replaceAsked(const QByteArray& from, const QString& to, const FileId& asked,
                     const NoteReplacement& note);

// Moves from to to, names of one entry that differ only in case, through a temporary name.
void renameCaseOnly(const QByteArray& from, const QString& to);

} // namespace morvane::posix
