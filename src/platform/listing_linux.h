#pragma once

#include "fileid.h"
#include "folderfiles.h"
#include "progress.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <unistd.h>

// The two listings of a folder: by wildcard pattern, name by name as text, and by extension,
// as raw bytes with the folder kept open.
namespace morvane::posix {

// Calls found(name) for each ordinary file of folder matching pattern, in listing order,
// until it returns false. Returns 0, or the errno of a refused listing.
int forEachMatch(const QString& folder, const QString& pattern,
                 const std::function<bool(const QString&)>& found);

// Whether the folder lists an entry named exactly name.
bool listsExactly(const QString& folder, const QString& name);

// The existence test's rule for one literal path whose file name part is name. A status
// call that fails for another reason than a missing name leaves its errno in *err.
std::optional<FileId> ordinaryFile(const QString& path, const QString& name, int* err = nullptr);

// As NativeFileSystem::listMatches.
QStringList listMatches(const QString& folder, const QString& namePattern, Progress& progress);

// As NativeFileSystem::listExtension: the folder stays open with the result.
std::unique_ptr<FolderFiles> listExtension(const QString& folder, const QString& ext,
                                           Progress& progress);

} // namespace morvane::posix
