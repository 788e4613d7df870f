// The existence test and the file operations on real folders, with real faults: hidden
// files, folders and dangling links in the way, a file-size limit and a full disk.
#include "conversation.h"
#include "faultdisk.h"
#include "filesystem.h"
#include "journal.h"
#include "process.h"
#include "scriptedbox.h"
#include "strictskip.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdarg>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace morvane;

namespace {

// Names in the folder, hidden ones included, so leftovers cannot hide.
QStringList entries(const QString& dir) {
    QStringList names =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// "name=content" for files (with " (2 links)" when it has two names), "name->where" for
// symbolic links; hidden entries included.
QStringList state(const QString& dir) {
    QStringList out;
    for (const QString& name : entries(dir)) {
        const QByteArray path = QFile::encodeName(dir + '/' + name);
        struct stat st {};
        char where[256] = {};
        ::lstat(path.constData(), &st);
        if (S_ISLNK(st.st_mode) && ::readlink(path.constData(), where, sizeof where - 1) > 0)
            out.append(name + "->" + where);
        else
            out.append(name + '=' + read(dir + '/' + name) +
                       (st.st_nlink > 1 ? QStringLiteral(" (%1 links)").arg(st.st_nlink) : ""));
    }
    return out;
}

const QString complete = QStringLiteral("Conversion complete. ");

// The file operations' renames and unlinks pass through here: a test acts just before a
// move, as a racing program would, or fails the next unlink, as a failing disk would.
std::function<void(const char* to)> beforeMove;
int nextUnlinkFails = 0;
bool kernelCopyRefused = false; // as on a file system that clones nothing and copies nothing
QByteArrayList calls;           // "sync <inode>" and "move <target>", in order

Failure failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Failure& failure) {
        return failure;
    }
    return {};
}

} // namespace

extern "C" {
int __real_rename(const char* from, const char* to);
int __real_renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags);
int __real_unlink(const char* path);
int __real_fdatasync(int fd);
int __wrap_fdatasync(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    calls.append("sync " + QByteArray::number(quint64(st.st_ino)));
    return __real_fdatasync(fd);
}
int __wrap_rename(const char* from, const char* to) {
    calls.append(QByteArray("move ") + to);
    if (beforeMove) beforeMove(to);
    return __real_rename(from, to);
}
int __wrap_renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    // A no-replace move onto a taken name is refused before anything moves: not a move.
    struct stat st;
    if ((flags & RENAME_NOREPLACE) && ::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return __real_renameat2(fromDir, from, toDir, to, flags);
    calls.append(QByteArray("move ") + to);
    if (beforeMove) beforeMove(to);
    return __real_renameat2(fromDir, from, toDir, to, flags);
}
ssize_t __real_copy_file_range(int, off64_t*, int, off64_t*, size_t, unsigned);
int __real_ioctl(int fd, unsigned long request, void* arg);
ssize_t __wrap_copy_file_range(int in, off64_t* inAt, int out, off64_t* outAt, size_t size,
                               unsigned flags) {
    if (!kernelCopyRefused) return __real_copy_file_range(in, inAt, out, outAt, size, flags);
    errno = EXDEV;
    return -1;
}
int __wrap_ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if (!kernelCopyRefused) return __real_ioctl(fd, request, arg);
    errno = EOPNOTSUPP;
    return -1;
}
int __wrap_unlink(const char* path) {
    if (const int err = std::exchange(nextUnlinkFails, 0)) {
        errno = err;
        return -1;
    }
    return __real_unlink(path);
}
}

class tst_filesystem : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        ignoreFileSizeSignal();
        isolateUserFolders();
    }
    void existence_data();
    void existence();
    void existenceUnreadableFolder();
    void listing();
    void listingRefused();
    void renameNeverReplacesUnasked_data();
    void renameNeverReplacesUnasked();
    void confirmedReplaceIsOneStep();
    void replaceRefusedWhenTargetChanged();
    void renameBetweenTwoNamesOfOneFile();
    void copyKeepsModeAndTime();
    void copyRefusesUnaskedTarget();
    void copyUnderFileSizeLimit();
    void copyOnFullDisk();
    void replacements_data();
    void replacements();
    void copyReadsOnlyOrdinaryFiles_data();
    void copyReadsOnlyOrdinaryFiles();
    void copyWhereAttributesAreRefused_data();
    void copyWhereAttributesAreRefused();
    void folderCopyWithoutUnnamedFiles_data();
    void folderCopyWithoutUnnamedFiles();
    void caseOnlyChange_data();
    void caseOnlyChange();
    void replacedFileInTheTrash_data();
    void replacedFileInTheTrash();
    void trashRefusals_data();
    void trashRefusals();
    void recordOnDiskFirst_data();
    void recordOnDiskFirst();
    void cleanup() {
        beforeMove = nullptr;
        nextUnlinkFails = 0;
    }
};

