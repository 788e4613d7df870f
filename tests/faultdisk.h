#pragma once

// Mounts faultfs (tests/faultfs.c, which lists its options) for one test. Declare it after the
// QTemporaryDir it lives in, so it unmounts first; when it cannot mount, MORVANE_SKIP(disk.why)
// (strictskip.h).
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

struct FaultDisk {
    FaultDisk(const QString& at, const QStringList& options)
        : path(at + "/mount"), backing(at + "/backing") {
#ifndef MORVANE_FAULTFS
        (void)options;
        why = "faultfs was not built (libfuse3 missing)";
#else
        struct stat before = {}, now = {};
        if (::access("/dev/fuse", F_OK) != 0)
            why = "/dev/fuse is missing";
        else if (!QDir().mkpath(backing) || !QDir().mkpath(path) ||
                 ::stat(QFile::encodeName(path), &before) != 0)
            why = "cannot make the folders of the fault disk under " + at;
        if (!why.isEmpty()) return;
        const pid_t parent = ::getpid();
        fs.setChildProcessModifier([parent] {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // goes down with the test, even a killed one
            if (::getppid() != parent) ::_exit(1);
        });
        // A file, not a pipe: nobody reads faultfs's output while it serves the tests.
        fs.setProcessChannelMode(QProcess::MergedChannels);
        fs.setStandardOutputFile(at + "/faultfs.log");
        fs.start(MORVANE_FAULTFS, options + QStringList{backing, path});
        // Mounted once the mount point is on another device.
        for (QDeadlineTimer deadline(5000); !mounted && why.isEmpty();) {
            if (fs.waitForFinished(10) || fs.state() == QProcess::NotRunning) {
                QFile log(at + "/faultfs.log");
                log.open(QIODevice::ReadOnly);
                why = QString("faultfs exited with status %1: %2")
                          .arg(fs.exitStatus() == QProcess::NormalExit ? fs.exitCode() : -1)
                          .arg(QString::fromLocal8Bit(log.readAll()).trimmed());
            } else if (::stat(QFile::encodeName(path), &now) == 0 && now.st_dev != before.st_dev) {
                mounted = true;
            } else if (deadline.hasExpired()) {
                why = "faultfs did not mount within 5 s";
            }
        }
#endif
    }

    ~FaultDisk() {
        if (fs.state() == QProcess::NotRunning) return;
        unmount();
        // A file still open on the disk keeps a lazily unmounted faultfs serving it.
        if (fs.waitForFinished(5000)) return;
        fs.kill(); // which leaves the mount dead, to go now
        fs.waitForFinished();
        unmount();
    }

    bool mounted = false;
    const QString path, backing; // the mount point, and the folder it shows
    QString why;                 // why it is not mounted

private:
    void unmount() const {
        // Not root: the setuid helper unmounts.
        if (::umount2(QFile::encodeName(path), MNT_DETACH) != 0 && errno == EPERM)
            QProcess::execute("fusermount3", {"-u", "-z", path});
    }

    QProcess fs;
};
