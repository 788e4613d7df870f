// The journal of the last change on real files: names of any bytes, a kill part way, damage,
// and disks that refuse it.
#include "journal.h"
#include "strictskip.h"
#include "testfiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace morvane;

namespace {

const QString photos = QStringLiteral("/home/ann/Documents/photos");

// Three files in two batches; the second, a copy, replaced a file now in the trash.
QList<JournalRecord> threeFiles(const QString& source, const QString& target) {
    const QString trash = QStringLiteral("/home/ann/.local/share/Trash/files/b.md");
    return {{JournalRecord::Rename, source, target, FileId{2049, 1, 1234567890123, -42}, {}, {}},
            {JournalRecord::Copy,
             photos + "/b.txt",
             photos + "/b.md",
             FileId{2049, 2, 0, 0},
             trash,
             {2049, 9, 5, 5}},
            {JournalRecord::Rename, photos + "/c.txt", "/mnt/c.md", FileId{7, 3, 1, 1}, {}, {}}};
}

bool writeThree(FileJournal& j, const QString& folder, const QList<JournalRecord>& all) {
    return j.begin(folder, 3) && j.intend(all.mid(0, 2)) && j.replaced(1, all[1].trashed) &&
           j.intend(all.mid(2));
}

// Bytes this process has read so far, as the system counts them.
qint64 bytesRead() {
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
    return 0;
}

bool same(const JournalRecord& a, const JournalRecord& b) {
    return a.kind == b.kind && a.source == b.source && a.target == b.target && a.id == b.id &&
           a.trashed == b.trashed && a.before == b.before;
}

} // namespace

class tst_journal : public QObject {
    Q_OBJECT
private slots:
    // How a file known by its listing is told unchanged: listed at 1000, renamed at 1500.
    void listedIdentity_data() {
        QTest::addColumn<qint64>("mtime");
        QTest::addColumn<qint64>("ctime");
        QTest::addColumn<bool>("same");
        QTest::newRow("dated before the listing") << qint64(400) << qint64(1500) << true;
        QTest::newRow("modified at the listing's time") << qint64(1000) << qint64(1500) << false;
        QTest::newRow("edited after the rename") << qint64(2000) << qint64(2000) << false;
        QTest::newRow("edited before the rename") << qint64(1200) << qint64(1500) << false;
        QTest::newRow("dated ahead of the clock") << qint64(9000) << qint64(1500) << true;
    }
    void listedIdentity() {
        QFETCH(qint64, mtime);
        QFETCH(qint64, ctime);
        const ListedId listed{7, 42, 1000};
        QTEST(listed.isSameFile(FileId{7, 42, 5, mtime, ctime}), "same");
        QVERIFY(!listed.isSameFile(FileId{7, 43, 5, mtime, ctime}));
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("stored"); // bytes the file must hold as they are
        QTest::addColumn<bool>("killed");       // before it finished
        const QString a = photos + "/a.txt";
        QTest::newRow("finished") << photos << a << QByteArray("/a.txt") << false;
        QTest::newRow("newline and spaces")
            << photos << photos + "/line\nbreak .txt" << QByteArray("/line\nbreak .txt") << false;
        QTest::newRow("non-ASCII and emoji, outside the folder")
            << photos << "/mnt/Grüße 😀.txt"
            << QByteArray("/mnt/Gr\xc3\xbc\xc3\x9f\x65 \xf0\x9f\x98\x80.txt") << false;
        // Relative names are kept whole: a later start may run elsewhere.
        QTest::newRow("current folder") << ""
                                        << "a.txt" << QByteArray("a.txt") << false;
        QTest::newRow("killed") << photos << a << QByteArray("/a.txt") << true;
    }

