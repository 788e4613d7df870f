#include "windowbox.h"
#include "messages.h"

namespace morvane {
namespace {

int show(QtMessageBox& box, const Message& m) {
    return box.show(m.text, m.style, m.caption);
}

} // namespace

bool WindowBox::askOverwrite(const QString& target) {
    return show(box_, overwriteQuestion(target)) == Yes;
}

bool WindowBox::reportEnding(const ChangeReport& report) {
    const std::optional<Message> m = endingMessage(report);
    return m && show(box_, *m) == Undo;
}

void WindowBox::reportError(const Failure& failure) {
    show(box_, errorMessage(failure));
}

bool WindowBox::askRecovery(qint64 changed, qint64 total) {
    return show(box_, recoveryQuestion(changed, total)) == Yes;
}

bool WindowBox::askFinishUndo(qint64 done, qint64 total) {
    return show(box_, finishUndoQuestion(done, total)) == Yes;
}

} // namespace morvane
