// Times the folder run of the Change button against the smallest C loop that does the same
// job, measures its memory and the existence test, and checks every result.
//
//   morvane-bench [N ...] [--dir D] [--keep] [--repeat R] [--copy-n C] [--probe-calls K]
//   morvane-bench --start [--dir D] [--repeat R]
//
// It builds its folders in a fresh temporary folder under D (default /tmp) and removes them
// unless --keep is given.

#include "changerun.h"
#include "conversation.h"
#include "filesystem.h"
#include "journal.h"
#include "messages.h"
#include "process.h"
#include "rawfiles.h"
#include "startbench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <linux/magic.h>
#include <malloc.h>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// ---- goals -------------------------------------------------------------------------------

// What Morvane is held to; every goal is printed with the worst figure of the run.
struct Goal {
    const char* name;
    double limit;
    const char* unit; // or what the figure is compared with
    bool under;       // the figure must stay below the limit, not merely reach it
};

enum GoalId {
    RenameDisk,
    RenameTmpfs,
    BytesPerFile,
    IdleAfter,
    CopyToKernel,
    CopyToCp,
    ExistenceTest,
    ThreadToDirect,
    LoopGap,
    CancelTime,
    JournalTime,
    JournalMemory,
    JournalFile,
    StartTime,
    StartMemory,
};

constexpr Goal goals[] = {
    {"folder rename on the disk", 1.10, "x the floor loop", false},
    {"folder rename on a tmpfs", 1.15, "x the floor loop", false},
    {"memory during a run of 100,000 files or more", 48, "bytes a file", false},
    {"memory once the run has ended", 2, "MiB over before", false},
    {"copies of 1 MiB", 1.10, "x the kernel copy loop", false},
    {"every copy run", 1, "x cp -p", true},
    {"existence test", 50, "us a call", true},
    {"run on its thread", 1.05, "x the direct call", false},
    {"event loop kept away", 50, "ms", true},
    {"from Cancel to the run's end", 100, "ms", true},
    {"folder run with its journal", 1.10, "x without", false},
    {"journal's memory", 16, "MiB over the run without it", true},
    {"journal file", 20, "MiB", true},
    {"start after a 1,000,000-file change", 1.10, "x a clean start", false},
    {"memory of that start", 1, "MiB over a clean start", false},
};

// Prints the goal with the worst figure seen and whether that met it.
void judge(GoalId id, double worst) {
    const Goal& g = goals[id];
    const bool met = g.under ? worst < g.limit : worst <= g.limit;
    std::printf("goal: %s %s %g %s (worst %.3f): %s\n", g.name, g.under ? "under" : "at most",
                g.limit, g.unit, worst, met ? "met" : "NOT met");
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "morvane-bench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(2);
}

// ---- memory ------------------------------------------------------------------------------

