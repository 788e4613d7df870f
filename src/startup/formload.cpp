#include "formload.h"
#include "frmMain.h"
#include "history.h"
#include "pathrules.h"
#include "settingsstore.h"
#include "warning.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <cstdio>

namespace morvane {

void Form_Load(frmMain& form, const QString& commandLine, bool exact) {
    const SettingsStore store;
    if (!store.readProblem().isEmpty())
        warn(QCoreApplication::translate("Warnings",
                                         "ignoring the settings in %1 (%2); starting with defaults")
                 .arg(store.fileName(), store.readProblem()));

    form.cboNewExtension->addItems(splitHistory(store.read(key::lastExtensions, {})));

    const int state = form.chkLeaveCopy->checkState() == Qt::Unchecked ? 0 : 1;
    const QString leaveCopy = store.read(key::leaveCopy, QString::number(state));
    if (leaveCopy == QLatin1String("0") || leaveCopy == QLatin1String("1"))
        form.chkLeaveCopy->setChecked(leaveCopy == QLatin1String("1"));
    else {
        form.chkLeaveCopy->setChecked(false);
        warn(QCoreApplication::translate(
                 "Warnings", "ignoring the stored \"%1\" value \"%2\"; the box stays unticked")
                 .arg(key::leaveCopy, leaveCopy));
    }

    form.txtFile->setText(store.read(key::lastFile, form.txtFile->text()));
    // The list's row is the entry equal to the text (none for a text of its own), so that
    // Up and Down step from there.
    const QString lastExtension = store.read(key::lastExtension, {});
    form.cboNewExtension->setCurrentIndex(
        form.cboNewExtension->findText(lastExtension, Qt::MatchExactly | Qt::MatchCaseSensitive));
    form.cboNewExtension->setEditText(lastExtension);

    if (commandLine.isEmpty()) return;
    const QString path = StripEnclosing(commandLine, QLatin1Char('"'));
    if (!exact) {
        warn(QCoreApplication::translate(
                 "Warnings", "the name %1 is not valid in the system's encoding (UTF-8); "
                             "Morvane cannot name that file again, so it will "
                             "not change it")
                 .arg(path));
        form.refusePath(path);
    }
    form.txtFile->setText(path);
}

bool Form_Unload(frmMain& form) {
    QStringList history;
    const int count = form.cboNewExtension->count();
    for (int i = 0; i < count && i < historyKept; ++i)
        history.append(form.cboNewExtension->itemText(i));

    SettingsStore store;
    store.write(key::lastExtensions, joinHistory(history));
    store.write(key::lastExtension, form.cboNewExtension->currentText());
    store.write(key::leaveCopy, form.chkLeaveCopy->checkState() == Qt::Unchecked
                                    ? QStringLiteral("0")
                                    : QStringLiteral("1"));
    const QString file = form.txtFile->text();
    if (file.isEmpty() || file != form.refusedPath()) store.write(key::lastFile, file);
    QString why;
    if (store.save(&why)) return true;
    warn(QCoreApplication::translate(
             "Warnings", "the settings could not be saved to %1 (%2); the previous ones are kept")
             .arg(store.fileName(), why));
    return false;
}

} // namespace morvane
