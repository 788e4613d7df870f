#include "settingsstore.h"
#include "ports.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace morvane {
namespace {

const QString section = QStringLiteral("General/");

bool readJson(QIODevice& device, QSettings::SettingsMap& map) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(device.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return false;
    const QJsonObject root = doc.object();
    for (auto group = root.begin(); group != root.end(); ++group) {
        if (!group->isObject()) continue;
        const QJsonObject values = group->toObject();
        for (auto it = values.begin(); it != values.end(); ++it) {
            // Every value is a text; a hand-written number or truth value reads as one too.
            if (it->isString() || it->isDouble() || it->isBool())
                map.insert(group.key() + QLatin1Char('/') + it.key(), it->toVariant().toString());
        }
    }
    return true;
}

bool writeJson(QIODevice& device, const QSettings::SettingsMap& map) {
    QJsonObject root;
    for (auto it = map.begin(); it != map.end(); ++it) {
        const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
        const QString group = slash < 0 ? QStringLiteral("General") : it.key().left(slash);
        QJsonObject values = root.value(group).toObject();
        values.insert(it.key().mid(slash + 1), it.value().toString());
        root.insert(group, values);
    }
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (device.write(bytes) != bytes.size()) return false;
    // The toolkit's atomic save does not check its last flush; a full disk or a size
    // limit must fail the save here, so that the old file is kept.
    auto* file = qobject_cast<QFileDevice*>(&device);
    return !file || file->flush();
}

QString statusText(QSettings::Status status) {
    return status == QSettings::FormatError ? QStringLiteral("the file is not valid")
                                            : QStringLiteral("the file cannot be accessed");
}

} // namespace

QSettings::Format settingsFormat() {
#ifdef Q_OS_WIN
    return QSettings::NativeFormat; // the user's registry hive
#else
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("json"), readJson, writeJson);
    return format;
#endif
}

SettingsStore::SettingsStore()
    : settings_(settingsFormat(), QSettings::UserScope, applicationTitle(), applicationTitle()) {
    if (settings_.status() != QSettings::NoError) readProblem_ = statusText(settings_.status());
}

QString SettingsStore::read(const QString& key, const QString& fallback) const {
    if (!readProblem_.isEmpty()) return fallback;
    return settings_.value(section + key, fallback).toString();
}

void SettingsStore::write(const QString& key, const QString& value) {
    settings_.setValue(section + key, value);
}

bool SettingsStore::save(QString* why) {
#ifndef Q_OS_WIN
    if (!readProblem_.isEmpty()) return replaceUnreadable(why);
#endif
    settings_.sync();
    if (settings_.status() == QSettings::NoError) return true;
    if (why) *why = statusText(settings_.status());
    return false;
}

#ifndef Q_OS_WIN
// QSettings keeps the error of its read, and will not write over a file it could not
// read: the values go to a new file beside it, which then takes its place whole.
bool SettingsStore::replaceUnreadable(QString* why) {
    // A linked settings file is replaced where it lives, as a normal save writes it there.
    const QFileInfo info(settings_.fileName());
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.filePath();
    const QString fresh = target + QStringLiteral(".new");
    QFile::remove(fresh);
    QSettings::Status status = QSettings::NoError;
    {
        QSettings out(fresh, settings_.format());
        const QStringList keys = settings_.allKeys();
        for (const QString& key : keys)
            out.setValue(key, settings_.value(key));
        out.sync();
        status = out.status();
    }
    // The old file was perhaps made unreadable on purpose: its owner alone reads the new one.
    QFile::setPermissions(fresh, QFile::ReadOwner | QFile::WriteOwner);
    if (status == QSettings::NoError && std::rename(QFile::encodeName(fresh).constData(),
                                                    QFile::encodeName(target).constData()) == 0)
        return true;
    QFile::remove(fresh);
    if (why) *why = statusText(status == QSettings::NoError ? QSettings::AccessError : status);
    return false;
}
#endif

} // namespace morvane