long statusKiB(const char* key) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long value = -1;
    const size_t keyLen = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, keyLen) == 0 && line[keyLen] == ':') {
            value = std::strtol(line + keyLen + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

// Gives freed heap back and restarts VmHWM (and with it ru_maxrss) at the current size, so
// that the peak read after a run is the run's own.
bool resetPeak() {
    malloc_trim(0);
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f) return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

long maxRssKiB() {
    struct rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

double mib(long kib) {
    return kib / 1024.0;
}

// ---- folders -----------------------------------------------------------------------------

std::string txtName(long i) {
    char b[32];
    std::snprintf(b, sizeof b, "f%07ld.txt", i);
    return b;
}

long contentBytes = 0; // of every file built; 0: just its number

std::string content(long i) {
    std::string c = std::to_string(i) + "\n";
    if (contentBytes > long(c.size())) c.resize(size_t(contentBytes), 'x');
    return c;
}

constexpr int hiddenCount = 10;

void writeFile(int dfd, const std::string& name, const std::string& data) {
    if (!rawfiles::writeFile(dfd, name, data)) die("create " + name);
}

using rawfiles::readFile;

// N text files, N/10 logs and a few hidden text files that a folder run must not touch;
// flushed to disk so that no write-back from building lands in a timed run.
void buildFolder(const std::string& path, long n) {
    if (::mkdir(path.c_str(), 0755) != 0) die("mkdir " + path);
    const int dfd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) die("open " + path);
    for (long i = 1; i <= n; ++i)
        writeFile(dfd, txtName(i), content(i));
    for (long i = 1; i <= n / 10; ++i) {
        char b[32];
        std::snprintf(b, sizeof b, "l%07ld.log", i);
        writeFile(dfd, b, content(i));
    }
    for (int i = 1; i <= hiddenCount; ++i)
        writeFile(dfd, ".hidden-" + std::to_string(i) + ".txt", "hidden " + std::to_string(i));
    ::syncfs(dfd);
    ::close(dfd);
}

void removeFolder(const std::string& path) {
    DIR* d = ::opendir(path.c_str());
    if (!d) return;
    const int dfd = ::dirfd(d);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    for (const std::string& n : names)
        ::unlinkat(dfd, n.c_str(), 0);
    ::closedir(d);
    ::rmdir(path.c_str());
}

bool endsWith(const char* s, size_t len, const char* tail) {
    const size_t t = std::strlen(tail);
    return len >= t && std::memcmp(s + len - t, tail, t) == 0;
}

using rawfiles::numberOf;

// Checks a folder built by buildFolder after a rename run (every text file now .md) or a copy
// run (every text file still there, plus a whole .md copy). Returns the problems found.
std::vector<std::string> verifyFolder(const std::string& path, long n, bool copyMode) {
    std::vector<std::string> problems;
    auto problem = [&](std::string p) {
        if (problems.size() < 10) problems.push_back(std::move(p));
    };
    DIR* d = ::opendir(path.c_str());
    if (!d) {
        problem("cannot list " + path);
        return problems;
    }
    const int dfd = ::dirfd(d);
    std::vector<char> mdSeen(n + 1), txtSeen(n + 1);
    long logs = 0, hidden = 0;
    std::string data;
    while (const dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        const size_t len = std::strlen(name);
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (name[0] == '.') {
            ++hidden;
            const bool known =
                std::strncmp(name, ".hidden-", 8) == 0 && endsWith(name, len, ".txt");
            if (!known || !readFile(dfd, name, data) ||
                data != "hidden " + std::to_string(std::atoi(name + 8)))
                problem(std::string("hidden file changed or unexpected: ") + name);
            continue;
        }
        if (const long i = numberOf(name, 'l', "log", 7); i > 0) {
            ++logs;
            if (!readFile(dfd, name, data) || data != content(i))
                problem(std::string("log changed: ") + name);
            continue;
        }
        const long mdNumber = numberOf(name, 'f', "md", 7);
        const long i = mdNumber > 0 ? mdNumber : numberOf(name, 'f', "txt", 7);
        if (i < 1 || i > n) {
            problem(std::string("unexpected file: ") + name);
            continue;
        }
        std::vector<char>& seen = mdNumber > 0 ? mdSeen : txtSeen;
        if (seen[i]++) problem(std::string("seen twice: ") + name);
        if (!readFile(dfd, name, data) || data != content(i))
            problem(std::string("wrong content: ") + name);
    }
    ::closedir(d);
    const long md = std::count(mdSeen.begin(), mdSeen.end(), 1);
    const long txt = std::count(txtSeen.begin(), txtSeen.end(), 1);
    if (md != n) problem(std::to_string(md) + " .md files instead of " + std::to_string(n));
    if (txt != (copyMode ? n : 0)) problem(std::to_string(txt) + " .txt files left");
    if (logs != n / 10)
        problem(std::to_string(logs) + " .log files instead of " + std::to_string(n / 10));
    if (hidden != hiddenCount)
        problem(std::to_string(hidden) + " hidden files instead of " + std::to_string(hiddenCount));
    return problems;
}

// ---- the two sides -----------------------------------------------------------------------

// Says Yes to every overwrite question, as a user clicking through would, and keeps the
// closing message.
class YesBox : public morvane::MessageBox {
public:
    bool askOverwrite(const QString&) override {
        ++questions;
        return true;
    }
    bool reportEnding(const morvane::ChangeReport& report) override {
        const std::optional<morvane::Message> m = morvane::endingMessage(report);
        if (m) last = m->text;
        return false;
    }
    void reportError(const morvane::Failure& f) override { last = morvane::errorText(f); }
    bool askRecovery(qint64, qint64) override { return false; }
    bool askFinishUndo(qint64, qint64) override { return false; }
    long questions = 0;
    QString last;
};

struct RunResult {
    double seconds = 0;
    long peakKiB = -1;     // VmHWM during the run
    long increaseKiB = -1; // that peak less the size just before
    long maxRssKiB = -1;   // ru_maxrss right after the run, as a second opinion
    long idleKiB = 0;      // the size once the run has given its memory back, less before
    std::string message;
    bool ok = true;
};

// The Change button's code path with a real file system.
RunResult runMorvane(const std::string& folder, const std::string& firstFile, bool copy,
                     morvane::Journal* journal = nullptr) {
    const morvane::ChangeRequest request{QFile::decodeName((folder + "/" + firstFile).c_str()),
                                         QStringLiteral("txt"), QStringLiteral("md"), true, copy};
    morvane::NativeFileSystem fs;
    YesBox box;

    RunResult r;
    const bool peakReset = resetPeak();
    const long before = statusKiB("VmRSS");
    const auto t0 = Clock::now();
    const morvane::ChangeEnd end =
        morvane::changeAndReport(request, fs, box, morvane::noProgress(), journal);
    r.seconds = secondsSince(t0);
    if (peakReset) {
        r.peakKiB = statusKiB("VmHWM");
        r.increaseKiB = r.peakKiB - before;
        r.maxRssKiB = maxRssKiB();
    }
    morvane::giveBackFreeMemory(); // as start-up does after every run
    r.idleKiB = statusKiB("VmRSS") - before;
    r.message = box.last.toStdString();
    // No file here has a target already, so no question may come up; the closing message is
    // checked by the caller.
    r.ok = (end == morvane::ChangeEnd::Completed || end == morvane::ChangeEnd::NothingChanged) &&
           box.questions == 0;
    return r;
}

// The least a program can do for the same result: one listing, one status call on the
// target and one no-replace rename per file, all relative to the open folder.
RunResult runCLoop(const std::string& folder) {
    RunResult r;
    const auto t0 = Clock::now();
    DIR* d = ::opendir(folder.c_str());
    if (!d) die("opendir " + folder);
    const int dfd = ::dirfd(d);
    long changed = 0;
    char target[NAME_MAX + 1];
    while (const dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        if (name[0] == '.') continue;
        const size_t len = std::strlen(name);
        if (!endsWith(name, len, ".txt")) continue;
        struct stat st;
        if (e->d_type != DT_REG && ((e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) ||
                                    ::fstatat(dfd, name, &st, 0) != 0 || !S_ISREG(st.st_mode)))
            continue;
        std::memcpy(target, name, len - 3);
        std::memcpy(target + len - 3, "md", 3);
        if (::fstatat(dfd, target, &st, 0) == 0) {
            r.ok = false; // a target already there: the folders here never have one
            continue;
        }
        if (::renameat2(dfd, name, dfd, target, RENAME_NOREPLACE) != 0)
            die(std::string("renameat2 ") + name);
        ++changed;
    }
    ::closedir(d);
    r.seconds = secondsSince(t0);
    r.message = std::to_string(changed) + " renamed";
    return r;
}

// The floor: the folder read in large blocks and one no-replace rename per file by bare name,
// no status call at all (a taken name would simply be refused).
RunResult runFloorLoop(const std::string& folder) {
    RunResult r;
    const auto t0 = Clock::now();
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) die("open " + folder);
    std::vector<char> buffer(1 << 20);
    char target[NAME_MAX + 1];
    long changed = 0;
    for (ssize_t got; (got = ::getdents64(dfd, buffer.data(), buffer.size())) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* e = reinterpret_cast<const dirent64*>(buffer.data() + at);
            at += e->d_reclen;
            const char* name = e->d_name;
            const size_t len = std::strlen(name);
            if (name[0] == '.' || e->d_type != DT_REG || !endsWith(name, len, ".txt")) continue;
            std::memcpy(target, name, len - 3);
            std::memcpy(target + len - 3, "md", 3);
            if (::renameat2(dfd, name, dfd, target, RENAME_NOREPLACE) != 0)
                die(std::string("renameat2 ") + name);
            ++changed;
        }
    }
    ::close(dfd);
    r.seconds = secondsSince(t0);
    r.message = std::to_string(changed) + " renamed";
    return r;
}

