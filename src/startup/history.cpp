#include "history.h"

namespace morvane {

QString joinHistory(const QStringList& entries) {
    QString text;
    for (const QString& entry : entries.mid(0, historyKept)) {
        if (!text.isEmpty()) text += historySeparator;
        text += entry;
    }
    return text;
}

QStringList splitHistory(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split(historySeparator);
}

} // namespace morvane
