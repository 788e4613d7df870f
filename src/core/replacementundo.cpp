#include "replacementundo.h"

namespace morvane {
namespace {

// Whether the file that replaced the other is at path: the source itself, or its copy.
bool oursAt(const JournalRecord& r, const QString& path, FileSystem& fs) {
    const std::optional<FileId> now = fs.identify(path);
    return r.kind == JournalRecord::Copy ? isOurCopy(r, now) : isSameFile(r.id, now);
}

// A copy that had not yet taken the target's place goes.
void removeCopyAside(const JournalRecord& r, FileSystem& fs) {
    if (r.kind == JournalRecord::Copy && oursAt(r, r.replacing->aside, fs))
        fs.remove(r.replacing->aside);
}

// The file that replaced the other leaves the target: a rename goes back, a copy goes.
void clearTarget(const JournalRecord& r, FileSystem& fs) {
    if (!oursAt(r, r.target, fs)) return; // changed since: kept, and the name stays taken
    if (r.kind == JournalRecord::Copy || oursAt(r, r.source, fs))
        fs.remove(r.target); // a copy, or the new link of a move cut short before its unlink
    else
        fs.rename(r.target, r.source, std::nullopt);
}

} // namespace

bool linkGone(const JournalRecord& r, FileSystem& fs) {
    const Replacement& x = *r.replacing;
    const std::optional<FileId> source = fs.identify(r.source);
    const bool oneFile = std::visit(
        [&](const auto& id) { return id.device == x.asked.device && id.inode == x.asked.inode; },
        r.id);
    return r.kind == JournalRecord::Rename && !source && oneFile &&
           x.asked.isSameFile(fs.identify(r.target));
}

bool isOurCopy(const JournalRecord& r, const std::optional<FileId>& now) {
    if (r.made && now && *now == *r.made) return true;
    const FileId* source = std::get_if<FileId>(&r.id);
    return source && now && now->size <= source->size && now->mtimeNs == source->mtimeNs &&
           !(now->device == source->device && now->inode == source->inode) && *now != r.before;
}

ReplacedAt replacedFileAt(const JournalRecord& r, FileSystem& fs) {
    const Replacement& x = *r.replacing;
    if (x.asked.isSameFile(fs.identify(r.target))) return ReplacedAt::Target;
    if (x.asked.isSameFile(fs.identify(x.aside))) return ReplacedAt::Aside;
    if (!x.trash.isEmpty() && x.asked.isSameFile(fs.identify(x.trash))) return ReplacedAt::Trash;
    return ReplacedAt::Nowhere;
}

Undo undoReplacement(const JournalRecord& r, ReplacedAt at, FileSystem& fs) {
    const Replacement& x = *r.replacing;
    switch (at) {
    case ReplacedAt::Target: // not replaced yet: only what the change had made so far goes
        removeCopyAside(r, fs);
        if (!x.trash.isEmpty()) {
            // A move into the Trash cut short between its link and its unlink.
            if (x.asked.isSameFile(fs.identify(x.trash))) fs.remove(x.trash);
            fs.releaseTrash(x.trash);
        }
        if (!linkGone(r, fs)) return Undo::NotDone;
        fs.link(r.target, r.source);
        return Undo::Restored;
    case ReplacedAt::Aside: // exchanged, not yet in the Trash
        if (r.kind == JournalRecord::Rename && oursAt(r, r.target, fs)) {
            fs.exchange(r.target, x.aside);
        } else {
            clearTarget(r, fs);
            fs.rename(x.aside, r.target, std::nullopt);
        }
        if (!x.trash.isEmpty()) fs.releaseTrash(x.trash);
        return Undo::Restored;
    case ReplacedAt::Trash:
        clearTarget(r, fs);
        removeCopyAside(r, fs);
        fs.untrash(x.trash, r.target);
        return Undo::Restored;
    case ReplacedAt::Nowhere:
        break;
    }
    return Undo::Changed;
}

} // namespace morvane
