#pragma once

#include "dialogcomponent.h"

#include <QCoreApplication>

namespace morvane {

// Every file: on POSIX systems "*", since "*.*" would leave out names without a dot.
inline QString defaultOpenFilter() {
    //: The open-file dialog's one filter.
    const QString all = QCoreApplication::translate("morvane::frmMain", "All Files");
#ifdef Q_OS_WIN
    return all + QStringLiteral(" (*.*)|*.*");
#else
    return all + QStringLiteral(" (*)|*");
#endif
}

// Shows dialog as a modal open-file dialog and returns the chosen path, or the empty text
// when the user cancelled or anything failed. An empty filter is replaced, in the caller's
// variable too, by the default one; the flags handed over are extraFlags + 6148.
QString ShowOpenDialog(DialogComponent& dialog, const QString& text, QString& filter,
                       qint32& extraFlags, bool unloadParent);

} // namespace morvane
