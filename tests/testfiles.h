#pragma once

// Small helpers for tests that make and read real files.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

inline void write(const QString& path, const QByteArray& content) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(content);
}

inline QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Sets or clears the immutable flag of the file or folder at path, which then even root cannot
// change, rename or add to (ext4 and a few others; root only): whether it took.
inline bool setImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    const bool set =
        fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
        ::ioctl(fd, FS_IOC_SETFLAGS,
                &(flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL)) == 0;
    if (fd >= 0) ::close(fd);
    return set;
}

// The Trash and the journal of the tests' own, never the user's, however a test is run.
inline void isolateUserFolders() {
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data")); // made at first use
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.path() + "/state"));
}

// A real, small file system of its own (a tmpfs), unmounted when the test ends. Mounting
// needs root; callers skip without it.
struct SmallDisk {
    QString path;
    bool mounted;
    SmallDisk(const QString& at, const char* size) : path(at) {
        QDir().mkpath(at);
        mounted = ::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", 0,
                          (QByteArray("size=") + size).constData()) == 0;
    }
    ~SmallDisk() {
        if (mounted) ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
    }
    // Takes every free byte: a full disk.
    void fill() const {
        QFile filler(path + "/filler");
        if (filler.open(QIODevice::WriteOnly))
            while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
            }
    }
    operator QString() const { return path; }
};

// The exit code of body run in a forked child, or -1 when a signal ended it (a hang meets
// an alarm): for a kill, a hang or another user that would spoil the test process.
inline int exitCodeOf(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