void tst_filesystem::existence_data() {
    QTest::addColumn<QString>("path"); // relative to the fixture folder; "" means the empty text
    QTest::addColumn<QString>("found");
    QTest::newRow("ordinary file") << "report.txt"
                                   << "report.txt";
    QTest::newRow("no dot") << "README"
                            << "README";
    QTest::newRow("missing") << "nothing.txt"
                             << "";
    QTest::newRow("hidden file") << ".hidden.txt"
                                 << "";
    QTest::newRow("folder") << "folder.txt"
                            << "";
    QTest::newRow("folder with trailing separator") << "folder.txt/"
                                                    << "";
    QTest::newRow("link to file") << "link.txt"
                                  << "link.txt";
    QTest::newRow("link to folder") << "dirlink"
                                    << "";
    QTest::newRow("broken link") << "broken.txt"
                                 << "";
    QTest::newRow("fifo") << "pipe"
                          << "";
    QTest::newRow("star pattern") << "*.log"
                                  << "only.log";
    QTest::newRow("question pattern") << "onl?.log"
                                      << "only.log";
    QTest::newRow("pattern is case-sensitive") << "*.LOG"
                                               << "";
    QTest::newRow("pattern skips hidden files") << "*.hid"
                                                << "";
    QTest::newRow("pattern skips folders") << "*.d"
                                           << "";
    QTest::newRow("pattern in missing folder") << "nowhere/*.txt"
                                               << "";
    QTest::newRow("file inside a file") << "report.txt/x"
                                        << "";
    QTest::newRow("name too long") << QString(5000, QLatin1Char('a')) << "";
}

