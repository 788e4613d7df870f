#pragma once

// The system's file operations, but for one status call that fails, as one on a failing disk
// or a vanished network share does: the next identify() while `fails` is set.
#include "filesystem.h"

#include <utility>

struct StatusFailsOnce : morvane::NativeFileSystem {
    bool fails = false;
    std::optional<morvane::FileId> identify(const QString& path, morvane::Links links) override {
        return std::exchange(fails, false) ? std::nullopt
                                           : morvane::NativeFileSystem::identify(path, links);
    }
};
