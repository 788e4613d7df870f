#include "dialogcomponent.h"
#include "failure.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace morvane {
namespace {

// The error number by which callers of an open-file dialog know that it was cancelled.
constexpr int cancelledError = 32755;

} // namespace

QStringList toNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        // The description is shown as written; Qt reads the patterns from the last
        // parentheses and hides them (HideNameFilterDetails).
        result.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')'));
    }
    return result;
}

void QtDialogComponent::showOpen() {
    QFileDialog dialog(owner_);
    dialog.setObjectName(QStringLiteral("dlgMain"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!dialogTitle.isEmpty()) dialog.setWindowTitle(dialogTitle);
    if (!initDir.isEmpty() && QFileInfo(initDir).isDir()) dialog.setDirectory(initDir);
    dialog.setFileMode((flags & (FileMustExist | PathMustExist)) ? QFileDialog::ExistingFile
                                                                 : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontUseNativeDialog, !useNativeDialog);
    const QStringList nameFilters = toNameFilters(filter);
    if (!nameFilters.isEmpty()) dialog.setNameFilters(nameFilters);
    fileName.clear();
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        fileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
        return;
    }
    if (cancelError) throw Failure{cancelledError, QStringLiteral("Cancel was selected.")};
}

void QtDialogComponent::unloadParent() {
    if (owner_) owner_->close();
}

} // namespace morvane