    void roundTrip() {
        QFETCH(QString, folder);
        QFETCH(QString, source);
        QFETCH(QByteArray, stored);
        QFETCH(bool, killed);
        QTemporaryDir tmp;
        FileJournal j(tmp.path());
        const QList<JournalRecord> all = threeFiles(source, photos + "/a.md");
        if (killed)
            QCOMPARE(exitCodeOf([&] { return writeThree(j, folder, all) && ::raise(SIGKILL); }),
                     -1);
        else
            QVERIFY2(writeThree(j, folder, all) && j.finish(), qPrintable(j.problem()));
        FileJournal next(j.folder()); // the next window
        const JournalState state = next.load();
        QVERIFY(state.present && state.total == 3);
        QCOMPARE(state.finished, !killed);
        QList<JournalRecord> whole = all;
        for (JournalRecord& r : whole)
            r.source = QDir::current().absoluteFilePath(r.source);
        QVERIFY(std::equal(whole.begin(), whole.end(), state.records.begin(), state.records.end(),
                           same));
        const QByteArray file = read(next.fileName());
        QVERIFY(file.contains(stored));
        // The folder is written once; the names inside it are kept without it.
        if (!folder.isEmpty()) QCOMPARE(file.count(QFile::encodeName(folder)), 1);
    }

    // A folder run's records, written from the names' bytes: renames known by the inode
    // alone share compact records, the rest are written whole; all read back the same.
    void nameRecords() {
        QTemporaryDir tmp;
        FileJournal j(tmp.path());
        const std::vector<NameRecord> next{
            {JournalRecord::Rename, "a.txt", "a.md", ListedId{5, 11, 99}, {}},
            {JournalRecord::Rename, "line\nbreak.txt", "line\nbreak.md", ListedId{5, 12, 99}, {}},
            {JournalRecord::Rename, "abc.", "abc.md", ListedId{5, 13, 99}, {}}, // another ending
            {JournalRecord::Rename, "b.txt", "b.md", FileId{5, 14, 3, 4}, {}},  // a whole identity
            {JournalRecord::Copy, "c.txt", "c.md", FileId{5, 15, 3, 4}, {5, 16, 7, 8}},
            {JournalRecord::Rename, "d.txt", "d.md", ListedId{6, 17, 99}, {}}}; // another device
        QVERIFY(j.begin(photos + "/", qint64(next.size())) && j.intend(next) && j.finish());
        const JournalState state = FileJournal(j.folder()).load();
        QVERIFY2(state.finished && state.records.size() == qsizetype(next.size()),
                 qPrintable(j.problem()));
        for (size_t i = 0; i < next.size(); ++i) {
            const JournalRecord& r = state.records[qsizetype(i)];
            QCOMPARE(r.source, photos + '/' + next[i].source);
            QCOMPARE(r.target, photos + '/' + next[i].target);
            QCOMPARE(r.id, next[i].id);
            QCOMPARE(r.kind, next[i].kind);
            QCOMPARE(r.before, next[i].before);
        }
        // A folder run's renames take a few bytes beyond their names: 100,000 stay near 2.5 MB.
        std::vector<QByteArray> names;
        std::vector<NameRecord> run;
        for (int i = 0; i < 1000; ++i)
            names.push_back(QByteArray::number(1000000 + i) + ".txt");
        for (int i = 0; i < 1000; ++i) {
            names.push_back(names[size_t(i)].chopped(3) + "md");
            run.push_back({JournalRecord::Rename,
                           names[size_t(i)].constData(),
                           names.back().constData(),
                           ListedId{5, quint64(i), 99},
                           {}});
        }
        QVERIFY(j.begin(photos + "/", 1000) && j.intend(run) && j.finish());
        QVERIFY(read(j.fileName()).size() < 1000 * 25);
        QCOMPARE(FileJournal(j.folder()).load().records.size(), 1000);
    }