void tst_filesystem::existence() {
    QFETCH(QString, path);
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    write(d + "report.txt", "r");
    write(d + "README", "r");
    write(d + ".hidden.txt", "h");
    write(d + "only.log", "l");
    write(d + ".x.hid", "h");
    QDir(d).mkdir("folder.txt");
    QDir(d).mkdir("sub.d");
    QVERIFY(QFile::link(d + "report.txt", d + "link.txt"));
    QVERIFY(QFile::link(d + "folder.txt", d + "dirlink"));
    QVERIFY(QFile::link(d + "gone", d + "broken.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(d + "pipe").constData(), 0600), 0);
    QTEST(existenceTest(d + path), "found");
    QCOMPARE(existenceTest(QString()), QString());
}

void tst_filesystem::existenceUnreadableFolder() {
    // Root reads every folder; the lookups run in a child that is an ordinary user.
    QTemporaryDir tmp;
    const QString open = tmp.path() + "/listable", closed = tmp.path() + "/unlistable";
    QDir().mkpath(open);
    QDir().mkpath(closed);
    write(closed + "/a.txt", "a");
    ::chmod(QFile::encodeName(tmp.path()).constData(), 0755);
    ::chmod(QFile::encodeName(closed).constData(), 0711); // others may pass, not list
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        const bool ok = existenceTest(closed + "/*.txt").isEmpty() &&
                        existenceTest(closed + "/a.txt") == "a.txt";
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
        MORVANE_SKIP("cannot become an ordinary user");
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

void tst_filesystem::listing() {
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    for (const char* name :
         {"a.txt", "b.txt", "c.log", ".h.txt", "x,y.txt", "README", "NOTES", "file.", "tar.txt.gz"})
        write(d + name, name);
    QDir(d).mkdir("dir.txt");
    QDir(d).mkdir("DIR");
    QVERIFY(QFile::link(d + "a.txt", d + "link.txt"));
    QVERIFY(QFile::link(d + "gone", d + "broken.txt"));
    // Not valid UTF-8: its decoded name would address some other file.
    const QByteArray bad = QFile::encodeName(d) + "bad\xff.txt";
    QVERIFY(::close(::open(bad.constData(), O_CREAT | O_WRONLY, 0644)) == 0);

    NativeFileSystem fs;
    QStringList txt = fs.listMatches(d, "*.txt");
    txt.sort();
    QCOMPARE(txt, QStringList({d + "a.txt", d + "b.txt", d + "link.txt", d + "x,y.txt"}));
    QStringList bare = fs.listMatches(d, "*.");
    bare.sort();
    QCOMPARE(bare, QStringList({d + "NOTES", d + "README", d + "file."}));
    // The folder run's own listing, names as bytes, finds exactly the same files.
    for (const auto& [ext, expected] : {std::pair{"txt", txt}, std::pair{"", bare}}) {
        const auto files = fs.listExtension(d, ext);
        QStringList paths;
        for (qsizetype i = 0; i < files->size(); ++i)
            paths.append(files->path(i));
        paths.sort();
        QCOMPARE(paths, expected);
    }
}

void tst_filesystem::listingRefused() {
    QTemporaryDir tmp;
    NativeFileSystem fs;
    const Failure f = failureOf([&] { fs.listMatches(tmp.path() + "/missing/", "*.txt"); });
    QCOMPARE(errorText(f), QString("Error 2: No such file or directory"));
}

void tst_filesystem::renameNeverReplacesUnasked_data() {
    QTest::addColumn<QString>("blocker"); // what holds the target name
    QTest::newRow("ordinary file") << "file";
    QTest::newRow("folder") << "folder";
    QTest::newRow("dangling link") << "link";
}

void tst_filesystem::renameNeverReplacesUnasked() {
    QFETCH(QString, blocker);
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/a.txt", dst = tmp.path() + "/a.md";
    write(src, "source");
    if (blocker == "file")
        write(dst, "target");
    else if (blocker == "folder")
        QDir(tmp.path()).mkdir("a.md");
    else
        QVERIFY(QFile::link(tmp.path() + "/gone", dst));
    const QStringList before = entries(tmp.path());

    NativeFileSystem fs;
    const Failure f = failureOf([&] { fs.rename(src, dst, std::nullopt); });
    QCOMPARE(errorText(f), QString("Error 17: File exists"));
    QCOMPARE(read(src), QByteArray("source"));
    if (blocker == "file") QCOMPARE(read(dst), QByteArray("target"));
    QCOMPARE(entries(tmp.path()), before);
}

void tst_filesystem::confirmedReplaceIsOneStep() {
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/a.txt", dst = tmp.path() + "/a.md";
    write(src, "source");
    write(dst, "target");
    NativeFileSystem fs;
    fs.rename(src, dst, fs.probe(dst));
    QCOMPARE(entries(tmp.path()), QStringList{"a.md"});
    QCOMPARE(read(dst), QByteArray("source"));

    // A target that is a link to the source is replaced by the source itself.
    write(src, "source");
    QFile::remove(dst);
    QVERIFY(QFile::link(src, dst));
    fs.rename(src, dst, fs.probe(dst));
    QCOMPARE(entries(tmp.path()), QStringList{"a.md"});
    QVERIFY(!QFileInfo(dst).isSymLink());
    QCOMPARE(read(dst), QByteArray("source"));

    // A rename that fails after Yes (here: another file system) has deleted nothing first.
    const SmallDisk disk(tmp.path() + "/disk", "64k");
    if (!disk.mounted) MORVANE_SKIP("mounting a tmpfs is refused here (needs root)");
    write(disk + "/b.txt", "elsewhere");
    const Failure f = failureOf([&] { fs.rename(disk + "/b.txt", dst, fs.probe(dst)); });
    QCOMPARE(f.number, EXDEV);
    QCOMPARE(read(dst), QByteArray("source"));
    QCOMPARE(read(disk + "/b.txt"), QByteArray("elsewhere"));
}

void tst_filesystem::replaceRefusedWhenTargetChanged() {
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/a.txt", dst = tmp.path() + "/a.md";
    write(src, "source");
    write(dst, "target");
    NativeFileSystem fs;
    const auto id = fs.probe(dst);
    write(dst, "someone else wrote this"); // after the question, before the answer
    const Failure f = failureOf([&] { fs.rename(src, dst, id); });
    QCOMPARE(f.number, ECANCELED);
    QVERIFY(f.description.contains(dst));
    QCOMPARE(read(src), QByteArray("source"));
    QCOMPARE(read(dst), QByteArray("someone else wrote this"));

    // Gone in the meantime: nothing to protect, the copy lands.
    QFile::remove(dst);
    fs.copy(src, dst, id);
    QCOMPARE(entries(tmp.path()), QStringList({"a.md", "a.txt"}));
}

void tst_filesystem::renameBetweenTwoNamesOfOneFile() {
    // Two hard links whose names differ only in case, on a case-sensitive folder.
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/x.TXT", dst = tmp.path() + "/x.txt";
    write(src, "one file");
    QCOMPARE(::link(QFile::encodeName(src).constData(), QFile::encodeName(dst).constData()), 0);
    NativeFileSystem fs;
    QVERIFY(!fs.sameEntry(src, dst)); // two links are two entries
    QVERIFY(fs.sameEntry(src, src));
    fs.rename(src, dst, fs.probe(dst));
    QCOMPARE(entries(tmp.path()), QStringList{"x.txt"});
    QCOMPARE(read(dst), QByteArray("one file"));
}

void tst_filesystem::copyKeepsModeAndTime() {
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/a.txt", dst = tmp.path() + "/a.md";
    write(src, QByteArray(300000, 'x'));
    QFile::setPermissions(src,
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup);
    const QDateTime old = QDateTime::fromString("2001-02-03T04:05:06.789Z", Qt::ISODateWithMs);
    {
        QFile f(src);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const QByteArray origin = "https://example.org/a.txt";
    const bool tagged = ::setxattr(QFile::encodeName(src).constData(), "user.xdg.origin.url",
                                   origin.constData(), origin.size(), 0) == 0;
    NativeFileSystem fs;
    // Through the kernel, and by reading and writing where the kernel refuses.
    for (const bool refused : {true, false}) {
        kernelCopyRefused = refused;
        fs.copy(src, dst, std::nullopt);
        kernelCopyRefused = false;
        QCOMPARE(read(dst), read(src));
        if (refused) QVERIFY(QFile::remove(dst));
    }
    QCOMPARE(QFileInfo(dst).permissions(), QFileInfo(src).permissions());
    QCOMPARE(QFileInfo(dst).lastModified(), old);
    char got[64] = {};
    if (tagged) // where the file system takes user attributes at all
        QCOMPARE(QByteArray(got, int(::getxattr(QFile::encodeName(dst).constData(),
                                                "user.xdg.origin.url", got, sizeof got))),
                 origin);
    QCOMPARE(entries(tmp.path()), QStringList({"a.md", "a.txt"}));
}

void tst_filesystem::copyRefusesUnaskedTarget() {
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/a.txt", dst = tmp.path() + "/.a";
    write(src, "source");
    write(dst, "hidden target");
    NativeFileSystem fs;
    QVERIFY(!fs.probe(dst)); // the existence test does not see it, so nobody was asked
    QCOMPARE(failureOf([&] { fs.copy(src, dst, std::nullopt); }).number, EEXIST);
    QCOMPARE(read(dst), QByteArray("hidden target"));
    QCOMPARE(entries(tmp.path()), QStringList({".a", "a.txt"}));
}

void tst_filesystem::copyUnderFileSizeLimit() {
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/a.txt", dst = tmp.path() + "/a.md";
    write(src, QByteArray(200000, 's'));
    write(dst, "old target");
    NativeFileSystem fs;
    const auto id = fs.probe(dst);

    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 65536;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Failure f = failureOf([&] { fs.copy(src, dst, id); });
    ::setrlimit(RLIMIT_FSIZE, &saved);

    QCOMPARE(errorText(f), QString("Error 27: File too large"));
    QCOMPARE(read(dst), QByteArray("old target"));
    QCOMPARE(entries(tmp.path()), QStringList({"a.md", "a.txt"}));
}

void tst_filesystem::copyOnFullDisk() {
    QTemporaryDir tmp;
    const SmallDisk disk(tmp.path() + "/disk", "256k");
    if (!disk.mounted)
        MORVANE_SKIP("mounting a small tmpfs is refused here (needs root), so no full disk");

    const QString src = tmp.path() + "/big.txt", dst = disk + "/big.md";
    write(src, QByteArray(400 * 1024, 'b'));
    write(dst, "old target");
    NativeFileSystem fs;
    for (const bool replacing : {true, false}) {
        if (!replacing) QFile::remove(dst);
        const Failure f =
            failureOf([&] { fs.copy(src, dst, replacing ? fs.probe(dst) : std::nullopt); });
        QCOMPARE(errorText(f), QString("Error 28: No space left on device"));
        QCOMPARE(entries(disk), replacing ? QStringList{"big.md"} : QStringList());
        if (replacing) QCOMPARE(read(dst), QByteArray("old target"));
    }
}

void tst_filesystem::replacements_data() {
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("target"); // what a.md is: file, symlink or hardlink to a.txt, loop
    QTest::addColumn<QString>("act");    // what happens after the existence test
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("message"); // the last one shown; "{d}" is the folder
    const QStringList renamed{"a.md=source"}, copied{"a.md=source", "a.txt=source"},
        untouched{"a.md=other", "a.txt=source"};
    const QString changed = "Error 125: Operation canceled: '{d}a.md' changed after the question "
                            "and was left as it is";
    const auto row = [](const char* name, bool copy, const char* target, const char* act,
                        const QStringList& after, const QString& message) {
        QTest::newRow(name) << copy << QString(target) << QString(act) << after << message;
    };
    row("copy onto a symbolic link to the source", true, "symlink", "", copied, complete);
    // The replaced link is in the Trash, still a name of the source.
    row("copy onto a hard link of the source", true, "hardlink", "",
        {"a.md=source", "a.txt=source (2 links)"}, complete);
    row("rename onto a symbolic link to the source", false, "symlink", "", renamed, complete);
    row("rename onto a hard link of the source", false, "hardlink", "", renamed, complete);
    row("rename, target deleted during the question", false, "file", "delete", renamed, complete);
    row("copy, target deleted during the question", true, "file", "delete", copied, complete);
    row("rename, target replaced during the question", false, "file", "replace", untouched,
        changed);
    row("rename, target replaced just before the move", false, "file", "race", untouched, changed);
    row("copy, target replaced just before the move", true, "file", "race", untouched, changed);
    row("rename onto a link that loops", false, "loop", "", {"a.md->a.md", "a.txt=source"},
        "Error 40: Too many levels of symbolic links");
    row("rename onto a hard link, unlink fails", false, "hardlink", "unlink fails",
        {"a.md=source (2 links)", "a.txt=source (2 links)"}, "Error 5: Input/output error");
}

void tst_filesystem::replacements() {
    QFETCH(bool, copy);
    QFETCH(QString, target);
    QFETCH(QString, act);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    write(d + "a.txt", "source");
    const QByteArray src = QFile::encodeName(d + "a.txt"), dst = QFile::encodeName(d + "a.md");
    if (target == "file")
        write(d + "a.md", "target");
    else if (target == "hardlink")
        QCOMPARE(::link(src.constData(), dst.constData()), 0);
    else
        QCOMPARE(::symlink(target == "loop" ? "a.md" : "a.txt", dst.constData()), 0);
    const auto replaceTarget = [&] {
        write(d + "other", "other");
        QCOMPARE(__real_rename(QFile::encodeName(d + "other").constData(), dst.constData()), 0);
    };
    ScriptedBox box;
    box.onPrompt = [&] {
        if (act == "delete") QVERIFY(QFile::remove(d + "a.md"));
        if (act == "replace") replaceTarget();
    };
    bool raced = false;
    if (act == "race")
        beforeMove = [&](const char* to) {
            if (!raced && dst == to) replaceTarget();
            raced = raced || dst == to;
        };
    if (act == "unlink fails") nextUnlinkFails = EIO;
    NativeFileSystem fs;
    calls.clear();
    changeAndReport({d + "a.txt", "txt", "md", false, copy}, fs, box);
    QTEST(state(tmp.path()), "after");
    // A copy that lands over the old file was on the disk before the first move onto its name.
    struct stat landed {};
    if (copy && read(d + "a.md") == "source" && ::lstat(dst.constData(), &landed) == 0) {
        const qsizetype synced =
            calls.indexOf("sync " + QByteArray::number(quint64(landed.st_ino)));
        QVERIFY2(synced >= 0 && synced < calls.indexOf("move " + dst), calls.join(", "));
    }
    QCOMPARE(box.texts().value(box.texts().size() - 1), message.replace("{d}", d));
}

void tst_filesystem::copyReadsOnlyOrdinaryFiles_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("named pipe") << "pipe";
    QTest::newRow("device") << "/dev/zero";
}

void tst_filesystem::copyReadsOnlyOrdinaryFiles() {
    QFETCH(QString, source);
    QTemporaryDir tmp;
    QCOMPARE(::mkfifo(QFile::encodeName(tmp.path() + "/pipe").constData(), 0600), 0);
    const QString from = source.startsWith('/') ? source : tmp.path() + '/' + source;
    // In a child: reading a pipe with no writer, or a device, would never end.
    const int code = exitCodeOf([&] {
        NativeFileSystem fs;
        const Failure f = failureOf([&] { fs.copy(from, tmp.path() + "/copy.md", std::nullopt); });
        return f.number == EINVAL && f.description.contains(from) ? 0 : 1;
    });
    QCOMPARE(code, 0);
    QCOMPARE(entries(tmp.path()), QStringList{"pipe"});
}

void tst_filesystem::copyWhereAttributesAreRefused_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("error"); // 0: the copy lands
    QTest::newRow("permission bits refused") << QStringList{"--chmod-errno=1"} << 0;
    QTest::newRow("permission bits not implemented") << QStringList{"--chmod-errno=38"} << 0;
    QTest::newRow("times not implemented") << QStringList{"--utimens-errno=38"} << 0;
    QTest::newRow("times not supported") << QStringList{"--utimens-errno=95"} << 0;
    QTest::newRow("permission bits fail on the disk") << QStringList{"--chmod-errno=5"} << EIO;
}

void tst_filesystem::copyWhereAttributesAreRefused() {
    QFETCH(QStringList, options);
    QFETCH(int, error);
    QTemporaryDir tmp;
    const FaultDisk disk(tmp.path(), options);
    if (!disk.mounted) MORVANE_SKIP(qPrintable(disk.why));
    // The source, outside, carries an attribute that the fault disk does not take either.
    const QString src = tmp.path() + "/a.txt";
    write(src, "source");
    ::setxattr(QFile::encodeName(src).constData(), "user.tag", "x", 1, 0);
    NativeFileSystem fs;
    QCOMPARE(failureOf([&] { fs.copy(src, disk.path + "/a.md", std::nullopt); }).number, error);
    QCOMPARE(state(disk.path), error ? QStringList() : QStringList{"a.md=source"});
}

void tst_filesystem::folderCopyWithoutUnnamedFiles_data() {
    QTest::addColumn<QString>("taken"); // put in place just before that copy lands
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("asked");
    QTest::newRow("names free") << "" << QStringList{"a.md=a", "a.txt=a", "b.md=b", "b.txt=b"} << 0;
    QTest::newRow("a name taken meanwhile, No")
        << "b.md" << QStringList{"a.md=a", "a.txt=a", "b.md=new", "b.txt=b"} << 1;
}

// A folder whose file system makes no unnamed files: the copies go through temporary names,
// none is left behind, and a name taken meanwhile is asked about.
void tst_filesystem::folderCopyWithoutUnnamedFiles() {
    QFETCH(QString, taken);
    QTemporaryDir tmp;
    const FaultDisk disk(tmp.path(), {});
    if (!disk.mounted) MORVANE_SKIP(qPrintable(disk.why));
    const QString d = disk.path + '/';
    write(d + "a.txt", "a");
    write(d + "b.txt", "b");
    beforeMove = [&](const char* to) {
        if (!taken.isEmpty() && QFile::decodeName(to) == d + taken) write(d + taken, "new");
        taken.clear();
    };
    auto reset = qScopeGuard([] { beforeMove = nullptr; });
    NativeFileSystem fs;
    ScriptedBox box;
    box.answers.insert("b.md", MessageBox::No);
    QCOMPARE(changeAndReport({d + "a.txt", "txt", "md", true, true}, fs, box),
             ChangeEnd::NothingChanged);
    QTEST(state(disk.path), "after");
    QTEST(int(box.texts().size()) - 1, "asked");
}

void tst_filesystem::caseOnlyChange_data() {
    QTest::addColumn<bool>("copy");
    QTest::addColumn<bool>("killed"); // between the two moves
    QTest::addColumn<QStringList>("after");
    QTest::newRow("rename") << false << false << QStringList{"x.TXT=one file"};
    QTest::newRow("copy onto itself") << true << false << QStringList{"x.txt=one file"};
    QTest::newRow("killed half way") << false << true << QStringList{};
}

void tst_filesystem::caseOnlyChange() {
    QFETCH(bool, copy);
    QFETCH(bool, killed);
    QTemporaryDir tmp;
    const FaultDisk disk(tmp.path(), {"--casefold"});
    if (!disk.mounted) MORVANE_SKIP(qPrintable(disk.why));
    const QString d = disk.path + '/';
    write(d + "x.txt", "one file");
    NativeFileSystem fs;
    ScriptedBox box;
    const ChangeRequest request{d + "x.txt", "txt", "TXT", false, copy};
    if (!killed) {
        QCOMPARE(changeAndReport(request, fs, box), ChangeEnd::Completed);
        // The existence test finds the file itself under its other spelling.
        QCOMPARE(box.texts().size(), 2);
        QTEST(state(disk.path), "after");
        return;
    }
    int moves = 0;
    beforeMove = [&](const char*) {
        if (++moves == 2) ::_exit(9);
    };
    QCOMPARE(exitCodeOf([&] { return int(changeAndReport(request, fs, box)); }), 9);
    // Whatever a crash leaves is in plain sight, beside the name it was going to.
    const QStringList left = state(disk.path);
    QCOMPARE(left.size(), 1);
    QVERIFY2(left[0].startsWith("x.TXT.") && left[0].endsWith("=one file"), qPrintable(left[0]));
}

void tst_filesystem::replacedFileInTheTrash_data() {
    QTest::addColumn<bool>("copy");
    QTest::addColumn<bool>("ownMount"); // the folder is on a small disk of its own
    QTest::addColumn<bool>("taken");    // the Trash already holds an a.md
    QTest::addColumn<QString>("name");  // of the replaced file in the Trash
    QTest::addColumn<QString>("path");  // its Path= line; "{tmp}" is the real temporary folder
    QTest::newRow("rename") << false << false << false << "a.md"
                            << "{tmp}/a%20b%25/a.md";
    QTest::newRow("copy") << true << false << false << "a.md"
                          << "{tmp}/a%20b%25/a.md";
    QTest::newRow("a name taken in the Trash") << false << false << true << "a.md.2"
                                               << "{tmp}/a%20b%25/a.md";
    // The Trash of a mount names the place from the mount's top, so that it still holds when
    // the disk is mounted elsewhere.
    QTest::newRow("a mount of its own") << false << true << false << "a.md"
                                        << "a%20b%25/a.md";
}

// The replaced file goes to the Trash under its own name, with its own place on record, and
// nothing else is left anywhere.
void tst_filesystem::replacedFileInTheTrash() {
    QFETCH(bool, copy);
    QFETCH(bool, ownMount);
    QFETCH(bool, taken);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QTemporaryDir tmp;
    std::optional<SmallDisk> disk;
    if (ownMount) {
        disk.emplace(tmp.path() + "/disk", "1m");
        if (!disk->mounted) MORVANE_SKIP("mounting a tmpfs is refused here (needs root)");
    }
    // A data folder of this test's own, so that the names in its Trash are known.
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.path() + "/data"));
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", dataHome); });
    const QString base = disk ? disk->path : tmp.path(), d = base + "/a b%/";
    const QString trash = disk ? QStringLiteral("%1/.Trash-%2").arg(base).arg(::getuid())
                               : tmp.path() + "/data/Trash";
    QDir().mkpath(d);
    QDir().mkpath(trash + "/files");
    QDir().mkpath(trash + "/info");
    if (taken) {
        write(trash + "/files/a.md", "older");
        write(trash + "/info/a.md.trashinfo", "older");
    }
    const QStringList files = entries(trash + "/files"), infos = entries(trash + "/info"),
                      here = entries(QDir::currentPath());
    write(d + "a.txt", "source");
    write(d + "a.md", "target");
    NativeFileSystem fs;
    ScriptedBox box;
    QCOMPARE(changeAndReport({d + "a.txt", "txt", "md", false, copy}, fs, box),
             ChangeEnd::Completed);
    QCOMPARE(state(d),
             copy ? QStringList({"a.md=source", "a.txt=source"}) : QStringList{"a.md=source"});
    QCOMPARE(read(trash + "/files/" + name), QByteArray("target"));
    const QStringList info =
        QString::fromUtf8(read(trash + "/info/" + name + ".trashinfo")).split('\n');
    QCOMPARE(info.value(0), QString("[Trash Info]"));
    QCOMPARE(info.value(1),
             "Path=" + path.replace("{tmp}", QFileInfo(tmp.path()).canonicalFilePath()));
    QVERIFY2(QRegularExpression("^DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$")
                 .match(info.value(2))
                 .hasMatch(),
             qPrintable(info.value(2)));
    const auto with = [](QStringList names, const QString& name) {
        names.append(name);
        names.sort();
        return names;
    };
    QCOMPARE(entries(trash + "/files"), with(files, name));
    QCOMPARE(entries(trash + "/info"), with(infos, name + ".trashinfo"));
    QCOMPARE(entries(QDir::currentPath()), here);
    if (disk)
        QCOMPARE(entries(base), QStringList({".Trash-" + QString::number(::getuid()), "a b%"}));
}