// cp -p of the same files into a folder beside, in one process.
RunResult runCp(const std::string& folder) {
    RunResult r;
    std::vector<std::string> names;
    DIR* d = ::opendir(folder.c_str());
    if (!d) die("opendir " + folder);
    while (const dirent* e = ::readdir(d)) {
        const size_t len = std::strlen(e->d_name);
        if (e->d_name[0] != '.' && endsWith(e->d_name, len, ".txt"))
            names.push_back(folder + "/" + e->d_name);
    }
    ::closedir(d);
    const std::string into = folder + "-cp";
    if (::mkdir(into.c_str(), 0755) != 0) die("mkdir " + into);
    std::vector<char*> argv{const_cast<char*>("cp"), const_cast<char*>("-p"),
                            const_cast<char*>("-t"), const_cast<char*>(into.c_str())};
    for (std::string& n : names)
        argv.push_back(n.data());
    argv.push_back(nullptr);
    const auto t0 = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp("cp", argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    r.seconds = secondsSince(t0);
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    removeFolder(into);
    return r;
}

// The same for copies: a hidden temporary file, data (through this process, or with the
// kernel's copy_file_range), mode and times, then a no-replace rename into place.
RunResult runCCopyLoop(const std::string& folder, bool kernel) {
    RunResult r;
    const auto t0 = Clock::now();
    DIR* d = ::opendir(folder.c_str());
    if (!d) die("opendir " + folder);
    const int dfd = ::dirfd(d);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        const size_t len = std::strlen(e->d_name);
        if (e->d_name[0] != '.' && e->d_type == DT_REG && endsWith(e->d_name, len, ".txt"))
            names.emplace_back(e->d_name);
    }
    std::vector<char> buffer(1 << 18);
    for (const std::string& name : names) {
        const std::string target = name.substr(0, name.size() - 3) + "md";
        struct stat st;
        if (::fstatat(dfd, target.c_str(), &st, 0) == 0) {
            r.ok = false;
            continue;
        }
        const int in = ::openat(dfd, name.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0 || ::fstat(in, &st) != 0) die("open " + name);
        const int out = ::openat(dfd, ".c-copy.tmp", O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0) die("create temporary");
        for (ssize_t n; kernel && (n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 23, 0));)
            if (n < 0) die("copy_file_range");
        for (ssize_t n; !kernel && (n = ::read(in, buffer.data(), buffer.size())) > 0;)
            if (::write(out, buffer.data(), static_cast<size_t>(n)) != n) die("write");
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::fchmod(out, st.st_mode & 07777);
        ::futimens(out, times);
        ::close(in);
        if (::close(out) != 0) die("close");
        if (::renameat2(dfd, ".c-copy.tmp", dfd, target.c_str(), RENAME_NOREPLACE) != 0)
            die("renameat2 " + target);
    }
    ::closedir(d);
    r.seconds = secondsSince(t0);
    return r;
}