    void damaged_data() {
        // Records of Begin, I0, I1, Replaced(1), I2, Finished, or -1: 64 zero bytes.
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<int>("cut"); // bytes taken off the end
        QTest::addColumn<int>("at");  // where mask is XORed in; < 0 from the end
        QTest::addColumn<QByteArray>("mask");
        QTest::addColumn<QString>("expect"); // records of an interrupted change, or the problem
        const QList<int> all{0, 1, 2, 3, 4, 5};
        const int i0 = 17 + 9 + 8 + 5 + photos.size(); // where the first intent starts
        const QByteArray none;
        QTest::newRow("torn Finished") << all << 3 << 0 << none << "3";
        QTest::newRow("batch cut part way") << all.mid(0, 5) << 20 << 0 << none << "2";
        QTest::newRow("grown, not filled") << QList<int>{0, 1, 2, 3, -1} << 0 << 0 << none << "2";
        QTest::newRow("bad checksum at the end") << all << 0 << -1 << QByteArray("\1") << "3";
        QTest::newRow("empty: a journal that failed") << QList<int>() << 17 << 0 << none << "";
        QTest::newRow("header only: killed as it began") << QList<int>() << 0 << 0 << none << "";
        QTest::newRow("byte flipped in the middle")
            << all << 0 << i0 + 20 << QByteArray("\x40") << "not whole";
        QTest::newRow("garbage length")
            << all << 0 << i0 + 1 << QByteArray("\0\0\0\xf0", 4) << "not whole";
        QTest::newRow("zeros in the middle")
            << QList<int>{0, 1, -1, 2, 3, 4, 5} << 0 << 0 << none << "not whole";
        QTest::newRow("foreign") << all << 0 << 0 << QByteArray(" ") << "not Morvane's";
        QTest::newRow("other version")
            << all << 0 << 16 << QByteArray("\3") << "of another version";
        QTest::newRow("intent before Begin") << all.mid(1) << 0 << 0 << none << "not whole";
        QTest::newRow("two Begins") << QList<int>{0, 0, 1} << 0 << 0 << none << "not whole";
        QTest::newRow("zeros after Finished")
            << all + QList<int>{-1} << 0 << 0 << none << "not whole";
        QTest::newRow("after Finished") << all + QList<int>{4} << 0 << 0 << none << "not whole";
        QTest::newRow("replaced file never intended")
            << QList<int>{0, 1, 3} << 0 << 0 << none << "not whole";
    }

    void damaged() {
        QFETCH(QList<int>, order);
        QFETCH(int, cut);
        QFETCH(int, at);
        QFETCH(QByteArray, mask);
        QFETCH(QString, expect);
        QTemporaryDir tmp;
        FileJournal j(tmp.path());
        QVERIFY(writeThree(j, photos, threeFiles(photos + "/a.txt", photos + "/a.md")) &&
                j.finish());
        const QByteArray whole = read(j.fileName());
        QList<QByteArray> parts;
        for (qsizetype at = 17; at < whole.size(); at += parts.last().size())
            parts.append(whole.mid(at, 9 + qFromLittleEndian<quint32>(whole.constData() + at + 1)));
        QCOMPARE(parts.size(), 6);
        QByteArray file = whole.left(17);
        for (int i : order)
            file += i < 0 ? QByteArray(64, '\0') : parts[i];
        for (qsizetype k = 0; k < mask.size(); ++k)
            file[(at < 0 ? file.size() + at : at) + k] ^= mask[k];
        file.chop(cut);
        write(j.fileName(), file);

        const JournalState state = j.load();
        bool interrupted = false;
        const int records = expect.toInt(&interrupted);
        QCOMPARE(state.present, interrupted);
        QCOMPARE(state.records.size(), records);
        QVERIFY(!state.finished && (records < 2 || !state.records[1].trashed.isEmpty()));
        QCOMPARE(j.problem(), interrupted || expect.isEmpty()
                                  ? QString()
                                  : "ignoring the journal " + j.fileName() + ": it is " + expect);
    }

