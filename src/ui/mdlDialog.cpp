#include "mdlDialog.h"
#include "failure.h"

#include <limits>

namespace morvane {

// The error number a sum of flags too large for them reports, as the component's callers know it.
constexpr int overflow = 6;

QString ShowOpenDialog(DialogComponent& dialog, const QString& text, QString& filter,
                       qint32& extraFlags, bool unloadParent) {
    QString result;
    try {
        dialog.cancelError = true;
        dialog.dialogTitle = text;
        if (filter.isEmpty()) filter = defaultOpenFilter();
        dialog.filter = filter;
        const qint64 flags = qint64(extraFlags) + DialogComponent::HideReadOnly +
                             DialogComponent::PathMustExist + DialogComponent::FileMustExist;
        if (flags > std::numeric_limits<qint32>::max() ||
            flags < std::numeric_limits<qint32>::min())
            throw Failure{overflow, QStringLiteral("Overflow")};
        dialog.flags = static_cast<qint32>(flags);
        dialog.showOpen();
        result = dialog.fileName;
        if (unloadParent) dialog.unloadParent();
        return result;
    } catch (...) { // cancelling included: every failure gives the empty result
        if (unloadParent) dialog.unloadParent();
        return {};
    }
}

} // namespace morvane
