#include "settingsstore.h"
#include "apptitle.h"
#include "failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>

namespace morvane {
namespace {

const QString section = QStringLiteral("General/");

// How long a close waits for another program's save before it gives up.
constexpr int lockWaitMs = 500;

[[maybe_unused]] bool parseJson(const QByteArray& bytes, QSettings::SettingsMap& map) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
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

[[maybe_unused]] bool writeJson(QIODevice& device, const QSettings::SettingsMap& map) {
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
    // QSaveFile's commit does not check its last flush; a full disk or a size limit must
    // fail the save here, so that the old file is kept.
    auto* file = qobject_cast<QFileDevice*>(&device);
    return !file || file->flush();
}

bool fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return false;
}

} // namespace

QSettings::Format settingsFormat() {
#ifdef Q_OS_WIN
    return QSettings::NativeFormat; // the user's registry hive
#else
    // QSettings only names the file; the store reads and writes it itself.
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("json"), [](QIODevice&, QSettings::SettingsMap&) { return true; },
        [](QIODevice&, const QSettings::SettingsMap&) { return false; });
    return format;
#endif
}

SettingsStore::SettingsStore()
    : settings_(settingsFormat(), QSettings::UserScope, applicationTitle(), applicationTitle()) {
#ifdef Q_OS_WIN
    if (settings_.status() != QSettings::NoError) {
        readProblem_ = QCoreApplication::translate("Warnings", "the settings cannot be read");
        return;
    }
    const QStringList keys = settings_.allKeys();
    for (const QString& key : keys)
        values_.insert(key, settings_.value(key));
#else
    QFile file(fileName());
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(file.fileName())) return; // none yet
        unreadable_ = true;
    } else {
        const QByteArray bytes = file.readAll();
        // A read that failed part way leaves a file that only looks cut short.
        unreadable_ = file.error() != QFileDevice::NoError;
        if (!unreadable_ && !parseJson(bytes, values_))
            readProblem_ = QCoreApplication::translate("Warnings", "the file is not valid");
    }
    if (unreadable_)
        readProblem_ = QCoreApplication::translate("Warnings", "the file cannot be read");
#endif
}

QString SettingsStore::read(const QString& key, const QString& fallback) const {
    return values_.value(section + key, fallback).toString();
}

void SettingsStore::write(const QString& key, const QString& value) {
    values_.insert(section + key, value);
}

bool SettingsStore::save(QString* why) {
#ifdef Q_OS_WIN
    for (auto it = values_.cbegin(); it != values_.cend(); ++it)
        settings_.setValue(it.key(), it.value());
    settings_.sync();
    return settings_.status() == QSettings::NoError ||
           fail(why, QCoreApplication::translate("Warnings", "the settings cannot be written"));
#else
    if (unreadable_) return fail(why, readProblem_);
    const QString name = fileName();
    QDir().mkpath(QFileInfo(name).absolutePath());
    // The lock QSettings would take, with a time limit: a lock that is a folder, or a stale
    // one in a read-only folder, would keep it waiting for ever.
    const QString unwritable =
        QCoreApplication::translate("Warnings", "the file cannot be written");
    QLockFile lock(name + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMs))
        return fail(
            why, lock.error() == QLockFile::LockFailedError
                     ? QCoreApplication::translate("Warnings", "its lock %1.lock cannot be taken")
                           .arg(name)
                     : unwritable);
    // Renamed over the old file only once whole; a linked file is written where it lives.
    QSaveFile file(name);
    return (file.open(QIODevice::WriteOnly) && writeJson(file, values_) && file.commit()) ||
           fail(why, unwritable);
#endif
}

} // namespace morvane
