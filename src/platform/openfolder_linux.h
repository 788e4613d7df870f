#pragma once

#include "folderfiles.h"

#include <unistd.h>

namespace morvane::posix {

// A listing that keeps its folder open, so that each file is named by its bare name and the
// kernel does not walk the whole path again for every file; what the run does there stays in
// that folder, even if its name comes to lead elsewhere meanwhile.
class OpenFolder : public FolderFiles {
public:
    using FolderFiles::FolderFiles;
    ~OpenFolder() override {
        if (fd >= 0) ::close(fd);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    int renameIn(qsizetype i, const char* to) const override;
    int copyIn(qsizetype i, const char* to, Progress& progress) const override;
    std::optional<FileId> identifyIn(const char* name, Links links) const override;
    QString openPath() const override;

    int fd = -1;
};

} // namespace morvane::posix
