#pragma once

#include "messageport.h"

#include <QPointer>
#include <QWidget>

namespace morvane {

// A real modal QMessageBox of one of the system's styles: 0 is OK, 52 Yes/No with the warning
// icon and Yes as default (Esc or the close button answer No), 36 the same with the question
// icon, 16 OK with the error icon; WithUndo adds an Undo button beside OK. Returns the code
// of the button pressed.
class QtMessageBox {
public:
    void setOwner(QWidget* owner) { owner_ = owner; }
    // An empty caption means the application's title.
    int show(const QString& prompt, int style, const QString& caption = {});

private:
    QPointer<QWidget> owner_;
};

} // namespace morvane