// ---- measurements ------------------------------------------------------------------------

struct Options {
    std::vector<long> sizes;
    std::string dir = "/tmp";
    bool keep = false;
    int repeats = 3;
    long copyN = 10000;
    long probeCalls = 200000;
    std::string tmpfsDir = "/dev/shm";
    bool million = false;    // only a run of 1,000,000 files on the tmpfs
    bool copiesOnly = false; // only the copy comparisons, under --dir
};

struct Comparison {
    std::string where; // "disk" or "tmpfs"
    long n = 0;
    bool copy = false;
    long bytes = 0;                             // of each file, for a copy run
    double morvane = 1e9, c = 1e9, floor = 1e9; // rename: floor loop; copy: kernel copy loop
    double cp = -1;                             // copy: cp -p, one process for all files
    long increaseKiB = 0, idleKiB = 0;          // peak and idle size after, over before
    bool verified = true;
    std::string message; // the closing message of the last Morvane run
};

std::string workRoot, tmpfsRoot;

// Best of `repeats` for each side, each run on a folder built just before it, the order
// turning so that no side always runs on the warmest cache. Morvane runs as the window
// runs it: with its journal, kept on the disk.
Comparison compare(const std::string& root, const std::string& where, long n, bool copy, long bytes,
                   const Options& o) {
    Comparison cmp;
    cmp.where = where;
    cmp.n = n;
    cmp.copy = copy;
    cmp.bytes = bytes;
    contentBytes = bytes;
    const char* mode = copy ? "copy" : "rename";
    const std::vector<std::string> sides =
        copy ? std::vector<std::string>{"Morvane", "C loop", "C kernel", "cp -p"}
             : std::vector<std::string>{"Morvane", "C loop", "floor"};
    const int repeats = n >= 1000000 ? 1 : o.repeats;
    for (int rep = 0; rep < repeats; ++rep) {
        for (size_t k = 0; k < sides.size(); ++k) {
            const std::string& side = sides[(k + size_t(rep)) % sides.size()];
            const std::string folder = root + "/" + mode + "-" + std::to_string(n) + "-" +
                                       std::to_string(k) + "-" + std::to_string(rep);
            buildFolder(folder, n);
            RunResult r;
            if (side == "Morvane") {
                morvane::FileJournal journal(QFile::decodeName((workRoot + "/state").c_str()));
                r = runMorvane(folder, txtName(1), copy, &journal);
                journal.discard();
                // A copy run renames nothing, so only the rename run's message is fixed.
                const std::string expected =
                    "Conversion complete. " + std::to_string(n) + " file extensions changed.";
                cmp.message = r.message;
                if (!copy && r.message != expected) {
                    std::printf("  ! message was \"%s\", expected \"%s\"\n", r.message.c_str(),
                                expected.c_str());
                    r.ok = false;
                }
                cmp.morvane = std::min(cmp.morvane, r.seconds);
                cmp.increaseKiB = std::max(cmp.increaseKiB, r.increaseKiB);
                cmp.idleKiB = std::max(cmp.idleKiB, r.idleKiB);
            } else if (side == "cp -p") {
                r = runCp(folder);
                cmp.cp = cmp.cp < 0 ? r.seconds : std::min(cmp.cp, r.seconds);
            } else {
                r = side == "floor" ? runFloorLoop(folder)
                    : copy          ? runCCopyLoop(folder, side == "C kernel")
                                    : runCLoop(folder);
                (side == "C loop" ? cmp.c : cmp.floor) =
                    std::min(side == "C loop" ? cmp.c : cmp.floor, r.seconds);
            }
            const std::vector<std::string> problems =
                side == "cp -p" ? std::vector<std::string>{} : verifyFolder(folder, n, copy);
            for (const std::string& p : problems)
                std::printf("  ! %s\n", p.c_str());
            const bool good = r.ok && problems.empty();
            cmp.verified = cmp.verified && good;
            std::printf("  %-6s %-5s N=%-7ld run %d  %-8s %9.4f s", mode, where.c_str(), n, rep + 1,
                        side.c_str(), r.seconds);
            if (side == "Morvane")
                std::printf("  +%.1f MiB, idle after %+.1f MiB", mib(r.increaseKiB),
                            mib(r.idleKiB));
            std::printf("  %s\n", good ? "checked" : "WRONG RESULT");
            std::fflush(stdout);
            if (!o.keep) removeFolder(folder);
        }
    }
    contentBytes = 0;
    return cmp;
}

