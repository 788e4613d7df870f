#pragma once

#include "messagebox.h"
#include "messageport.h"

namespace morvane {

// The window's message boxes: each question and report put into words and shown as a real
// modal box.
class WindowBox : public MessageBox {
public:
    // The window the boxes are modal to and centred on.
    void setOwner(QWidget* owner) { box_.setOwner(owner); }
    bool askOverwrite(const QString& target) override;
    bool reportEnding(const ChangeReport& report) override;
    void reportError(const Failure& failure) override;
    bool askRecovery(qint64 changed, qint64 total) override;
    bool askFinishUndo(qint64 done, qint64 total) override;

private:
    QtMessageBox box_;
};

} // namespace morvane
