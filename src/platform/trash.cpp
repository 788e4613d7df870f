#include "trash.h"
#include "moves_linux.h"
#include "pathrules.h"
#include "posix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <unistd.h>

namespace morvane::posix {
namespace {

// The key of a .trashinfo line that names the place the file left.
constexpr QByteArrayView pathKey = "Path=";

// Makes the Trash's record of the file at inTrash name `original` as the place it left.
void renameTrashInfo(const QString& inTrash, const QString& original) {
    QFile in(trashInfoOf(inTrash));
    if (!in.open(QIODevice::ReadOnly)) return;
    QByteArrayList lines = in.readAll().split('\n');
    in.close();
    for (QByteArray& line : lines) {
        if (!line.startsWith(pathKey)) continue;
        // All up to the last slash stays; with no slash, the key alone.
        const qsizetype name = std::max<qsizetype>(line.lastIndexOf('/'), pathKey.size() - 1) + 1;
        line = line.left(name) + QUrl::toPercentEncoding(nameOfPath(original));
    }
    QSaveFile out(in.fileName());
    if (out.open(QIODevice::WriteOnly)) {
        out.write(lines.join('\n'));
        out.commit();
    }
}

} // namespace

QString trashInfoOf(const QString& inTrash) {
    const QFileInfo file(inTrash);
    return file.dir().filePath(QStringLiteral("../info/") + file.fileName() +
                               QStringLiteral(".trashinfo"));
}

QString toTrash(const QByteArray& at, const QString& original) {
    // Qt makes the Trash folder but not the data folder it lives in; without that folder it
    // falls back to the current folder.
    static const bool dataFolder =
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    Q_UNUSED(dataFolder)
    QString inTrash;
    if (!QFile::moveToTrash(QFile::decodeName(at), &inTrash)) return {};
    if (QFileInfo(inTrash).isRelative()) { // no real Trash after all: put it back
        takeBack(inTrash, at);
        return {};
    }
    if (QFile::decodeName(at) == original) return inTrash;
    // It was moved aside under another name first; the Trash must name the place it left.
    renameTrashInfo(inTrash, original);
    return inTrash;
}

int takeBack(const QString& inTrash, const QByteArray& to) {
    const int err = moveNoReplace(native(inTrash), to);
    if (err == 0) ::unlink(native(trashInfoOf(inTrash)).constData());
    return err;
}

} // namespace morvane::posix
