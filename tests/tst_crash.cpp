// A folder run killed with SIGKILL half way must leave every file under its old name or its
// new one, whole, and nothing half-made where the user can see it.

#include "conversation.h"
#include "faultdisk.h"
#include "filesystem.h"
#include "journal.h"
#include "rawfiles.h"
#include "scriptedbox.h"
#include "strictskip.h"
#include "testfiles.h"
#include "testwindow.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef MORVANE_CRASHVICTIM
#error "MORVANE_CRASHVICTIM must name the crashvictim program"
#endif

extern char** environ;

using namespace morvane;

namespace {

// Large enough that a run takes a good part of a second, small enough that building the
// folder stays quick on a disk where every new inode is slow.
constexpr long fileCount = 10000;
constexpr int hiddenCount = 3;
// Kills aimed later or earlier until one lands in the middle of the run.
constexpr int maxAttempts = 10;

std::string plainName(long n, const char* ext) {
    char b[32];
    std::snprintf(b, sizeof b, "f%06ld.%s", n, ext);
    return b;
}

std::string contentOf(long n) {
    return "file number " + std::to_string(n) + " of the crash test\n";
}

std::string hiddenName(int k) {
    return ".keep-" + std::to_string(k) + ".txt";
}

using rawfiles::readFile;
using rawfiles::writeFile;

long numberOf(const char* name, const char* ext) {
    return rawfiles::numberOf(name, 'f', ext);
}

// What a folder holds after a run, measured against what it held before.
struct Census {
    long txt = 0, md = 0;
    QStringList temporaries; // hidden ".morvane-*" files left behind
    QStringList problems;
};

Census takeCensus(const QString& folder, bool copyMode) {
    Census c;
    auto problem = [&](const QString& p) {
        if (c.problems.size() < 10) c.problems.append(p);
    };
    DIR* d = ::opendir(QFile::encodeName(folder).constData());
    if (!d) {
        problem(QStringLiteral("cannot list the folder"));
        return c;
    }
    const int dfd = ::dirfd(d);
    std::vector<char> txtSeen(fileCount + 1), mdSeen(fileCount + 1);
    int hidden = 0;
    std::string data;
    while (const dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        const QString shown = QString::fromLocal8Bit(name);
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (std::strstr(name, ".morvane-")) {
            c.temporaries.append(shown);
            continue;
        }
        if (name[0] == '.') {
            const std::string s = name;
            bool known = false;
            for (int k = 1; k <= hiddenCount; ++k) {
                if (s == hiddenName(k)) {
                    known = true;
                    ++hidden;
                    if (!readFile(dfd, name, data) || data != "hidden " + std::to_string(k))
                        problem(QStringLiteral("hidden file changed: ") + shown);
                }
            }
            if (!known) problem(QStringLiteral("unexpected hidden file: ") + shown);
            continue;
        }
        const long mdNumber = numberOf(name, "md");
        const long n = mdNumber > 0 ? mdNumber : numberOf(name, "txt");
        if (n < 1 || n > fileCount) {
            problem(QStringLiteral("unexpected file: ") + shown);
            continue;
        }
        if ((mdNumber > 0 ? mdSeen : txtSeen)[n]++)
            problem(QStringLiteral("listed twice: ") + shown);
        if (!readFile(dfd, name, data) || data != contentOf(n))
            problem(QStringLiteral("content not whole: ") + shown);
    }
    ::closedir(d);
    if (hidden != hiddenCount) problem(QStringLiteral("%1 of the hidden files left").arg(hidden));
    for (long n = 1; n <= fileCount; ++n) {
        c.txt += txtSeen[n];
        c.md += mdSeen[n];
        if (copyMode && !txtSeen[n])
            problem(QStringLiteral("original lost: ") +
                    QString::fromStdString(plainName(n, "txt")));
        if (!copyMode && txtSeen[n] + mdSeen[n] != 1)
            problem(QStringLiteral("file %1 is there %2 times").arg(n).arg(txtSeen[n] + mdSeen[n]));
    }
    return c;
}

// Back to all text files and nothing else: renamed files go back, copies and temporaries go.
bool resetFolder(const QString& folder) {
    DIR* d = ::opendir(QFile::encodeName(folder).constData());
    if (!d) return false;
    const int dfd = ::dirfd(d);
    std::vector<std::string> mds, temporaries;
    while (const dirent* e = ::readdir(d)) {
        if (std::strncmp(e->d_name, ".morvane-", 9) == 0)
            temporaries.emplace_back(e->d_name);
        else if (numberOf(e->d_name, "md") > 0)
            mds.emplace_back(e->d_name);
    }
    bool ok = true;
    for (const std::string& t : temporaries)
        ok = ::unlinkat(dfd, t.c_str(), 0) == 0 && ok;
    for (const std::string& md : mds) {
        const std::string txt = md.substr(0, md.size() - 2) + "txt";
        struct stat st;
        if (::fstatat(dfd, txt.c_str(), &st, 0) == 0)
            ok = ::unlinkat(dfd, md.c_str(), 0) == 0 && ok;
        else
            ok = ::renameat(dfd, md.c_str(), dfd, txt.c_str()) == 0 && ok;
    }
    ::closedir(d);
    return ok;
}

enum class Outcome { Killed, Finished, Failed, NotStarted };

// What another window, started while the child was stopped, would do.
struct WhileStopped {
    bool asked = false;  // the start would ask about the child's change
    bool undoes = false; // its Ctrl+Z would undo something
};

// Runs the folder operation in a child, stops it delayMs after it says it has started, looks
// at the journal as another window would, and kills it with SIGKILL. With undoKillAt, the
// child is the start's undo of the change instead, and kills itself at that file.
Outcome runAndKill(const QString& folder, const QString& journal, bool copyMode, int delayMs,
                   long undoKillAt = 0, WhileStopped* seen = nullptr) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return Outcome::NotStarted;
    const QByteArray dir = QFile::encodeName(folder);
    std::vector<char*> args = {const_cast<char*>(MORVANE_CRASHVICTIM),
                               const_cast<char*>(dir.constData())};
    if (copyMode) args.push_back(const_cast<char*>("--copy"));
    const QByteArray killAt = QByteArray::number(qlonglong(undoKillAt));
    if (undoKillAt > 0) {
        args.push_back(const_cast<char*>("--undo"));
        args.push_back(const_cast<char*>(killAt.constData()));
    }
    const QByteArray journalPath = QFile::encodeName(journal);
    args.push_back(const_cast<char*>("--journal"));
    args.push_back(const_cast<char*>(journalPath.constData()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int spawned =
        ::posix_spawn(&pid, MORVANE_CRASHVICTIM, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return Outcome::NotStarted;
    }

    std::string said;
    bool started = false;
    while (!started) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0) break;
        char b[256];
        const ssize_t n = ::read(out[0], b, sizeof b);
        if (n <= 0) break;
        said.append(b, static_cast<size_t>(n));
        started = said.find("started\n") != std::string::npos;
    }
    if (started && undoKillAt == 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    if (undoKillAt == 0) ::kill(pid, SIGSTOP);
    if (seen) {
        FileJournal other(journal);
        seen->asked = other.interrupted().present;
        FileJournal another(journal);
        seen->undoes = another.load().present;
    }
    if (undoKillAt == 0 || !started) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ::close(out[0]);
    if (!started) return Outcome::NotStarted;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return Outcome::Killed;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Outcome::Finished : Outcome::Failed;
}

} // namespace

