#pragma once

// Mounts faultfs (tests/faultfs.c) for one test: a real file system backed by a folder that
// fails where asked (--chmod-errno=N, --utimens-errno=N, --eio=NAME) or folds case like a
// FAT stick (--casefold). Declare it after the QTemporaryDir it lives in, so it unmounts
// first; when it cannot mount, QSKIP(disk.why).
#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct FaultDisk {
    FaultDisk(const QString& at, const QStringList& options) {
#ifdef MORVANE_FAULTFS
        const char* program = MORVANE_FAULTFS;
#else
        const char* program = nullptr;
#endif
        struct stat before {};
        const QString backing = at + "/backing";
        if (!program) {
            why = "faultfs was not built (libfuse3 missing)";
        } else if (access("/dev/fuse", F_OK) != 0) {
            why = "/dev/fuse is missing";
        } else if (!QDir().mkpath(backing) || !QDir().mkpath(at + "/mount") ||
                   stat(QFile::encodeName(at + "/mount").constData(), &before) != 0) {
            why = "cannot make the folders of the fault disk under " + at;
        }
        if (!why.isEmpty()) return;
        path = at + "/mount";

        // Everything the child needs is made before fork(): it may only exec afterwards.
        std::vector<QByteArray> args{program, QFile::encodeName(backing), QFile::encodeName(path)};
        for (const QString& o : options)
            args.push_back(o.toUtf8());
        std::vector<char*> argv;
        for (QByteArray& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            why = "pipe failed";
            return;
        }
        const pid_t parent = getpid();
        pid = fork();
        if (pid == 0) {
            // Goes down with the test, even when the test is killed.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent) _exit(1);
            signal(SIGPIPE, SIG_IGN);
            dup2(out[1], STDOUT_FILENO);
            dup2(out[1], STDERR_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        if (pid < 0) why = "fork failed";

        // Mounted once the mount point is on another device.
        for (QDeadlineTimer deadline(5000); why.isEmpty(); usleep(10000)) {
            int status = 0;
            struct stat now {};
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                fcntl(out[0], F_SETFL, O_NONBLOCK);
                char text[2048];
                const ssize_t n = read(out[0], text, sizeof text);
                why = QString("faultfs exited with status %1: %2")
                          .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1)
                          .arg(QString::fromLocal8Bit(text, n > 0 ? n : 0).trimmed());
            } else if (stat(QFile::encodeName(path).constData(), &now) == 0 &&
                       now.st_dev != before.st_dev) {
                mounted = true;
                break;
            } else if (deadline.hasExpired()) {
                why = "faultfs did not mount within 5 s";
            }
        }
        close(out[0]);
    }

    ~FaultDisk() {
        if (pid <= 0) return;
        unmount();
        // A file still open on the disk keeps a lazily unmounted faultfs serving it.
        if (!exited(5000)) {
            kill(pid, SIGTERM);
            if (!exited(2000)) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
            unmount();
        }
    }

    FaultDisk(const FaultDisk&) = delete;
    FaultDisk& operator=(const FaultDisk&) = delete;

    operator QString() const {
        return path;
    }

    bool mounted = false;
    QString path; // the mount point
    QString why;  // why it is not mounted

private:
    void unmount() const {
        const QByteArray at = QFile::encodeName(path);
        if (umount2(at.constData(), MNT_DETACH) == 0 || errno != EPERM) return;
        const pid_t helper = fork(); // not root: the setuid helper unmounts
        if (helper == 0) {
            execlp("fusermount3", "fusermount3", "-u", "-z", at.constData(), nullptr);
            _exit(127);
        }
        if (helper > 0) waitpid(helper, nullptr, 0);
    }

    bool exited(int ms) {
        for (QDeadlineTimer deadline(ms); !deadline.hasExpired(); usleep(10000)) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        }
        return false;
    }

    pid_t pid = -1;
};
