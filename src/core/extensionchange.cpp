#include "extensionchange.h"

namespace morvane {

std::optional<Failure> checkNewExtension(const QString& newExt, QChar sep) {
    const QChar c = forbiddenExtensionChar(newExt, sep);
    if (c.isNull()) return std::nullopt;
    const QString shown =
        c.category() == QChar::Other_Control
            ? QStringLiteral("U+") +
                  QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'))
            : QStringLiteral("\"%1\"").arg(c);
    return Failure{22, QStringLiteral("Invalid argument: a new extension cannot hold ") + shown};
}

namespace {

enum class Pass { Done, Skipped, StopRun };

// "N file extensions changed." for a count of renames, nothing for none.
QString countText(qint64 changed) {
    return changed == 0 ? QString()
                        : QString::number(changed) + QStringLiteral(" file extensions changed.");
}

Pass changeOne(const QString& source, const ChangeRequest& r, FileSystem& fs, MessageBox& box,
               Progress& progress, QChar sep) {
    const QString target = targetName(source, r.currentExt, r.newExt, sep);
    const std::optional<FileId> existing = fs.probe(target);
    if (existing) {
        const int answer = box.show(QStringLiteral("The destination file '") + target +
                                        QStringLiteral("' already exisits, overwrite?"),
                                    MessageBox::YesNoWarning);
        if (answer != MessageBox::Yes) return r.allInFolder ? Pass::Skipped : Pass::StopRun;
    }
    if (r.leaveCopy) {
        // A copy onto its own directory entry (txt to txt, or a case-only change on a
        // case-insensitive mount) would destroy the file; there is nothing to copy. A link
        // to the source is another entry: it becomes a real copy.
        if (!fs.sameEntry(source, target)) fs.copy(source, target, existing, progress);
    } else if (source != target) {
        fs.rename(source, target, existing);
    }
    return Pass::Done;
}

} // namespace

ChangeEnd changeExtension(const ChangeRequest& r, FileSystem& fs, MessageBox& box,
                          Progress& progress, QChar sep) {
    qint64 changed = 0;
    try {
        QStringList sources;
        if (r.allInFolder) {
            // Taken whole before any file is touched, so files made by this run never
            // come round again.
            sources = fs.listMatches(folderOfPath(r.fileText, sep),
                                     QStringLiteral("*.") + r.currentExt, progress);
            // A "*" or "?" in the shown extension (the file box held a pattern) must not
            // widen the run to other extensions, which the target rule would then cut wrong.
            sources.removeIf([&](const QString& p) { return !hasExtension(p, r.currentExt, sep); });
        } else {
            sources.append(r.fileText);
        }

        for (qsizetype i = 0; i < sources.size(); ++i) {
            if (progress.cancelled()) throw Cancelled{};
            progress.changing(i + 1, sources.size(), sources[i]);
            const Pass pass = changeOne(sources[i], r, fs, box, progress, sep);
            if (pass == Pass::StopRun) return ChangeEnd::Declined;
            if (pass == Pass::Done && r.allInFolder && !r.leaveCopy) ++changed;
        }

        if (r.allInFolder && changed == 0) {
            box.show(QStringLiteral("No file extensions changed."), MessageBox::OkOnly);
            return ChangeEnd::NothingChanged;
        }
        box.show(QStringLiteral("Conversion complete. ") + countText(changed), MessageBox::OkOnly);
        return ChangeEnd::Completed;
    } catch (const Failure& f) {
        box.show(errorText(f), MessageBox::OkError, QStringLiteral("Error"));
        return ChangeEnd::Failed;
    } catch (const Cancelled&) {
        box.show(QStringLiteral("Conversion cancelled. ") + countText(changed), MessageBox::OkOnly);
        return ChangeEnd::Cancelled;
    }
}

} // namespace morvane