void tst_filesystem::trashRefusals_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("message"); // "{t}" is the Trash
    const QStringList both{"a.md=target", "a.txt=source"};
    const auto row = [](const char* name, const char* fault, bool copy, const QStringList& after,
                        const QString& message) {
        QTest::newRow(name) << QString(fault) << copy << after << message;
    };
    const QString eio = "Error 5: Input/output error (the Trash at '{t}')";
    row("rename, the Trash's records immutable", "immutable", false, both,
        "Error 1: Operation not permitted (the Trash at '{t}')");
    row("copy, the Trash's records immutable", "immutable", true, both,
        "Error 1: Operation not permitted (the Trash at '{t}')");
    row("rename, the Trash's records failing", "--fail-in=/.Trash-{uid}/info:5", false, both, eio);
    row("copy, the Trash's records failing", "--fail-in=/.Trash-{uid}/info:5", true, both, eio);
    row("rename, the move into the Trash failing", "--fail-in=/.Trash-{uid}/files:5", false, both,
        eio);
    row("rename, the move into the Trash refused", "--fail-in=/.Trash-{uid}/files:18", false, both,
        "Error 18: Invalid cross-device link (the Trash at '{t}')");
    row("rename on a full disk", "full", false, both,
        "Error 28: No space left on device (the Trash at '{t}')");
    row("rename, the data folder under a file", "data under a file", false, both,
        "Error 20: Not a directory (the Trash at '{t}')");
    // The one case where the file is replaced outright: the mount has no room for a Trash.
    row("rename, a mount that refuses a Trash", "--fail-in=/:13", false, {"a.md=source"}, complete);
}

