#pragma once

#include "changereport.h"

namespace morvane {

// Every question and report a user reads, by intent: the window's side puts each into
// words, and tests answer them without a modal loop.
class MessageBox {
public:
    // The styles and answers of the system's modal boxes; WithUndo adds an "Undo" button to
    // an OK box (OK stays the default).
    enum Style {
        OkOnly = 0,
        YesNoWarning = 52,
        OkError = 16,
        YesNoQuestion = 36,
        WithUndo = 0x10000
    };
    enum Code { Ok = 1, Yes = 6, No = 7, Undo = 100 };

    virtual ~MessageBox() = default;
    // Whether the existing file at target may be replaced.
    virtual bool askOverwrite(const QString& target) = 0;
    // Says how a change or an undo ended (a declined change: nothing). True when the user
    // asks for the change to be undone, which is offered only where it is undoable.
    virtual bool reportEnding(const ChangeReport& report) = 0;
    virtual void reportError(const Failure& failure) = 0;
    // Whether to undo a change that was interrupted after `changed` of `total` files.
    virtual bool askRecovery(qint64 changed, qint64 total) = 0;
    // Whether to finish an undo that was interrupted after `done` of `total` files.
    virtual bool askFinishUndo(qint64 done, qint64 total) = 0;
};

} // namespace morvane