struct WindowRun {
    long n = 0;
    double direct = 1e9, threaded = 1e9; // best of the repeats, seconds
    double longestGapMs = 0;             // between two turns of the window's event loop
    double cancelMs = -1;                // from Cancel to the run's end
    bool verified = true;
};

// Starts the Change button's run over folder on its worker thread and turns the window's
// event loop until the run ends; `meanwhile` is called once the run has started.
morvane::ChangeEnd runThreaded(QWidget& window, const std::string& folder, YesBox& box,
                               const std::function<void(morvane::ChangeRun&)>& meanwhile) {
    const morvane::ChangeRequest request{QFile::decodeName((folder + "/" + txtName(1)).c_str()),
                                         QStringLiteral("txt"), QStringLiteral("md"), true, false};
    morvane::NativeFileSystem fs;
    QEventLoop loop;
    morvane::ChangeRun run(
        &window,
        [&](morvane::MessageBox& b, morvane::Progress& p) {
            return morvane::changeAndReport(request, fs, b, p);
        },
        box);
    QObject::connect(&run, &morvane::ChangeRun::finished, &loop, &QEventLoop::quit);
    meanwhile(run);
    loop.exec();
    return run.end();
}

// The Change button's run: worker thread, progress reports and the message box round trip
// on a real event loop, against the same operation called directly on identical folders;
// then a run cancelled half way.
WindowRun timeWindowRun(long n, const Options& o) {
    WindowRun w;
    w.n = n;
    // Shown first, as Morvane's window is: its fonts and style are loaded before any run.
    QWidget window;
    window.show();
    for (int rep = 0; rep < o.repeats; ++rep) {
        for (const bool threaded : {rep % 2 == 0, rep % 2 != 0}) {
            const std::string folder =
                workRoot + "/window-" + std::to_string(rep) + (threaded ? "-thread" : "-direct");
            buildFolder(folder, n);
            RunResult r;
            if (!threaded) {
                r = runMorvane(folder, txtName(1), false);
                w.direct = std::min(w.direct, r.seconds);
            } else {
                YesBox box;
                // A timer that wants every millisecond shows how long the loop was kept away.
                QElapsedTimer sinceTurn;
                double gap = 0;
                QTimer tick;
                QObject::connect(&tick, &QTimer::timeout, [&] {
                    gap = std::max(gap, sinceTurn.nsecsElapsed() / 1e6);
                    sinceTurn.restart();
                });
                const auto t0 = Clock::now();
                const morvane::ChangeEnd end = runThreaded(window, folder, box, [&](auto&) {
                    sinceTurn.start();
                    tick.start(1);
                });
                r.seconds = secondsSince(t0);
                r.ok =
                    end == morvane::ChangeEnd::Completed &&
                    box.last ==
                        QStringLiteral("Conversion complete. %1 file extensions changed.").arg(n);
                w.threaded = std::min(w.threaded, r.seconds);
                w.longestGapMs = std::max(w.longestGapMs, gap);
            }
            const std::vector<std::string> problems = verifyFolder(folder, n, false);
            w.verified = w.verified && r.ok && problems.empty();
            std::printf("  window N=%-7ld run %d  %-8s %9.4f s  %s\n", n, rep + 1,
                        threaded ? "thread" : "direct", r.seconds,
                        r.ok && problems.empty() ? "checked" : "WRONG RESULT");
            std::fflush(stdout);
            if (!o.keep) removeFolder(folder);
        }
    }
    // Cancel half way through: the time until the run has stopped and said so.
    const std::string folder = workRoot + "/window-cancel";
    buildFolder(folder, n);
    YesBox box;
    Clock::time_point cancelledAt;
    const morvane::ChangeEnd end = runThreaded(window, folder, box, [&](morvane::ChangeRun& run) {
        QTimer::singleShot(int(std::max(10.0, w.direct * 500)), &run, [&] {
            cancelledAt = Clock::now();
            run.cancel();
        });
    });
    w.cancelMs = secondsSince(cancelledAt) * 1000;
    w.verified = w.verified && end == morvane::ChangeEnd::Cancelled &&
                 box.last.startsWith(QStringLiteral("Conversion cancelled. "));
    if (!o.keep) removeFolder(folder);
    return w;
}

