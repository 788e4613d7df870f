#pragma once

// The start of a window, from the program's launch to its window shown and its crash check
// done, against the last change the journal keeps: a window must not pay for a large one.
#include "filesystem.h"
#include "frmMain.h"
#include "journal.h"
#include "messages.h"

#include <QApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace startbench {

// Answers No to everything; a finished change asks nothing anyway.
struct NoBox : morvane::MessageBox {
    bool askOverwrite(const QString&) override { return false; }
    bool reportEnding(const morvane::ChangeReport&) override { return false; }
    void reportError(const morvane::Failure&) override {}
    bool askRecovery(qint64, qint64) override { return false; }
    bool askFinishUndo(qint64, qint64) override { return false; }
};

inline long residentKiB() {
    FILE* f = std::fopen("/proc/self/status", "r");
    long kib = -1;
    char line[256];
    while (f && std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kib = std::strtol(line + 6, nullptr, 10);
    if (f) std::fclose(f);
    return kib;
}

// The child: what main() does up to the shown window and the crash check, then its size.
inline int child(int argc, char** argv, const char* state) {
    QApplication app(argc, argv);
    morvane::NativeFileSystem fs;
    morvane::FileJournal journal(QFile::decodeName(state));
    NoBox box;
    morvane::QtDialogComponent dialog;
    morvane::frmMain form(morvane::Services{&fs, &journal, &box, &dialog});
    form.show();
    form.offerRecovery();
    QCoreApplication::processEvents();
    std::printf("shown %ld\n", residentKiB());
    std::fflush(stdout);
    return 0;
}

// A finished change of n renames in one folder, as a folder run puts it on record.
inline bool recordChange(const std::string& state, long n) {
    morvane::FileJournal journal(QFile::decodeName(state.c_str()));
    if (!journal.begin(QStringLiteral("/home/user/photos/"), n)) return false;
    std::vector<std::string> names;
    std::vector<morvane::NameRecord> batch;
    for (long from = 0; from < n; from += 1024) {
        const long end = std::min(n, from + 1024);
        names.clear();
        batch.clear();
        names.reserve(size_t(2 * (end - from)));
        for (long i = from; i < end; ++i) {
            names.push_back("f" + std::to_string(1000000 + i) + ".txt");
            names.push_back("f" + std::to_string(1000000 + i) + ".md");
        }
        for (size_t k = 0; k < names.size(); k += 2)
            batch.push_back({morvane::JournalRecord::Rename,
                             names[k].c_str(),
                             names[k + 1].c_str(),
                             morvane::ListedId{5, quint64(from) + k, 99},
                             {}});
        if (!journal.intend(batch, end == n)) return false;
    }
    return journal.finish();
}

struct Start {
    double seconds = 1e9; // the best of the runs
    long kib = 0;         // resident once shown, the least of the runs
};

// One start of this program as the child, on the journal in state.
inline bool startOnce(const char* self, const std::string& state, Start& best) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return false;
    const char* args[] = {self, "--start-child", state.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    const auto t0 = std::chrono::steady_clock::now();
    const int spawned =
        ::posix_spawn(&pid, self, &actions, nullptr, const_cast<char**>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string said;
    char b[128];
    while (spawned == 0 && said.find('\n') == std::string::npos) {
        const ssize_t n = ::read(out[0], b, sizeof b);
        if (n <= 0) break;
        said.append(b, size_t(n));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ::close(out[0]);
    int status = 0;
    if (spawned == 0) ::waitpid(pid, &status, 0);
    long kib = 0;
    if (std::sscanf(said.c_str(), "shown %ld", &kib) != 1) return false;
    best.seconds = std::min(best.seconds, seconds);
    best.kib = best.kib == 0 ? kib : std::min(best.kib, kib);
    return true;
}

} // namespace startbench
