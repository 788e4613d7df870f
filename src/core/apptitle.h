#pragma once

#include <QString>

namespace morvane {

// The window's caption, the caption of a box without one of its own, and the name the
// settings and the journal are kept under.
inline const QString& applicationTitle() {
    static const QString title = QStringLiteral("Morvane");
    return title;
}

} // namespace morvane
