#pragma once

#include "ports.h"

class QWidget;

namespace morvane {

// Message boxes as real modal QMessageBoxes: 0 is OK, 52 Yes/No with the warning icon and
// Yes as default (Esc or the close button answer No), 36 the same with the question icon,
// 16 OK with the error icon; WithUndo adds an Undo button beside OK.
class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent) : parent_(parent) {}
    int show(const QString& prompt, int style, const QString& caption = {}) override;

private:
    QWidget* parent_;
};

} // namespace morvane