class tst_crash : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void killedRun_data();
    void killedRun();
    void killedAtEveryStep_data();
    void killedAtEveryStep();

private:
    void recover(const QString& journal, bool copyMode, long changed);
    void recoverUndo(const QString& journal, long changed);
    QTemporaryDir root;
    QString folder;
};

void tst_crash::initTestCase() {
    QVERIFY(root.isValid());
    folder = root.path() + QStringLiteral("/files");
    QVERIFY(QDir().mkdir(folder));
    const int dfd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(dfd >= 0);
    const auto t0 = std::chrono::steady_clock::now();
    bool ok = true;
    for (long n = 1; n <= fileCount && ok; ++n)
        ok = writeFile(dfd, plainName(n, "txt"), contentOf(n));
    // Hidden files match the pattern too; a folder run must pass them by.
    for (int k = 1; k <= hiddenCount && ok; ++k)
        ok = writeFile(dfd, hiddenName(k), "hidden " + std::to_string(k));
    ::syncfs(dfd);
    ::close(dfd);
    QVERIFY2(ok, std::strerror(errno));
    qInfo("built %ld files in %.1f s", fileCount,
          std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
}

void tst_crash::killedRun_data() {
    QTest::addColumn<bool>("copyMode");
    QTest::addColumn<int>("firstDelayMs");
    QTest::addColumn<bool>("undoKilled"); // the start's undo is killed half way too
    QTest::newRow("rename") << false << 40 << false;
    QTest::newRow("leave a copy") << true << 150 << false;
    QTest::newRow("rename, then its undo") << false << 40 << true;
}

namespace {

// Says Yes to the start's question, as the user would, and keeps the last text shown.
struct YesBox : ScriptedBox {
    QString last;
    bool reportEnding(const ChangeReport& report) override {
        ScriptedBox::reportEnding(report);
        last = texts().value(texts().size() - 1);
        return false;
    }
};

QString restored(long n) {
    return n == 1 ? QStringLiteral("Undo complete. 1 file restored.")
                  : QStringLiteral("Undo complete. %1 files restored.").arg(n);
}

} // namespace

// The next start finds the interrupted change and puts every file back.
void tst_crash::recover(const QString& journal, bool copyMode, long changed) {
    FileJournal found(journal);
    const JournalState state = found.interrupted();
    QVERIFY2(state.present && !state.finished && !state.undoBegun, qPrintable(found.problem()));
    NativeFileSystem fs;
    QCOMPARE(changedFiles(state, fs), changed);
    YesBox box;
    QCOMPARE(undoAndReport(fs, box, noProgress(), found), ChangeEnd::Undone);
    QCOMPARE(box.last, restored(changed));
    const Census undone = takeCensus(folder, copyMode);
    QVERIFY2(undone.problems.isEmpty() && undone.temporaries.isEmpty(),
             qPrintable((undone.problems + undone.temporaries).join(QStringLiteral("; "))));
    QCOMPARE(undone.md, 0L);
    QCOMPARE(undone.txt, fileCount);
}

// The start's undo killed half way: the start after it asks to finish it, and Yes puts every
// file back under its own name.
void tst_crash::recoverUndo(const QString& journal, long changed) {
    // It goes from the last file to the first: past every untouched one, and half the others.
    const long killAt = fileCount - changed / 2;
    QCOMPARE(runAndKill(folder, journal, false, 0, killAt), Outcome::Killed);
    const Census c = takeCensus(folder, false);
    QVERIFY2(c.problems.isEmpty(), qPrintable(c.problems.join(QStringLiteral("; "))));
    qInfo("undo killed at file %ld: %ld of %ld still renamed", killAt, c.md, changed);
    QVERIFY(c.md > 0 && c.md < changed);

    FileJournal found(journal);
    YesBox box;
    TestWindow form(&box, nullptr, &found);
    form.offerRecovery();
    QCOMPARE(box.texts().value(0), finishUndoQuestion(killAt - 1, fileCount).text);
    QCOMPARE(box.shown[0].style, int(MessageBox::YesNoQuestion));
    // Not a timing: the undo of 10,000 files ends, however slow the machine.
    while (form.isChanging())
        QTest::qWait(20);
    const Census undone = takeCensus(folder, false);
    QVERIFY2(undone.problems.isEmpty() && undone.temporaries.isEmpty(),
             qPrintable((undone.problems + undone.temporaries).join(QStringLiteral("; "))));
    QCOMPARE(undone.md, 0L);
    QCOMPARE(undone.txt, fileCount);
    QCOMPARE(box.last, restored(c.md));
    QVERIFY(!FileJournal(journal).load().present);
}

void tst_crash::killedRun() {
    QFETCH(bool, copyMode);
    QFETCH(int, firstDelayMs);
    QFETCH(bool, undoKilled);
    QVERIFY(resetFolder(folder));

    const QString journal = root.path() + QStringLiteral("/state");
    int delayMs = firstDelayMs;
    for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
        WhileStopped seen;
        const Outcome outcome = runAndKill(folder, journal, copyMode, delayMs, false, &seen);
        QVERIFY2(outcome != Outcome::NotStarted, "crashvictim did not start");
        QVERIFY2(outcome != Outcome::Failed, "crashvictim failed on its own");
        const Census c = takeCensus(folder, copyMode);
        QVERIFY2(c.problems.isEmpty(), qPrintable(c.problems.join(QStringLiteral("; "))));
        if (!c.temporaries.isEmpty())
            qInfo("left behind: %s", qPrintable(c.temporaries.join(QStringLiteral(", "))));
        if (copyMode)
            QVERIFY2(c.temporaries.size() <= 1, "more than one temporary file left");
        else
            QVERIFY2(c.temporaries.isEmpty(), "a rename run left a temporary file");

        const char* what = copyMode ? "copied" : "renamed";
        qInfo("attempt %d, kill %d ms after start: %s, %ld of %ld %s", attempt, delayMs,
              outcome == Outcome::Killed ? "killed" : "had finished", c.md, fileCount, what);
        if (outcome == Outcome::Finished) QCOMPARE(c.md, fileCount);
        if (outcome == Outcome::Killed && c.md > 0 && c.md < fileCount) {
            // While it ran, another window neither asked about its change nor undid it.
            QVERIFY(!seen.asked);
            QVERIFY(!seen.undoes);
            if (undoKilled)
                recoverUndo(journal, c.md);
            else
                recover(journal, copyMode, c.md);
            return;
        }
        // Too early or too late: aim again, from a clean folder.
        if (c.md == 0)
            delayMs = delayMs * 2 + 10;
        else if (c.md == fileCount)
            delayMs = delayMs / 3;
        FileJournal(journal).discard();
        QVERIFY(resetFolder(folder));
        QDir(journal + QStringLiteral("/changes")).removeRecursively();
    }
    // Passing without a kill in the middle would prove nothing about a crash.
    QFAIL("could not kill the run in the middle within the attempts; every outcome seen was sound");
}

