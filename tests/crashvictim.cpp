// The program tst_crash kills: one folder run of the Change button over an existing folder,
// every text file to md (or a copy of each), with its journal, and nothing else; or, with
// --undo, the start's undo of the interrupted change the journal holds.
//
//   crashvictim DIR [--copy] [--one] [--journal J] [--undo N | --then-undo]
//
// --then-undo undoes the change once it is done; --one changes the first text file alone. With
// MORVANE_KILL_AT=N in its environment it kills itself with SIGKILL just after its Nth step on the
// disk (a rename, link or unlink), so that a crash can be had at every step of a change and of its
// undo.
//
// The undo kills itself with SIGKILL as it comes to its Nth file, a crash at a known point.
// Prints "started" just before the run and "finished in S s: <closing message>" after;
// exits 0 when the run completed without a question.

#include "conversation.h"
#include "filesystem.h"
#include "journal.h"
#include "process.h"
#include "scriptedbox.h"

#include <QFile>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <string>

// Every step on the disk is counted; the Nth is the last.
namespace {
long stepsLeft = [] {
    const char* n = std::getenv("MORVANE_KILL_AT");
    return n ? std::atol(n) : 0;
}();
int step(int result) {
    if (stepsLeft > 0 && --stepsLeft == 0) ::raise(SIGKILL);
    return result;
}
} // namespace

extern "C" {
int __real_rename(const char*, const char*);
int __real_renameat2(int, const char*, int, const char*, unsigned);
int __real_linkat(int, const char*, int, const char*, int);
int __real_unlink(const char*);
int __real_unlinkat(int, const char*, int);
int __wrap_rename(const char* a, const char* b) {
    return step(__real_rename(a, b));
}
int __wrap_renameat2(int d, const char* a, int e, const char* b, unsigned f) {
    return step(__real_renameat2(d, a, e, b, f));
}
int __wrap_linkat(int d, const char* a, int e, const char* b, int f) {
    return step(__real_linkat(d, a, e, b, f));
}
int __wrap_unlink(const char* a) {
    return step(__real_unlink(a));
}
int __wrap_unlinkat(int d, const char* a, int f) {
    return step(__real_unlinkat(d, a, f));
}
}

namespace {

// The first visible text file: the file box names one file of the folder run.
std::string firstTextFile(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
        std::perror(("crashvictim: opendir " + dir).c_str());
        std::exit(2);
    }
    std::string first;
    while (const dirent* e = ::readdir(d)) {
        const size_t len = std::strlen(e->d_name);
        if (e->d_name[0] != '.' && len >= 4 && std::strcmp(e->d_name + len - 4, ".txt") == 0) {
            first = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return first.empty() ? "none.txt" : first; // the folder run only needs the folder part
}

// Dies as the undo comes to its file number `at`.
struct KillAt : morvane::Progress {
    long at;
    explicit KillAt(long n) : at(n) {}
    void changing(qint64 number, qint64, const QString&) override {
        if (number >= at) ::raise(SIGKILL);
    }
};

// As a start that is answered Yes: the interrupted change's files go back.
int undoInterrupted(const std::string& journalPath, long killAt) {
    morvane::FileJournal journal(QFile::decodeName(journalPath.c_str()));
    if (!journal.interrupted().present) {
        std::fprintf(stderr, "crashvictim: no interrupted change to undo\n");
        return 3;
    }
    std::printf("started\n");
    std::fflush(stdout);
    morvane::NativeFileSystem fs;
    ScriptedBox box;
    KillAt progress(killAt);
    const morvane::ChangeEnd end = morvane::undoAndReport(fs, box, progress, journal);
    std::printf("finished: %s\n", qPrintable(box.texts().value(box.texts().size() - 1)));
    return end == morvane::ChangeEnd::Undone ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string dir, journalPath;
    bool copy = false, undo = false, thenUndo = false, one = false;
    long killAt = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--copy") == 0)
            copy = true;
        else if (std::strcmp(argv[i], "--undo") == 0 && i + 1 < argc)
            undo = true, killAt = std::atol(argv[++i]);
        else if (std::strcmp(argv[i], "--then-undo") == 0)
            thenUndo = true;
        else if (std::strcmp(argv[i], "--one") == 0)
            one = true;
        else if (std::strcmp(argv[i], "--journal") == 0 && i + 1 < argc)
            journalPath = argv[++i];
        else if (argv[i][0] != '-' && dir.empty())
            dir = argv[i];
        else {
            dir.clear(); // anything else: the usage line
            break;
        }
    }
    if (dir.empty()) {
        std::fprintf(stderr, "usage: crashvictim DIR [--copy] [--journal J] [--undo N]\n");
        return 2;
    }
    morvane::ignoreFileSizeSignal();
    if (undo) return undoInterrupted(journalPath, killAt);
    const std::string first = firstTextFile(dir);
    std::printf("started\n");
    std::fflush(stdout);

    std::unique_ptr<morvane::FileJournal> journal;
    if (!journalPath.empty())
        journal = std::make_unique<morvane::FileJournal>(QFile::decodeName(journalPath.c_str()));
    const morvane::ChangeRequest request{QFile::decodeName((dir + "/" + first).c_str()),
                                         QStringLiteral("txt"), QStringLiteral("md"), !one, copy};
    morvane::NativeFileSystem fs;
    ScriptedBox box; // Yes to every question, of which none is expected
    const auto t0 = std::chrono::steady_clock::now();
    const morvane::ChangeEnd end =
        morvane::changeAndReport(request, fs, box, morvane::noProgress(), journal.get());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    morvane::giveBackFreeMemory(); // as start-up does after every run
    if (thenUndo && journal)       // answering Yes to any question, as asked
        return morvane::undoAndReport(fs, box, morvane::noProgress(), *journal) ==
                       morvane::ChangeEnd::Undone
                   ? 0
                   : 1;
    const QString last = box.texts().value(box.texts().size() - 1);
    std::printf("finished in %.4f s: %s\n", seconds, qPrintable(last));
    const bool ok =
        end == morvane::ChangeEnd::Completed || end == morvane::ChangeEnd::NothingChanged;
    return ok && box.shown.size() == 1 ? 0 : 1;
}
