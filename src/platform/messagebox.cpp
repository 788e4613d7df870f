#include "messagebox.h"
#include "apptitle.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "failure.h"

namespace morvane {

int QtMessageBox::show(const QString& prompt, int style, const QString& caption) {
    QMessageBox box(owner_);
    box.setObjectName(QStringLiteral("morvaneMessageBox"));
    box.setWindowTitle(caption.isEmpty() ? applicationTitle() : caption);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText); // file names are never markup
    if (style == MessageBox::YesNoWarning || style == MessageBox::YesNoQuestion) {
        box.setIcon(style == MessageBox::YesNoWarning ? QMessageBox::Warning
                                                      : QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageBox::Yes : MessageBox::No;
    }
    box.setIcon((style & ~MessageBox::WithUndo) == MessageBox::OkError ? QMessageBox::Critical
                                                                       : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    // OK stays the default: Enter and Esc answer it, Undo takes a deliberate click or Alt+U.
    QPushButton* undo = nullptr;
    if (style & MessageBox::WithUndo)
        //: The closing box's button beside OK; & marks its Alt key, which OK's must not share.
        undo = box.addButton(QCoreApplication::translate("QtMessageBox", "&Undo"),
                             QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    return undo && box.clickedButton() == undo ? MessageBox::Undo : MessageBox::Ok;
}

} // namespace morvane
