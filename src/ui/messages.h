#pragma once

#include "changereport.h"
#include "messageport.h"

#include <QString>
#include <optional>

namespace morvane {

// Every text a box shows, put together from values in one place, with the style of its box.
struct Message {
    Message(const QString& text, int style = MessageBox::OkOnly, const QString& caption = {})
        : text(text), style(style), caption(caption) {}
    QString text;
    int style = MessageBox::OkOnly;
    QString caption; // empty: the application's title
};

// The number by which Qt picks a count's plural form: Qt takes an int, a count is 64 bits, so
// a count past a million picks by its last six digits, which decide the form in every
// language. Texts show the count itself as an argument.
int pluralForm(qint64 count);

// "Error 13: Permission denied"
QString errorText(const Failure& failure);

Message overwriteQuestion(const QString& target);
// Nothing for an ending that is not said: a declined change, or an undo with nothing to undo.
std::optional<Message> endingMessage(const ChangeReport& report);
Message errorMessage(const Failure& failure);
Message recoveryQuestion(qint64 changed, qint64 total);
Message finishUndoQuestion(qint64 done, qint64 total);

} // namespace morvane