// A Trash that does not take the replaced file ends the change with its error, both files
// under their own names, and leaves nothing behind; a run that hangs meets the watchdog.
void tst_filesystem::trashRefusals() {
    QFETCH(QString, fault);
    QFETCH(bool, copy);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString uid = QString::number(::getuid());
    std::optional<FaultDisk> fuse;
    std::optional<SmallDisk> full;
    QString base = tmp.path(), trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash";
    if (fault.startsWith("--")) {
        fuse.emplace(tmp.path(), QStringList{QString(fault).replace("{uid}", uid)});
        if (!fuse->mounted) MORVANE_SKIP(qPrintable(fuse->why));
        base = fuse->backing; // the mount may refuse to make the folder
        trash = fuse->path + "/.Trash-" + uid;
    } else if (fault == "full") {
        full.emplace(tmp.path() + "/disk", "256k");
        if (!full->mounted) MORVANE_SKIP("mounting a small tmpfs is refused here (needs root)");
        base = trash = full->path;
        trash += "/.Trash-" + uid;
    } else if (fault == "data under a file") {
        write(tmp.path() + "/file", "a file");
        trash = tmp.path() + "/file/data/Trash";
    }
    QDir().mkpath(base + "/sub");
    QDir().mkpath(tmp.path() + "/cwd");
    write(base + "/sub/a.txt", "source");
    write(base + "/sub/a.md", "target");
    const QString d = (fuse ? fuse->path : base) + "/sub/";
    if (full) full->fill();
    bool frozen = false; // which even root cannot add to
    auto thaw = qScopeGuard([&] {
        if (frozen) setImmutable(trash + "/info", false);
    });
    if (fault == "immutable") {
        QDir().mkpath(trash + "/files");
        QDir().mkpath(trash + "/info");
        if (!(frozen = setImmutable(trash + "/info", true)))
            MORVANE_SKIP("making a folder immutable needs root and ext4");
    }
    const QStringList files = entries(trash + "/files"), infos = entries(trash + "/info");
    // In a child, in a folder of its own: a hang meets its alarm, and whatever it makes in
    // its current folder shows.
    const int code = exitCodeOf([&] {
        if (::chdir(QFile::encodeName(tmp.path() + "/cwd").constData()) != 0) return 2;
        if (fault == "data under a file")
            qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.path() + "/file/data"));
        NativeFileSystem fs;
        ScriptedBox box;
        changeAndReport({d + "a.txt", "txt", "md", false, copy}, fs, box);
        write(tmp.path() + "/message", box.texts().value(box.texts().size() - 1).toUtf8());
        return 0;
    });
    QCOMPARE(code, 0); // -1: it never ended
    QTEST(state(d), "after");
    QCOMPARE(QString::fromUtf8(read(tmp.path() + "/message")), message.replace("{t}", trash));
    QCOMPARE(entries(trash + "/files"), files);
    QCOMPARE(entries(trash + "/info"), infos);
    QCOMPARE(entries(tmp.path() + "/cwd"), QStringList());
}

