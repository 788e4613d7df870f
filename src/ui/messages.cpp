#include "messages.h"

#include <QCoreApplication>

#include <cerrno>

namespace morvane {
namespace {

// The words of the boxes, for translators in one context.
struct Messages {
    Q_DECLARE_TR_FUNCTIONS(Messages)
};

// A report's whole sentence: "Conversion complete. " alone, or with the count of renames.
QString changeText(const ChangeReport& r) {
    const bool cancelled = r.end == ChangeEnd::Cancelled;
    if (r.count == 0)
        //: The trailing blank is the English text's own; other languages need none.
        return cancelled ? Messages::tr("Conversion cancelled. ")
                         : Messages::tr("Conversion complete. ");
    return (cancelled ? Messages::tr("Conversion cancelled. %1 file extensions changed.", nullptr,
                                     pluralForm(r.count))
                      : Messages::tr("Conversion complete. %1 file extensions changed.", nullptr,
                                     pluralForm(r.count)))
        .arg(r.count);
}

// "'c.md' (Operation not permitted)": a file's name and the system's reason.
QString namedText(const Refusal& refusal) {
    return Messages::tr("'%1' (%2)").arg(refusal.name, refusal.failure.description);
}

// "; 5 could not be put back: 'c.md' (Operation not permitted), 'd.md' (…) and 3 more"
QString refusedText(const ChangeReport& r) {
    QStringList named;
    for (const Refusal& refusal : r.refusals)
        named.append(namedText(refusal));
    //: Separates the names of files in a list.
    const QString comma = Messages::tr(", ");
    //: A clause of an undo's text: %1 files the system refused to move back, the first named.
    QString text = Messages::tr("; %1 could not be put back: %2", nullptr, pluralForm(r.refused))
                       .arg(r.refused)
                       .arg(named.join(comma));
    const qint64 more = r.refused - r.refusals.size();
    if (more > 0) text += Messages::tr(" and %1 more", nullptr, pluralForm(more)).arg(more);
    return text;
}

// "; the file that 'a.md' replaced is no longer in the Trash"
QString notBackText(const ChangeReport& r) {
    QString text;
    for (const Refusal& gone : r.notBack)
        text += (gone.failure.number == EEXIST
                     ? Messages::tr("; the file that '%1' replaced stays in the Trash, as its "
                                    "name is taken")
                     : Messages::tr("; the file that '%1' replaced is no longer in the Trash"))
                    .arg(gone.name);
    const qint64 more = r.replacedNotBack - r.notBack.size();
    if (more > 0) text += Messages::tr(" (and %1 more)", nullptr, pluralForm(more)).arg(more);
    return text;
}

std::optional<Message> changeEnding(const ChangeReport& r) {
    switch (r.end) {
    case ChangeEnd::Completed:
    case ChangeEnd::Cancelled:
        return Message{changeText(r)};
    case ChangeEnd::NothingChanged:
        return Message{Messages::tr("No file extensions changed.")};
    case ChangeEnd::Failed:
        return errorMessage(r.failure);
    default: // declined: nothing more is said
        break;
    }
    return std::nullopt;
}

// An undo's report: its first sentence, then each clause that applies, then the full stop.
QString undoneText(const ChangeReport& r) {
    //: An undo's first sentence; clauses that begin with "; " may follow, then "%1.".
    QString text =
        Messages::tr("Undo complete. %1 files restored", nullptr, pluralForm(r.count)).arg(r.count);
    if (r.left != 0)
        //: A clause of an undo's text: files left where they are, as changed since.
        text += Messages::tr("; %1 left as they are because they changed since", nullptr,
                             pluralForm(r.left))
                    .arg(r.left);
    if (r.refused != 0) text += refusedText(r);
    if (r.replacedNotBack != 0) text += notBackText(r);
    //: Ends the text of an undo: its sentence and clauses as %1.
    return Messages::tr("%1.").arg(text);
}

std::optional<Message> undoEnding(const ChangeReport& r) {
    switch (r.end) {
    case ChangeEnd::Undone:
        return Message{undoneText(r)};
    case ChangeEnd::Cancelled:
        return Message{
            Messages::tr("Undo cancelled. %1 files restored.", nullptr, pluralForm(r.count))
                .arg(r.count)};
    case ChangeEnd::Failed:
        return errorMessage(r.failure);
    case ChangeEnd::NotRecorded:
        return Message{
            Messages::tr("The last change could not be recorded, so it cannot be undone.")};
    case ChangeEnd::FolderGone:
        return Message{
            Messages::tr("The folder '%1' is no longer there; nothing was undone.").arg(r.folder)};
    default:
        return std::nullopt;
    }
}

} // namespace

int pluralForm(qint64 count) {
    return count <= 1000000 ? int(count) : int(count % 1000000 + 1000000);
}

QString errorText(const Failure& f) {
    //: %1 is the system's error number, %2 its text.
    return Messages::tr("Error %1: %2").arg(f.number).arg(f.description);
}

Message overwriteQuestion(const QString& target) {
    //: "exisits" is the English text's own spelling; translate it as "exists".
    return {Messages::tr("The destination file '%1' already exisits, overwrite?").arg(target),
            MessageBox::YesNoWarning};
}

std::optional<Message> endingMessage(const ChangeReport& report) {
    std::optional<Message> m =
        report.of == ChangeReport::Of::Undo ? undoEnding(report) : changeEnding(report);
    if (m && report.undoable) m->style |= MessageBox::WithUndo;
    return m;
}

Message errorMessage(const Failure& failure) {
    //: The title of an error's box.
    return {errorText(failure), MessageBox::OkError, Messages::tr("Error")};
}

Message recoveryQuestion(qint64 changed, qint64 total) {
    return {Messages::tr("The last change was interrupted after %1 of %2 files. Undo it?", nullptr,
                         pluralForm(total))
                .arg(changed)
                .arg(total),
            MessageBox::YesNoQuestion};
}

Message finishUndoQuestion(qint64 done, qint64 total) {
    return {Messages::tr("The last undo was interrupted after %1 of %2 files. Finish it?", nullptr,
                         pluralForm(total))
                .arg(done)
                .arg(total),
            MessageBox::YesNoQuestion};
}

} // namespace morvane
