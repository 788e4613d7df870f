#pragma once

#include <QChar>
#include <QDir>
#include <QString>
#include <algorithm>

// Character-level rules on whole path texts. Only the platform layer touches the file
// system; these never fail. The separator is a parameter so that Windows paths can be
// reasoned about on any system.
namespace morvane {

inline QChar nativeSeparator() {
    return QDir::separator();
}

// Everything after the last "." of the file name (the part after the last separator);
// a dot inside a folder name never counts.
QString extensionOfPath(const QString& path, QChar sep = nativeSeparator());

// Everything up to and including the last separator; empty when there is none.
QString folderOfPath(const QString& path, QChar sep = nativeSeparator());

// The file name part: everything after the last separator.
QString nameOfPath(const QString& path, QChar sep = nativeSeparator());

// The target rule, on any kind of characters: how much of the name stays when its current
// extension (currentExtSize characters) and that extension's dot are cut off. A dot counts
// only after the last separator.
template <typename Char>
qsizetype keptLength(const Char* name, qsizetype size, qsizetype currentExtSize, Char sep) {
    qsizetype i = size;
    while (i > 0 && name[i - 1] != Char('.') && name[i - 1] != sep)
        --i;
    const qsizetype dot = i > 0 && name[i - 1] == Char('.') ? 1 : 0;
    return std::max<qsizetype>(0, size - currentExtSize - dot);
}

// Cuts the current extension (and its dot) off the source and appends the new one.
QString targetName(const QString& source, const QString& currentExt, const QString& newExt,
                   QChar sep = nativeSeparator());

// Removes every leading and every trailing occurrence of ch; inner ones stay.
QString StripEnclosing(const QString& text, QChar ch);

// Removes at most one leading ".": ".md" -> "md", "..md" -> ".md", "." -> "".
QString stripLeadingDot(const QString& text);

// The first character that must not appear in a new extension (a folder separator or a
// control character would move or garble the file), or a null QChar when there is none.
QChar forbiddenExtensionChar(const QString& ext, QChar sep = nativeSeparator());

// Case-sensitive wildcard match of one file name: "*" any run, "?" one character.
// A pattern ending in "." asks for names without an extension, as "*." does on Windows:
// it matches names holding no "." at all, and names ending in ".".
bool matchesNamePattern(const QString& name, const QString& pattern);

inline bool hasWildcards(const QString& text) {
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

} // namespace morvane
