#pragma once

#include <QStringList>

namespace morvane {

// The history list is stored as one text, its entries joined by "¡" (U+00A1), without
// quoting: an entry holding "¡" comes back as two.
inline constexpr QChar historySeparator{0x00A1};
inline constexpr qsizetype historyKept = 10;

// The top ten entries; empty entries at the top leave nothing in the text.
QString joinHistory(const QStringList& entries);

// Every piece between separators is one entry, empty ones included; "" holds none.
QStringList splitHistory(const QString& text);

} // namespace morvane