struct JournalCost {
    long n = 0;
    double without = 1e9, with = 1e9; // best of the repeats, seconds
    long increaseWithoutKiB = 0, increaseWithKiB = 0;
    long long journalBytes = 0;
    bool verified = true;
};

// The same folder run with and without the journal that makes it undoable.
JournalCost timeJournal(long n, const Options& o) {
    JournalCost j;
    j.n = n;
    for (int rep = 0; rep < o.repeats; ++rep) {
        for (const bool journalled : {rep % 2 == 0, rep % 2 != 0}) {
            const std::string folder =
                workRoot + "/journal-" + std::to_string(rep) + (journalled ? "-with" : "-without");
            buildFolder(folder, n);
            morvane::FileJournal journal(QFile::decodeName((workRoot + "/state").c_str()));
            const RunResult r =
                runMorvane(folder, txtName(1), false, journalled ? &journal : nullptr);
            if (journalled) {
                j.with = std::min(j.with, r.seconds);
                j.increaseWithKiB = std::max(j.increaseWithKiB, r.increaseKiB);
                struct stat st;
                if (::stat(QFile::encodeName(journal.fileName()).constData(), &st) == 0)
                    j.journalBytes = st.st_size;
                j.verified = j.verified && journal.load().records.size() == n;
                journal.discard();
            } else {
                j.without = std::min(j.without, r.seconds);
                j.increaseWithoutKiB = std::max(j.increaseWithoutKiB, r.increaseKiB);
            }
            const bool good = r.ok && verifyFolder(folder, n, false).empty();
            j.verified = j.verified && good;
            std::printf("  journal N=%-7ld run %d  %-8s %9.4f s  +%.1f MiB  %s\n", n, rep + 1,
                        journalled ? "with" : "without", r.seconds, mib(r.increaseKiB),
                        good ? "checked" : "WRONG RESULT");
            std::fflush(stdout);
            if (!o.keep) removeFolder(folder);
        }
    }
    return j;
}

struct ProbeResult {
    long n = 0;
    double hitUs = 0, missUs = 0;
    bool correct = true;
};

// The existence test on plain paths in a folder of n files: present names and absent ones.
ProbeResult timeExistenceTest(long n, const Options& o) {
    const std::string folder = workRoot + "/probe-" + std::to_string(n);
    buildFolder(folder, n);
    const QString base = QFile::decodeName((folder + "/").c_str());
    std::vector<QString> present, absent;
    for (long i = 0; i < 1000; ++i) {
        const long k = 1 + (i * 7919) % n;
        present.push_back(base + QString::fromStdString(txtName(k)));
        absent.push_back(base + QStringLiteral("g%1.txt").arg(k));
    }
    ProbeResult p;
    p.n = n;
    long found = 0;
    for (auto* list : {&present, &absent}) {
        const auto t0 = Clock::now();
        for (long i = 0; i < o.probeCalls; ++i)
            found += morvane::existenceTest((*list)[i % 1000]).isEmpty() ? 0 : 1;
        const double us = secondsSince(t0) * 1e6 / o.probeCalls;
        (list == &present ? p.hitUs : p.missUs) = us;
    }
    p.correct = found == o.probeCalls;
    if (!o.keep) removeFolder(folder);
    return p;
}

// Starts of a window on a clean journal and on one whose last change is large, each the best
// of R, in turns.
int timeStarts(const char* self, const Options& o) {
    const std::vector<long> sizes{0, 100000, 1000000};
    std::vector<startbench::Start> best(sizes.size());
    for (size_t k = 0; k < sizes.size(); ++k)
        if (sizes[k] > 0 &&
            !startbench::recordChange(workRoot + "/state-" + std::to_string(sizes[k]), sizes[k]))
            die("recording a change of " + std::to_string(sizes[k]) + " files");
    for (int rep = 0; rep < std::max(o.repeats, 5); ++rep)
        for (size_t k = 0; k < sizes.size(); ++k)
            if (!startbench::startOnce(self, workRoot + "/state-" + std::to_string(sizes[k]),
                                       best[k]))
                die("a start did not show its window");
    std::printf("\n%-28s %10s %10s\n", "start, last change of", "ms", "MiB");
    for (size_t k = 0; k < sizes.size(); ++k)
        std::printf("%-28s %10.1f %10.1f\n",
                    sizes[k] == 0 ? "none (clean)" : (std::to_string(sizes[k]) + " files").c_str(),
                    best[k].seconds * 1000, mib(best[k].kib));
    judge(StartTime, best[2].seconds / best[0].seconds);
    judge(StartMemory, mib(best[2].kib - best[0].kib));
    if (!o.keep)
        for (long n : sizes)
            std::filesystem::remove_all(workRoot + "/state-" + std::to_string(n));
    if (!o.keep) ::rmdir(workRoot.c_str());
    return 0;
}

