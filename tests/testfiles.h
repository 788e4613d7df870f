#pragma once

// Small helpers for tests that make and read real files.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

inline void write(const QString& path, const QByteArray& content) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(content);
}

inline QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The Trash and the journal of the tests' own, never the user's, however a test is run.
inline void isolateUserFolders() {
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data")); // made at first use
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.path() + "/state"));
}
