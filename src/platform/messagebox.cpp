#include "messagebox.h"

#include <QMessageBox>

namespace morvane {

int QtMessageBox::show(const QString& prompt, int style, const QString& caption) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("morvaneMessageBox"));
    box.setWindowTitle(caption.isEmpty() ? applicationTitle() : caption);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText); // file names are never markup
    if (style == YesNoWarning) {
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Yes : No;
    }
    box.setIcon(style == OkError ? QMessageBox::Critical : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Ok;
}

} // namespace morvane