void tst_filesystem::recordOnDiskFirst_data() {
    QTest::addColumn<bool>("allInFolder");
    QTest::newRow("one file") << false;
    QTest::newRow("folder run") << true;
}

// The record of a run is flushed to the disk before its first file is moved: a crash right
// after that move still finds it.
void tst_filesystem::recordOnDiskFirst() {
    QFETCH(bool, allInFolder);
    QTemporaryDir tmp;
    const QString d = tmp.path() + "/files/";
    QVERIFY(QDir().mkpath(d));
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        write(d + name, name);
    FileJournal journal(tmp.path() + "/state");
    NativeFileSystem fs;
    ScriptedBox box;
    calls.clear();
    changeAndReport({d + "a.txt", "txt", "md", allInFolder, false}, fs, box, noProgress(),
                    &journal);
    struct stat record {};
    QVERIFY(::stat(QFile::encodeName(journal.fileName()).constData(), &record) == 0);
    const qsizetype synced = calls.indexOf("sync " + QByteArray::number(quint64(record.st_ino)));
    qsizetype moved = -1;
    for (qsizetype i = 0; i < calls.size() && moved < 0; ++i)
        if (calls[i].startsWith("move ")) moved = i;
    QVERIFY2(moved >= 0 && synced >= 0 && synced < moved, calls.join(", "));
}

QTEST_GUILESS_MAIN(tst_filesystem)
#include "tst_filesystem.moc"
