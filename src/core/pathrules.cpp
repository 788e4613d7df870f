#include "pathrules.h"

namespace morvane {

QString extensionOfPath(const QString& path, QChar sep) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < path.lastIndexOf(sep)) return {};
    return path.mid(dot + 1);
}

QString folderOfPath(const QString& path, QChar sep) {
    return path.left(path.lastIndexOf(sep) + 1);
}

QString nameOfPath(const QString& path, QChar sep) {
    return path.mid(path.lastIndexOf(sep) + 1);
}

QString targetName(const QString& source, const QString& currentExt, const QString& newExt,
                   QChar sep) {
    const qsizetype base = keptLength(reinterpret_cast<const char16_t*>(source.utf16()),
                                      source.size(), currentExt.size(), char16_t(sep.unicode()));
    QString target;
    target.reserve(base + 1 + newExt.size());
    target.append(QStringView(source).left(base));
    if (!newExt.isEmpty()) {
        target.append(QLatin1Char('.'));
        target.append(newExt);
    }
    return target;
}

QString StripEnclosing(const QString& text, QChar ch) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == ch)
        ++first;
    while (last > first && text.at(last - 1) == ch)
        --last;
    return text.mid(first, last - first);
}

QString stripLeadingDot(const QString& text) {
    return text.startsWith(QLatin1Char('.')) ? text.mid(1) : text;
}

QChar forbiddenExtensionChar(const QString& ext, QChar sep) {
    for (const QChar c : ext) {
        if (c == sep || c == QLatin1Char('/') || c.category() == QChar::Other_Control) return c;
    }
    return {};
}

namespace {

// Iterative glob with single-star backtracking: linear in practice, no recursion.
bool globMatch(QStringView name, QStringView pattern) {
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') ||
                                   (pattern[p] != QLatin1Char('*') && pattern[p] == name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

bool matchesNamePattern(const QString& name, const QString& pattern) {
    if (pattern.endsWith(QLatin1Char('.'))) {
        if (name.endsWith(QLatin1Char('.'))) return globMatch(name, pattern);
        return !name.contains(QLatin1Char('.')) && globMatch(name, QStringView(pattern).chopped(1));
    }
    return globMatch(name, pattern);
}

} // namespace morvane