void usage() {
    std::fprintf(
        stderr,
        "usage: morvane-bench [N ...] [--dir D] [--keep] [--repeat R] [--copy-n C]\n"
        "                     [--probe-calls K] [--tmpfs D] [--million | --copies | --start]\n");
    std::exit(2);
}

long numberArg(const char* s) {
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (!s[0] || *end || v < 0) usage();
    return v;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--start-child") == 0) {
        int qtArgc = 1;
        return startbench::child(qtArgc, argv, argv[2]);
    }
    Options o;
    bool starts = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&] {
            if (i + 1 >= argc) usage();
            return argv[++i];
        };
        if (a == "--dir") {
            o.dir = value();
        } else if (a == "--keep") {
            o.keep = true;
        } else if (a == "--repeat") {
            o.repeats = std::max(1L, numberArg(value()));
        } else if (a == "--copy-n") {
            o.copyN = numberArg(value());
        } else if (a == "--tmpfs") {
            o.tmpfsDir = value();
        } else if (a == "--million") {
            o.million = true;
        } else if (a == "--start") {
            starts = true;
        } else if (a == "--copies") {
            o.copiesOnly = true;
        } else if (a == "--probe-calls") {
            o.probeCalls = std::max(1L, numberArg(value()));
        } else if (!a.empty() && a[0] != '-') {
            const long n = numberArg(a.c_str());
            if (n < 1 || n > 9999999) usage(); // seven digits in the names
            o.sizes.push_back(n);
        } else {
            usage();
        }
    }
    morvane::ignoreFileSizeSignal();
    if (o.million) o.sizes = {1000000};
    if (o.sizes.empty()) o.sizes = {20000, 100000};

    std::string templ = o.dir + "/morvane-bench-XXXXXX";
    if (!::mkdtemp(templ.data())) die("mkdtemp in " + o.dir);
    workRoot = templ;
    std::printf("morvane-bench in %s, best of %d per side, alternating order\n", workRoot.c_str(),
                o.repeats);
    // A virtual machine that hands freed memory back to its host makes fresh memory cost a
    // fault in the host: copy figures then swing with what ran just before.
    if (FILE* f = std::fopen("/sys/module/page_reporting/parameters/page_reporting_order", "r")) {
        int order = -1; // -1: no device reports
        if (std::fscanf(f, "%d", &order) == 1 && order >= 0 && order <= 10)
            std::printf("note: free page reporting is on (order %d): copy figures vary with it; "
                        "see README-bench.md\n",
                        order);
        std::fclose(f);
    }

    // The window's run needs a window system; none is shown unless one is there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (starts) return timeStarts(argv[0], o);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    // The same folder runs on a tmpfs, where the disk's own costs are gone and only the
    // program's show.
    struct statfs fsInfo;
    if (!o.tmpfsDir.empty() && ::statfs(o.tmpfsDir.c_str(), &fsInfo) == 0 &&
        fsInfo.f_type == TMPFS_MAGIC) {
        std::string t = o.tmpfsDir + "/morvane-bench-XXXXXX";
        if (::mkdtemp(t.data())) tmpfsRoot = t;
    }
    if (tmpfsRoot.empty())
        std::printf("no tmpfs at %s: its runs are left out\n", o.tmpfsDir.c_str());

    std::vector<Comparison> results;
    std::vector<ProbeResult> probes;
    const bool renames = !o.copiesOnly;
    for (long n : renames ? o.sizes : std::vector<long>{}) {
        if (!o.million) results.push_back(compare(workRoot, "disk", n, false, 0, o));
        if (!tmpfsRoot.empty()) results.push_back(compare(tmpfsRoot, "tmpfs", n, false, 0, o));
    }
    const long largest = *std::max_element(o.sizes.begin(), o.sizes.end());
    const bool extras = renames && !o.million;
    const WindowRun window = extras ? timeWindowRun(largest, o) : WindowRun{};
    const JournalCost journal = extras ? timeJournal(largest, o) : JournalCost{};
    if (o.copyN > 0 && !o.million) {
        results.push_back(compare(workRoot, "disk", 1000, true, 1 << 20, o));
        results.push_back(compare(workRoot, "disk", o.copyN, true, 4096, o));
    }
    if (extras)
        for (long n : o.sizes)
            probes.push_back(timeExistenceTest(n, o));
    if (!o.keep) std::filesystem::remove_all(workRoot + "/state"); // the journal's records
    if (!o.keep) ::rmdir(workRoot.c_str());
    if (!o.keep && !tmpfsRoot.empty()) ::rmdir(tmpfsRoot.c_str());

    if (renames)
        std::printf("\n%-7s %-5s %8s %10s %10s %10s %8s %8s %9s %9s %s\n", "rename", "on", "N",
                    "Morvane s", "C loop s", "floor s", "/floor", "/C loop", "+B/file", "idle MiB",
                    "result");
    bool allVerified = true;
    double worstDisk = 0, worstTmpfs = 0, worstPerFile = 0, worstIdle = 0;
    for (const Comparison& c : results) {
        allVerified = allVerified && c.verified;
        if (c.copy) continue;
        const double perFile = c.increaseKiB * 1024.0 / c.n;
        std::printf("%-7s %-5s %8ld %10.4f %10.4f %10.4f %8.3f %8.3f %9.1f %+9.1f %s\n", "",
                    c.where.c_str(), c.n, c.morvane, c.c, c.floor, c.morvane / c.floor,
                    c.morvane / c.c, perFile, mib(c.idleKiB), c.verified ? "checked" : "WRONG");
        double& worstRatio = c.where == "disk" ? worstDisk : worstTmpfs;
        worstRatio = std::max(worstRatio, c.morvane / c.floor);
        // Judged from 100,000 files on: below, the fixed buffers outweigh the files.
        if (c.n >= 100000) worstPerFile = std::max(worstPerFile, perFile);
        worstIdle = std::max(worstIdle, mib(c.idleKiB));
    }
    const bool copies = std::any_of(results.begin(), results.end(), [](auto& c) { return c.copy; });
    if (copies)
        std::printf("\n%-7s %-5s %8s %8s %10s %10s %10s %10s %8s %s\n", "copy", "on", "N", "bytes",
                    "Morvane s", "C r/w s", "C kernel s", "cp -p s", "/kernel", "result");
    double worstToKernel = 0, worstToCp = 0;
    for (const Comparison& c : results) {
        if (!c.copy) continue;
        std::printf("%-7s %-5s %8ld %8ld %10.4f %10.4f %10.4f %10.4f %8.3f %s\n", "",
                    c.where.c_str(), c.n, c.bytes, c.morvane, c.c, c.floor, c.cp,
                    c.morvane / c.floor, c.verified ? "checked" : "WRONG");
        worstToCp = std::max(worstToCp, c.morvane / c.cp);
        if (c.bytes >= (1 << 20)) worstToKernel = std::max(worstToKernel, c.morvane / c.floor);
    }
    if (renames) {
        std::printf(
            "\nfloor: the folder read in 1 MiB blocks, one renameat2 NOREPLACE per file by"
            "\nbare name, no status call; C loop: readdir, a status call of the target,"
            "\nrenameat2; Morvane with its journal. +B/file: peak growth during the run per"
            "\nfile; idle: the size once the run has given its memory back, over before.\n");
        judge(RenameDisk, worstDisk);
        judge(RenameTmpfs, worstTmpfs);
        judge(BytesPerFile, worstPerFile);
        judge(IdleAfter, worstIdle);
    }
    if (!o.million) {
        judge(CopyToKernel, worstToKernel);
        judge(CopyToCp, worstToCp);
    }
    if (!extras) {
        std::printf("results checked: %s\n", allVerified ? "all correct" : "SOME WRONG");
        return allVerified ? 0 : 1;
    }
    std::printf("\n%-7s %8s %16s %16s\n", "exists", "N", "present us/call", "absent us/call");
    double worstProbe = 0;
    for (const ProbeResult& p : probes) {
        std::printf("%-7s %8ld %16.2f %16.2f %s\n", "", p.n, p.hitUs, p.missUs,
                    p.correct ? "" : "WRONG ANSWERS");
        worstProbe = std::max(worstProbe, p.correct ? std::max(p.hitUs, p.missUs) : HUGE_VAL);
        allVerified = allVerified && p.correct;
    }
    judge(ExistenceTest, worstProbe);
    std::printf("\nwindow run at N=%ld: on its thread %.4f s, called directly %.4f s, ratio %.3f"
                "\n  longest gap between two turns of the event loop %.1f ms"
                "\n  from Cancel to the run's end %.1f ms\n",
                window.n, window.threaded, window.direct, window.threaded / window.direct,
                window.longestGapMs, window.cancelMs);
    judge(ThreadToDirect, window.threaded / window.direct);
    judge(LoopGap, window.longestGapMs);
    judge(CancelTime, window.cancelMs >= 0 ? window.cancelMs : HUGE_VAL); // < 0: never cancelled
    allVerified = allVerified && window.verified && journal.verified;
    std::printf("\njournal at N=%ld: with %.4f s, without %.4f s, cost %+.1f%%; memory +%.1f MiB "
                "against +%.1f MiB; journal file %.1f MiB\n",
                journal.n, journal.with, journal.without,
                (journal.with / journal.without - 1) * 100, mib(journal.increaseWithKiB),
                mib(journal.increaseWithoutKiB), journal.journalBytes / 1048576.0);
    judge(JournalTime, journal.with / journal.without);
    judge(JournalMemory, mib(journal.increaseWithKiB - journal.increaseWithoutKiB));
    judge(JournalFile, journal.journalBytes / 1048576.0);
    std::printf("results checked: %s\n", allVerified ? "all correct" : "SOME WRONG");
    return allVerified ? 0 : 1;
}
