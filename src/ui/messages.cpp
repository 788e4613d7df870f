#include "messages.h"

#include <cerrno>

namespace morvane {
namespace {

// "N file extensions changed." for a count of renames, nothing for none.
QString countText(qint64 changed) {
    return changed == 0 ? QString()
                        : QString::number(changed) + QStringLiteral(" file extensions changed.");
}

// "1 file restored", "2 files restored".
QString restoredText(qint64 count) {
    return count == 1 ? QStringLiteral("1 file restored")
                      : QStringLiteral("%1 files restored").arg(count);
}

// "; 5 could not be put back: 'c.md' (Operation not permitted), 'd.md' (…) and 3 more"
QString refusedText(const ChangeReport& r) {
    QStringList named;
    for (const Refusal& refusal : r.refusals)
        named.append(QStringLiteral("'%1' (%2)").arg(refusal.name, refusal.failure.description));
    QString text = QStringLiteral("; %1 could not be put back: ").arg(r.refused) +
                   named.join(QStringLiteral(", "));
    if (r.refused > r.refusals.size())
        text += QStringLiteral(" and %1 more").arg(r.refused - r.refusals.size());
    return text;
}

// "; the file that 'a.md' replaced is no longer in the Trash"
QString notBackText(const ChangeReport& r) {
    QString text;
    for (const Refusal& gone : r.notBack)
        text += (gone.failure.number == EEXIST
                     ? QStringLiteral("; the file that '%1' replaced stays in the Trash, as its "
                                      "name is taken")
                     : QStringLiteral("; the file that '%1' replaced is no longer in the Trash"))
                    .arg(gone.name);
    if (r.replacedNotBack > r.notBack.size())
        text += QStringLiteral(" (and %1 more)").arg(r.replacedNotBack - r.notBack.size());
    return text;
}

std::optional<Message> changeEnding(const ChangeReport& r) {
    switch (r.end) {
    case ChangeEnd::Completed:
        return Message{QStringLiteral("Conversion complete. ") + countText(r.count)};
    case ChangeEnd::NothingChanged:
        return Message{QStringLiteral("No file extensions changed.")};
    case ChangeEnd::Cancelled:
        return Message{QStringLiteral("Conversion cancelled. ") + countText(r.count)};
    case ChangeEnd::Failed:
        return errorMessage(r.failure);
    default: // declined: nothing more is said
        break;
    }
    return std::nullopt;
}

std::optional<Message> undoEnding(const ChangeReport& r) {
    switch (r.end) {
    case ChangeEnd::Undone: {
        QString text = QStringLiteral("Undo complete. ") + restoredText(r.count);
        if (r.left != 0)
            text += QStringLiteral("; %1 left as they are because they changed since").arg(r.left);
        if (r.refused != 0) text += refusedText(r);
        if (r.replacedNotBack != 0) text += notBackText(r);
        return Message{text + QLatin1Char('.')};
    }
    case ChangeEnd::Cancelled:
        return Message{QStringLiteral("Undo cancelled. ") + restoredText(r.count) +
                       QLatin1Char('.')};
    case ChangeEnd::Failed:
        return errorMessage(r.failure);
    case ChangeEnd::NotRecorded:
        return Message{
            QStringLiteral("The last change could not be recorded, so it cannot be undone.")};
    case ChangeEnd::FolderGone:
        return Message{QStringLiteral("The folder '%1' is no longer there; nothing was undone.")
                           .arg(r.folder)};
    default:
        return std::nullopt;
    }
}

} // namespace

QString errorText(const Failure& f) {
    return QStringLiteral("Error %1: %2").arg(f.number).arg(f.description);
}

Message overwriteQuestion(const QString& target) {
    return {QStringLiteral("The destination file '") + target +
                QStringLiteral("' already exisits, overwrite?"),
            MessageBox::YesNoWarning};
}

std::optional<Message> endingMessage(const ChangeReport& report) {
    std::optional<Message> m =
        report.of == ChangeReport::Of::Undo ? undoEnding(report) : changeEnding(report);
    if (m && report.undoable) m->style |= MessageBox::WithUndo;
    return m;
}

Message errorMessage(const Failure& failure) {
    return {errorText(failure), MessageBox::OkError, QStringLiteral("Error")};
}

Message recoveryQuestion(qint64 changed, qint64 total) {
    return {QStringLiteral("The last change was interrupted after %1 of %2 files. Undo it?")
                .arg(changed)
                .arg(total),
            MessageBox::YesNoQuestion};
}

Message finishUndoQuestion(qint64 done, qint64 total) {
    return {QStringLiteral("The last undo was interrupted after %1 of %2 files. Finish it?")
                .arg(done)
                .arg(total),
            MessageBox::YesNoQuestion};
}

} // namespace morvane