void tst_crash::killedAtEveryStep_data() {
    QTest::addColumn<bool>("copyMode");
    QTest::addColumn<QString>("disk");   // faultfs's option; without exchange the target goes to
                                         // the Trash first, without no-replace a link comes first
    QTest::addColumn<QString>("target"); // a.md before: a file, the user's second link to
                                         // a.txt, or none
    QTest::newRow("replacing rename") << false << ""
                                      << "file";
    QTest::newRow("replacing copy") << true << ""
                                    << "file";
    QTest::newRow("replacing rename, no exchange") << false << "--no-exchange"
                                                   << "file";
    QTest::newRow("replacing copy, no exchange") << true << "--no-exchange"
                                                 << "file";
    QTest::newRow("replacing rename, no rename flags") << false << "--no-rename-flags"
                                                       << "file";
    QTest::newRow("rename, no rename flags") << false << "--no-rename-flags"
                                             << "none";
    QTest::newRow("renaming onto a second link") << false << ""
                                                 << "link";
    QTest::newRow("one file, no rename flags") << false << "--no-rename-flags"
                                               << "none one";
    QTest::newRow("one file onto a second link") << false << ""
                                                 << "link one";
}

// A replacement and its undo, killed after each of their steps on the disk in turn, then the
// next start's recovery: both files under their own names with their own bytes, nothing
// stray in the folder or the Trash, and the question asked exactly when a file was touched.
void tst_crash::killedAtEveryStep() {
    QFETCH(bool, copyMode);
    QFETCH(QString, disk);
    QFETCH(QString, target);
    const bool one = target.endsWith(" one");
    target = target.section(' ', 0, 0);
    QTemporaryDir tmp;
    std::optional<FaultDisk> fault;
    if (!disk.isEmpty()) {
        fault.emplace(tmp.path(), QStringList{disk});
        if (!fault->mounted) MORVANE_SKIP(qPrintable(fault->why));
    }
    const QString base = fault ? fault->path : tmp.path();
    const QString data = tmp.path() + "/data";
    const auto contents = [](const QString& dir) {
        QStringList out;
        for (const QFileInfo& f : QDir(dir).entryInfoList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
            out.append(f.fileName() + '=' + QString::fromUtf8(read(f.filePath())));
        return out;
    };
    const auto trashed = [&] {
        QStringList all;
        for (const QString& trash :
             {data + "/Trash", base + "/.Trash-" + QString::number(::getuid())})
            all += contents(trash + "/files") + contents(trash + "/info");
        return all;
    };
    const QStringList before = target == "none"   ? QStringList{"a.txt=NEW"}
                               : target == "link" ? QStringList{"a.md=NEW", "a.txt=NEW"}
                                                  : QStringList{"a.md=OLD", "a.txt=NEW"};
    for (int n = 1;; ++n) {
        QVERIFY2(n < 100, "the run never came to its end");
        const QString d = base + QString("/run%1").arg(n), journal = d + ".journal";
        QVERIFY(QDir().mkpath(d));
        write(d + "/a.txt", "NEW");
        if (target == "link")
            QVERIFY(::link(QFile::encodeName(d + "/a.txt"), QFile::encodeName(d + "/a.md")) == 0);
        else if (target == "file")
            write(d + "/a.md", "OLD");
        QProcess victim;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MORVANE_KILL_AT", QString::number(n));
        env.insert("XDG_DATA_HOME", data);
        victim.setProcessEnvironment(env);
        QStringList args{d, "--journal", journal, "--then-undo"};
        if (copyMode) args << "--copy";
        if (one) args << "--one";
        victim.start(MORVANE_CRASHVICTIM, args);
        QVERIFY(victim.waitForFinished(60000));
        const QString at = QString("killed after step %1").arg(n);
        if (victim.exitStatus() == QProcess::NormalExit) { // past the last step
            QCOMPARE(victim.exitCode(), 0);
            QCOMPARE(contents(d), before);
            QCOMPARE(trashed(), QStringList());
            QVERIFY2(n > 3, "too few steps to be a change and its undo");
            return;
        }
        // The next start: an interrupted change, or undo, is offered where it touched a file
        // (Yes); an ended change is undone as Ctrl+Z would.
        FileJournal found(journal);
        YesBox box;
        TestWindow form(&box, nullptr, &found);
        const QStringList files = contents(d).filter(QRegularExpression("^a\\.(md|txt)="));
        const JournalState cut = FileJournal(journal).interrupted();
        form.offerRecovery();
        while (form.isChanging())
            QTest::qWait(10);
        // Asked of an interrupted undo, and of an interrupted change that touched a file (a
        // copy on its way is none of the user's).
        const bool asked = !box.shown.isEmpty();
        QVERIFY2(asked == (cut.present && (cut.undoBegun || files != before)), qPrintable(at));
        if (!asked) {
            form.undoLastChange();
            while (form.isChanging())
                QTest::qWait(10);
        }
        QVERIFY2(contents(d) == before, qPrintable(at + ": " + contents(d).join(", ")));
        QVERIFY2(trashed().isEmpty(), qPrintable(at + ": " + trashed().join(", ")));
    }
}

QTEST_MAIN(tst_crash)
#include "tst_crash.moc"
