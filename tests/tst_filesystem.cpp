// The existence test and the file operations on real folders, with real faults: hidden
// files, folders and dangling links in the way, a file-size limit and a full disk.
#include "filesystem.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// A real, small file system of its own (a tmpfs), unmounted when the test ends.
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
    operator QString() const { return path; }
};

Failure failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Failure& failure) {
        return failure;
    }
    return {};
}

} // namespace

class tst_filesystem : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ignoreFileSizeSignal(); }
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
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) QSKIP("cannot become an ordinary user");
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
    if (!disk.mounted) QSKIP("mounting a tmpfs is refused here (needs root)");
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

    // Gone in the meantime: still nothing is touched.
    QFile::remove(dst);
    QCOMPARE(failureOf([&] { fs.copy(src, dst, id); }).number, ECANCELED);
    QCOMPARE(entries(tmp.path()), QStringList{"a.txt"});
}

void tst_filesystem::renameBetweenTwoNamesOfOneFile() {
    // Two hard links stand in for two spellings of one name on a case-insensitive mount.
    QTemporaryDir tmp;
    const QString src = tmp.path() + "/x.TXT", dst = tmp.path() + "/x.txt";
    write(src, "one file");
    QCOMPARE(::link(QFile::encodeName(src).constData(), QFile::encodeName(dst).constData()), 0);
    NativeFileSystem fs;
    QVERIFY(fs.sameFile(src, dst));
    QVERIFY(!fs.sameFile(src, tmp.path() + "/other"));
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
    NativeFileSystem fs;
    fs.copy(src, dst, std::nullopt);
    QCOMPARE(read(dst), read(src));
    QCOMPARE(QFileInfo(dst).permissions(), QFileInfo(src).permissions());
    QCOMPARE(QFileInfo(dst).lastModified(), old);
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
        QSKIP("mounting a small tmpfs is refused here (needs root), so no full disk");

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

QTEST_GUILESS_MAIN(tst_filesystem)
#include "tst_filesystem.moc"