    void refused_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("partWay"); // a first batch is on the disk before the fault
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("marked"); // the next window learns the change has no record
        const QString full = "No space left on device";
        QTest::newRow("full disk at the start") << "full" << false << full << true;
        QTest::newRow("full disk part way") << "full" << true << full << true;
        QTest::newRow("a name longer than any path")
            << "long" << true << "File name too long" << true;
        QTest::newRow("replaced file never intended")
            << "index" << true << "Invalid argument" << true;
        // Nothing at all can be made there: the next window has the change before for last.
        QTest::newRow("read-only folder") << "nobody" << false << "Permission denied" << false;
        QTest::newRow("read-only disk") << "readonly" << false << "Read-only file system" << false;
    }

    // The change goes on without a record, and none is left that would be offered for Undo:
    // the window knows, and so does the next where the folder takes a mark.
    void refused() {
        QFETCH(QString, fault);
        QFETCH(bool, partWay);
        QFETCH(QString, reason);
        QFETCH(bool, marked);
        QTemporaryDir tmp;
        const QString dir = tmp.path() + "/state", path = dir + "/Morvane";
        const QByteArray disk = QFile::encodeName(dir), morvane = disk + "/Morvane",
                         changes = morvane + "/changes";
        QVERIFY(QDir().mkpath(dir));
        if (::mount("tmpfs", disk, "tmpfs", 0, "size=64k") != 0)
            MORVANE_SKIP("mounting a small tmpfs is refused here (needs root)");
        const auto unmount = qScopeGuard([&] { ::umount2(disk, MNT_DETACH); });

        QList<JournalRecord> big = threeFiles(photos + "/a.txt", photos + "/a.md");
        std::optional<FileJournal> j(std::in_place, path);
        QVERIFY(j->begin(photos, 1) && j->intend(big.mid(0, 1)) && j->finish()); // the previous
        const QString previous = j->fileName();
        if (partWay) QVERIFY(j->begin(photos, 3) && j->intend(big.mid(0, 2)));
        for (int i = 0; i < 100; ++i) // more than the last page of the journal holds
            big.append({JournalRecord::Rename, QString(60, 'x'), QString(60, 'y'), {}, {}, {}});
        if (fault == "long") big[50].target = QString(70000, 'z');
        if (fault == "readonly")
            QVERIFY(::mount("tmpfs", disk, "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0);
        if (fault == "nobody") // the records stay writable: their folders alone are read-only
            QVERIFY(::chmod(QFile::encodeName(tmp.path()), 0711) == 0 &&
                    ::chown(morvane, 65534, 65534) == 0 && ::chmod(morvane, 0500) == 0 &&
                    ::chown(changes, 65534, 65534) == 0 && ::chmod(changes, 0500) == 0 &&
                    ::chown(QFile::encodeName(previous), 65534, 65534) == 0);
        if (fault == "full") { // every free page taken
            struct statvfs free;
            const int filler = ::open(disk + "/filler", O_WRONLY | O_CREAT, 0600);
            QVERIFY(::fstatvfs(filler, &free) == 0 &&
                    ::posix_fallocate(filler, 0, off_t(free.f_bavail * free.f_frsize)) == 0);
            ::close(filler);
        }
        QCOMPARE(exitCodeOf([&] {
                     if (fault == "nobody" && (::setgroups(0, nullptr) != 0 ||
                                               ::setgid(65534) != 0 || ::setuid(65534) != 0))
                         return 2;
                     const bool refused = fault == "index" ? !j->replaced(2, "/t")
                                          : partWay        ? !j->intend(big)
                                                           : !j->begin(photos, 3);
                     // The change goes on without it; nothing more is written, and this
                     // window's Undo says so rather than undo the change before.
                     const QString why = j->problem();
                     if (refused && !j->intend(big) && !j->replaced(0, "/t") && !j->finish() &&
                         j->problem() == why &&
                         why.startsWith("the journal " + path + " cannot be written: " + reason) &&
                         j->load().notRecorded)
                         return 0;
                     std::fprintf(stderr, "%s\n", qPrintable(why));
                     return 1;
                 }),
                 0);
        j.reset(); // the child's, as it failed, lets go of the record it began
        FileJournal next(path);
        const JournalState state = next.load();
        QVERIFY2(next.problem().isEmpty(), qPrintable(next.problem()));
        QCOMPARE(state.notRecorded, marked);
        QCOMPARE(state.present, !marked);
        QCOMPARE(state.records.size(), marked ? 0 : 1);
        if (!marked) QCOMPARE(next.fileName(), previous);
    }

    // The single record of earlier versions, at Morvane/last-change, is the oldest change:
    // an Undo pending from before an upgrade, or a crash, is still offered.
    void earlierVersion_data() {
        QTest::addColumn<bool>("killed");
        QTest::newRow("finished: Undo") << false;
        QTest::newRow("killed: the start asks") << true;
    }
    void earlierVersion() {
        QFETCH(bool, killed);
        QTemporaryDir old, tmp;
        const QList<JournalRecord> all = threeFiles(photos + "/a.txt", photos + "/a.md");
        QString written;
        {
            FileJournal j(old.path());
            QVERIFY(writeThree(j, photos, all) && (killed || j.finish()));
            written = j.fileName();
        }
        QVERIFY(QFile::copy(written, tmp.path() + "/last-change"));
        FileJournal next(tmp.path());
        const JournalState state = killed ? next.interrupted() : next.load();
        QVERIFY2(state.present && state.records.size() == 3, qPrintable(next.problem()));
        QCOMPARE(state.finished, !killed);
        QCOMPARE(next.fileName(), tmp.path() + "/last-change");
        // A newer change is the last one; the earlier one stays until pruned.
        QVERIFY(FileJournal(tmp.path()).begin(photos, 1));
        next.discard();
        QVERIFY(!QFile::exists(tmp.path() + "/last-change"));
    }

    // Killed as it was made, before its Begin was whole: no change, and the next prune takes
    // it; the change before stays the last.
    void headless_data() {
        QTest::addColumn<int>("kept"); // bytes of a whole record's start left in the file
        QTest::newRow("empty") << 0;
        QTest::newRow("header only") << 17;
        QTest::newRow("Begin torn") << 30;
    }
    void headless() {
        QFETCH(int, kept);
        QTemporaryDir tmp;
        FileJournal before(tmp.path());
        QVERIFY(before.begin(photos, 1) &&
                before.intend(threeFiles(photos + "/a.txt", "/a.md").mid(0, 1)) && before.finish());
        FileJournal killed(tmp.path());
        QVERIFY(killed.begin(photos, 1));
        const QString path = killed.fileName();
        killed.withdraw(); // only to let go of it: the file is put back, cut short
        write(path, read(before.fileName()).left(kept));
        QVERIFY(QFileInfo(path).fileName() > QFileInfo(before.fileName()).fileName());

        FileJournal next(tmp.path());
        QVERIFY(!next.interrupted().present);
        const JournalState state = next.load();
        QVERIFY2(next.problem().isEmpty(), qPrintable(next.problem()));
        QCOMPARE(next.fileName(), before.fileName());
        QVERIFY(state.present && state.finished);
        QVERIFY(FileJournal(tmp.path()).begin(photos, 1));
        QVERIFY(!QFile::exists(path));
        QVERIFY(QFile::exists(before.fileName()));
    }

    // A start reads the heads and ends of the records, never a whole one it need not undo: a
    // large change that ended, or a large file that is not a change.
    void startReadsLittle_data() {
        QTest::addColumn<qint64>("total");    // the Begin's
        QTest::addColumn<qint64>("size");     // grown to, zeros past the records; 0: as written
        QTest::addColumn<QString>("problem"); // "": none; else the record is ignored for it
        QTest::addColumn<bool>("offered");    // and so read whole, a block at a time
        QTest::addColumn<qint64>("mostRead"); // bytes
        const qint64 little = 256 << 10, blocks = 4 << 20, huge = qint64(64) << 30;
        QTest::newRow("100,000 files, ended")
            << qint64(100000) << qint64(0) << "" << false << little;
        QTest::newRow("64 GiB of 3 files")
            << qint64(3) << huge << "it is not whole" << false << little;
        // Grown and not filled, as a crash may leave it: interrupted before any file.
        QTest::newRow("64 GiB of ten million files")
            << qint64(10000000) << huge << "" << true << blocks;
    }
    void startReadsLittle() {
        QFETCH(qint64, total);
        QFETCH(qint64, size);
        QFETCH(QString, problem);
        QFETCH(bool, offered);
        QFETCH(qint64, mostRead);
        QTemporaryDir tmp;
        std::optional<FileJournal> j(std::in_place, tmp.path());
        QVERIFY(j->begin(photos, total));
        std::vector<QByteArray> names;
        std::vector<NameRecord> run;
        names.reserve(size_t(2 * total));
        for (qint64 i = 0; i < total && size == 0; ++i) {
            names.push_back(QByteArray::number(1000000 + i) + ".txt");
            names.push_back(names.back().chopped(3) + "md");
            run.push_back({JournalRecord::Rename,
                           names[names.size() - 2].constData(),
                           names.back().constData(),
                           ListedId{5, quint64(i), 99},
                           {}});
        }
        QVERIFY(size > 0 || (j->intend(run) && j->finish()));
        const QString path = j->fileName();
        j.reset(); // as a window that ended, or was killed
        if (size > 0) QVERIFY(::truncate(QFile::encodeName(path), size) == 0);
        FileJournal next(tmp.path());
        const qint64 before = bytesRead();
        const JournalState state = next.interrupted();
        QVERIFY2(bytesRead() - before < mostRead,
                 qPrintable(QString::number(bytesRead() - before)));
        QCOMPARE(state.present, offered);
        QCOMPARE(next.problem(),
                 problem.isEmpty() ? QString() : "ignoring the journal " + path + ": " + problem);
    }

    void location_data() {
        QTest::addColumn<QByteArray>("xdg"); // "-": unset
        QTest::addColumn<QString>("folder"); // under the test's home
        QTest::newRow("set") << QByteArray("{home}/xdg") << "/xdg/Morvane";
        QTest::newRow("empty") << QByteArray("") << "/.local/state/Morvane";
        QTest::newRow("relative") << QByteArray("xdg") << "/.local/state/Morvane";
        QTest::newRow("unset") << QByteArray("-") << "/.local/state/Morvane";
    }

    // A private folder, which discard leaves empty, crashed leftovers included.
    void location() {
        QFETCH(QByteArray, xdg);
        QFETCH(QString, folder);
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldXdg = qgetenv("XDG_STATE_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            oldXdg.isNull() ? qunsetenv("XDG_STATE_HOME") : qputenv("XDG_STATE_HOME", oldXdg);
        });
        qputenv("HOME", QFile::encodeName(home.path()));
        xdg == "-" ? qunsetenv("XDG_STATE_HOME")
                   : qputenv("XDG_STATE_HOME", xdg.replace("{home}", qgetenv("HOME")));
        FileJournal j;
        QCOMPARE(j.folder(), home.path() + folder);
        QVERIFY(QDir().mkpath(j.folder()));
        write(j.folder() + "/last-change.99999.new", "left by an earlier version's crash");
        QVERIFY(j.begin(photos, 1));
        QCOMPARE(QFileInfo(j.fileName()).path(), home.path() + folder + "/changes");
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(home.path() + folder + "/changes"), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
        j.discard();
        QCOMPARE(QDir(home.path() + folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(QDir(home.path() + folder + "/changes").entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(!j.load().present && j.problem().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_journal)
#include "tst_journal.moc"
