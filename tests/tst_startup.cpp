// What start-up restores and the close stores: the history list, the settings file and its
// faults, and the command line.
#include "commandline.h"
#include "faultdisk.h"
#include "filesystem.h"
#include "formload.h"
#include "history.h"
#include "process.h"
#include "settingsstore.h"
#include "strictskip.h"
#include "testwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace morvane;

namespace {

const QChar sep = historySeparator;
QString configDir, filesDir; // the current row's own folders

QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list.append(box->itemText(i));
    return list;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QString makeFile(const QString& name) {
    const QString path = filesDir + QLatin1Char('/') + name;
    return writeBytes(path, "data") ? path : QString();
}

QString settingsFile() {
    return configDir + QStringLiteral("/Morvane/Morvane.json");
}

QJsonObject stored() {
    return QJsonDocument::fromJson(bytesOf(settingsFile()))[u"General"].toObject();
}

bool store(const QJsonObject& general) {
    return writeBytes(settingsFile(), QJsonDocument(QJsonObject{{"General", general}}).toJson());
}

// What `body` printed on standard error, children included: the program warns with fprintf,
// so the descriptor itself goes to a file meanwhile.
template <class Body> QString stderrOf(Body body) {
    QTemporaryFile file;
    if (!file.open()) return QStringLiteral("standard error cannot be captured");
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    body();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    return QString::fromUtf8(bytesOf(file.fileName()));
}

// Runs `body` in a forked child, for the faults that would spoil this process (a size limit,
// another user). It cannot use QVERIFY: it answers with its exit code (-1 for a signal), and
// what it printed on standard error.
template <class Body> std::pair<int, QString> inChild(Body body) {
    int status = -1;
    const QString err = stderrOf([&] {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(10); // a hang ends the child, not the whole run
            const int code = body();
            std::fflush(nullptr);
            ::_exit(code);
        }
        ::waitpid(pid, &status, 0);
    });
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
}

// Root may write anywhere: the permission faults are tried as "nobody", in a child.
const uid_t nobody = 65534;
bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
}

// Takes all but `spare` bytes of the tmpfs mounted on dir.
bool fillDisk(const QByteArray& dir, off_t spare) {
    struct statvfs disk;
    const int fd = ::open((dir + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
    const bool ok = fd >= 0 && ::fstatvfs(fd, &disk) == 0 &&
                    ::posix_fallocate(fd, 0, off_t(disk.f_bavail * disk.f_frsize) - spare) == 0;
    ::close(fd);
    return ok;
}

// The values a close is given, and what the next start must show.
struct Values {
    QStringList history;
    QString extension;
    bool leaveCopy = false;
    QString file;

    void putInto(frmMain& form) const {
        form.cboNewExtension->clear();
        form.cboNewExtension->addItems(history);
        form.cboNewExtension->setEditText(extension);
        form.chkLeaveCopy->setChecked(leaveCopy);
        form.txtFile->setText(file);
    }
    bool shownBy(const frmMain& form) const {
        return items(form.cboNewExtension) == history &&
               form.cboNewExtension->currentText() == extension &&
               form.chkLeaveCopy->isChecked() == leaveCopy && form.txtFile->text() == file;
    }
    // Every value is stored as a text, an empty one too.
    QJsonObject asStored() const {
        return {{key::lastExtensions, history.join(sep)},
                {key::lastExtension, extension},
                {key::leaveCopy, leaveCopy ? "1" : "0"},
                {key::lastFile, file}};
    }
};

// The window wired as main() does: started from the store (`err` holds what that printed on
// standard error), and stored by its close.
struct Run : TestWindow {
    QString err;
    int unloads = 0;
    bool saved = false;
    explicit Run(const QString& commandLine = {}, bool exact = true) {
        connect(this, &frmMain::unloading, this,
                [this] { saved = ++unloads == 1 && Form_Unload(*this); });
        err = stderrOf([&] { Form_Load(*this, commandLine, exact); });
    }
    // Closes the window; what the store then holds.
    QJsonObject closed() { return close() && saved ? stored() : QJsonObject{{"close", "failed"}}; }
};

// What happens to the last file between two runs, and how the settings file is spoilt.
enum Between { Kept, Deleted, Folder };
enum Spoilt { Before, WhileRunning, Unreadable, FailingRead };

} // namespace

class tst_startup : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    int serial_ = 0;

private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        // Qt fixes the settings folder at the first QSettings: the desktop's convention.
        const QString xdg = root_.path() + QStringLiteral("/xdg");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg));
        QCOMPARE(SettingsStore().fileName(), xdg + QStringLiteral("/Morvane/Morvane.json"));
    }

    void init() {
        // Fresh folders for every row: Qt caches what it read per settings file.
        const QString work = root_.path() + QStringLiteral("/t%1").arg(++serial_);
        configDir = work + QStringLiteral("/config");
        filesDir = work + QStringLiteral("/files");
        QVERIFY(QDir().mkpath(configDir) && QDir().mkpath(filesDir));
        QSettings::setPath(settingsFormat(), QSettings::UserScope, configDir);
        QCOMPARE(SettingsStore().fileName(), settingsFile());
    }

    void roundTrip_data() {
        QTest::addColumn<bool>("byExit");
        QTest::addColumn<int>("between");
        QTest::newRow("Exit button") << true << int(Kept);
        QTest::newRow("window closed") << false << int(Kept);
        QTest::newRow("file deleted") << true << int(Deleted);
        QTest::newRow("folder in its place") << false << int(Folder);
    }

    // A first run, its close, and the next start.
    void roundTrip() {
        QFETCH(bool, byExit);
        QFETCH(int, between);
        // Quotes, a backslash and non-ASCII letters must survive the JSON file.
        const QString file = makeFile(QStringLiteral(R"(my "report" \ ü.draft)"));
        const Values values{{"txt", "md", "tär"}, QStringLiteral("bäk"), true, file};
        {
            Run first;
            // No file yet: the defaults, no warning, and starting writes nothing.
            QVERIFY(first.err.isEmpty() && Values{}.shownBy(first) &&
                    !QFile::exists(settingsFile()));
            values.putInto(first);
            if (byExit)
                first.cmdCancel->click();
            else
                QVERIFY(first.close());
            QVERIFY(first.saved && first.unloads == 1);
        }
        QCOMPARE(stored(), values.asStored());
        if (between != Kept) QVERIFY(QFile::remove(file));
        if (between == Folder) QVERIFY(QDir().mkdir(file));
        Run next;
        QVERIFY(values.shownBy(next));
        // A last file that no longer exists shows no extension and cannot be changed.
        QCOMPARE(next.txtExtension->text(), between == Kept ? QStringLiteral("draft") : QString());
        QCOMPARE(next.cmdChange->isEnabled(), between == Kept);
        // Emptied boxes are stored too, or the old values would come back.
        Values{}.putInto(next);
        QCOMPARE(next.closed(), Values{}.asStored());
    }

    void history_data() {
        QTest::addColumn<bool>("fromFile"); // the box is filled by a start, else set directly
        QTest::addColumn<QStringList>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("next");
        const auto numbered = [](int count) {
            QStringList list;
            for (int i = 1; i <= count; ++i)
                list.append(QStringLiteral("e%1").arg(i));
            return list;
        };
        const QStringList three{"txt", "md", "jpg"}, middle{"txt", "", "md"};
        const QString ten = numbered(10).join(sep);
        QTest::newRow("three entries") << false << three << "txt¡md¡jpg" << three;
        QTest::newRow("twelve keep ten") << false << numbered(12) << ten << numbered(10);
        QTest::newRow("fifteen stored") << true << numbered(15) << ten << numbered(10);
        QTest::newRow("empty entry inside") << true << middle << "txt¡¡md" << middle;
        QTest::newRow("empty top entry")
            << true << QStringList{"", "txt"} << "txt" << QStringList{"txt"};
        QTest::newRow("empty top entry counts toward ten")
            << false << QStringList{""} + numbered(10) << numbered(9).join(sep) << numbered(9);
        QTest::newRow("entry holding the separator")
            << false << QStringList{"a¡b"} << "a¡b" << QStringList{"a", "b"};
        QTest::newRow("no entries") << false << QStringList{} << "" << QStringList{};
    }

    void history() {
        QFETCH(bool, fromFile);
        QFETCH(QStringList, box);
        QFETCH(QString, text);
        QCOMPARE(joinHistory(box), text);
        QTEST(splitHistory(text), "next");
        if (fromFile) QVERIFY(store({{key::lastExtensions, box.join(sep)}}));
        Run first;
        if (!fromFile) first.cboNewExtension->addItems(box);
        QCOMPARE(items(first.cboNewExtension), box);
        QCOMPARE(first.closed().value(key::lastExtensions), QJsonValue(text)); // even when empty
        QTEST(items(Run().cboNewExtension), "next");
    }

    void leaveCopy_data() {
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("warned");
        QTest::newRow("0") << QJsonValue("0") << false << false;
        QTest::newRow("1") << QJsonValue("1") << true << false;
        QTest::newRow("hand-written number 1") << QJsonValue(1) << true << false;
        QTest::newRow("yes") << QJsonValue("yes") << false << true;
        QTest::newRow("2") << QJsonValue("2") << false << true;
        QTest::newRow("empty") << QJsonValue("") << false << true;
        QTest::newRow("true") << QJsonValue(true) << false << true;
    }

    void leaveCopy() {
        QFETCH(QJsonValue, value);
        QFETCH(bool, ticked);
        QFETCH(bool, warned);
        const QString file = makeFile(QStringLiteral("a.txt"));
        QVERIFY(
            store({{key::lastFile, file}, {key::lastExtension, "md"}, {key::leaveCopy, value}}));

        TestWindow form;
        form.chkLeaveCopy->setChecked(!ticked); // so that every row must set the box itself
        const QString err = stderrOf([&] { Form_Load(form, {}); });
        QCOMPARE(form.chkLeaveCopy->isChecked(), ticked);
        const QString shown = QLatin1Char('"') + value.toVariant().toString() + QLatin1Char('"');
        QVERIFY2(warned ? err.count(QLatin1Char('\n')) == 1 && err.endsWith(QLatin1Char('\n')) &&
                              err.contains(key::leaveCopy) && err.contains(shown)
                        : err.isEmpty(),
                 qPrintable(err));
        // A bad value stops none of the steps after it.
        QCOMPARE(form.txtFile->text(), file);
        QCOMPARE(form.txtExtension->text(), QStringLiteral("txt"));
        QCOMPARE(form.cboNewExtension->currentText(), QStringLiteral("md"));
        QCOMPARE(Run(QStringLiteral("\"/b.md\"")).txtFile->text(), QStringLiteral("/b.md"));
    }

    void unusableFile_data() {
        QTest::addColumn<QByteArray>("content"); // empty: a folder takes the file's place
        QTest::addColumn<int>("spoilt");
        const QByteArray good = R"({"General": {"Last File": "/a/b.txt"}})";
        QTest::newRow("garbage") << QByteArray("{not json") << int(Before);
        QTest::newRow("JSON array") << QByteArray(R"(["txt", "md"])") << int(Before);
        QTest::newRow("cut short") << good.left(good.size() / 2) << int(Before);
        QTest::newRow("folder in its place") << QByteArray() << int(Before);
        QTest::newRow("garbage while running") << QByteArray("{not json") << int(WhileRunning);
        QTest::newRow("unreadable") << good << int(Unreadable);
        QTest::newRow("read fails part way") << good << int(FailingRead);
    }

    void unusableFile() {
        QFETCH(QByteArray, content);
        QFETCH(int, spoilt);
        const bool folder = content.isEmpty(), asNobody = spoilt == Unreadable;
        // Only a file read whole and found not valid may be replaced.
        const bool kept = folder || asNobody || spoilt == FailingRead;
        std::optional<FaultDisk> disk; // its reads of the settings fail
        if (spoilt == FailingRead) {
            disk.emplace(configDir + QStringLiteral("/fault"), QStringList{"--eio=Morvane.json"});
            if (!disk->mounted) MORVANE_SKIP(qPrintable(disk->why));
            QSettings::setPath(settingsFormat(), QSettings::UserScope, configDir = disk->path);
        }
        const auto spoil = [&] {
            return folder ? QDir().mkpath(settingsFile()) : writeBytes(settingsFile(), content);
        };
        if (spoilt != WhileRunning) QVERIFY(spoil());
        if (asNobody) { // root reads any file
            if (::geteuid() != 0)
                MORVANE_SKIP("handing the settings folder to another user needs root");
            const QByteArray path = QFile::encodeName(settingsFile());
            QVERIFY(::chmod(QFile::encodeName(root_.path()).constData(), 0711) == 0);
            QVERIFY(::chown(QFile::encodeName(configDir + "/Morvane"), nobody, nobody) == 0);
            QVERIFY(::chown(path, nobody, nobody) == 0 && ::chmod(path, 0200) == 0);
        }
        const Values values{{"txt", "md"}, QStringLiteral("md"), true, QStringLiteral("/x/y.z")};
        TestWindow form, next;
        // Both starts run in a child, as "nobody" for the unreadable file.
        const auto start = [&](frmMain& window, bool first) {
            return inChild([&] {
                if (asNobody && !becomeNobody()) return 20;
                Form_Load(window, {});
                if (!first) return values.shownBy(window) ? 0 : 1;
                if (!Values{}.shownBy(window) || (spoilt == WhileRunning && !spoil())) return 10;
                values.putInto(window);
                return Form_Unload(window) ? 0 : 1;
            });
        };
        const auto [code, err] = start(form, true);
        // Warned at start; a file that is kept is reported by the close too.
        QVERIFY2(code == (kept ? 1 : 0), qPrintable(err));
        QCOMPARE(err.count(QLatin1Char('\n')), (spoilt == WhileRunning ? 0 : 1) + (kept ? 1 : 0));
        QVERIFY2(err.isEmpty() || err.section(QLatin1Char('\n'), 0, 0).contains(settingsFile()),
                 qPrintable(err));
        QCOMPARE(QFileInfo(settingsFile()).isDir(), folder);
        if (kept) { // as it was (a folder reads as nothing; past the fault disk, as it is stored)
            QCOMPARE(bytesOf(disk ? disk->backing + "/Morvane/Morvane.json" : settingsFile()),
                     content);
            return;
        }
        const auto [nextCode, nextErr] = start(next, false);
        QVERIFY2(nextCode == 0 && nextErr.isEmpty(), qPrintable(nextErr));
    }

    void unwritableStore_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("previous"); // whether an earlier close stored a file
        QTest::newRow("full disk") << "full" << true;
        QTest::newRow("one page left") << "page" << true; // the lock file fits, the settings do not
        QTest::newRow("read-only remount") << "readonly" << true;
        QTest::newRow("full at the first close") << "full" << false;
        QTest::newRow("file-size limit") << "limit" << true;
    }

    void unwritableStore() {
        QFETCH(QString, fault);
        QFETCH(bool, previous);
        const bool onDisk = fault != QLatin1String("limit");
        const QByteArray dir = QFile::encodeName(configDir);
        if (onDisk && ::mount("tmpfs", dir, "tmpfs", 0, "size=256k") != 0)
            MORVANE_SKIP(
                qPrintable(QStringLiteral("mounting a tmpfs was refused: ") + qt_error_string()));
        const auto unmount = qScopeGuard([&] { ::umount2(dir, MNT_DETACH); });
        if (previous) QVERIFY(store(Values{{"txt"}, "txt", false, "/a/b.txt"}.asStored()));
        const QByteArray before = bytesOf(settingsFile());
        if (fault == QLatin1String("readonly"))
            QVERIFY(::mount("tmpfs", dir, "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k") == 0);
        else if (onDisk)
            QVERIFY(fillDisk(dir, fault == QLatin1String("page") ? 4096 : 0));

        Run run;
        // Larger than the size limit; the lock file beside it stays under.
        Values{{"md", "jpg"}, "jpg", true, QString(4000, QLatin1Char('p'))}.putInto(run);
        const auto [code, err] = inChild([&] {
            ignoreFileSizeSignal(); // as the program does at start
            const rlimit small{1024, RLIM_INFINITY};
            if (!onDisk && ::setrlimit(RLIMIT_FSIZE, &small) != 0) return 20;
            if (!run.close()) return 2; // the close must go ahead
            return run.saved ? 0 : 1;
        });
        QVERIFY2(code == 1 && err.count(QLatin1Char('\n')) == 1 && err.contains(settingsFile()),
                 qPrintable(QString::number(code) + QLatin1Char(' ') + err));
        QCOMPARE(bytesOf(settingsFile()), before);
        // Nothing left beside it either: no lock or temporary file.
        QCOMPARE(QDir(configDir + "/Morvane").entryList(QDir::Files | QDir::Hidden),
                 previous ? QStringList{"Morvane.json"} : QStringList());
    }

    void lockedStore_data() {
        QTest::addColumn<QString>("lock");
        QTest::newRow("lock is a folder") << "folder";
        QTest::newRow("stale lock in a read-only folder") << "stale";
        QTest::newRow("lock held by a running program") << "held";
    }

    // Whatever holds the lock beside the settings, the close ends at once and keeps the file.
    void lockedStore() {
        QFETCH(QString, lock);
        const QString lockName = settingsFile() + QStringLiteral(".lock");
        const QByteArray folder = QFile::encodeName(configDir + QStringLiteral("/Morvane"));
        const bool asNobody = lock == QLatin1String("stale") && ::geteuid() == 0;
        QVERIFY(store(Values{{"txt"}, "txt", false, "/a/b.txt"}.asStored()));
        const QByteArray before = bytesOf(settingsFile());
        QLockFile held(lockName);
        const auto restore = qScopeGuard([&] { ::chmod(folder, 0755); });
        if (lock == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(lockName));
        } else if (lock == QLatin1String("held")) {
            QVERIFY(held.tryLock(0));
        } else { // a save killed while it held the lock, in a folder since made read-only
            const auto killed = inChild([&] {
                QLockFile saving(lockName);
                return saving.tryLock(0) ? ::raise(SIGKILL) : 1;
            });
            QVERIFY(killed.first == -1 && ::chmod(folder, 0555) == 0);
            // Only the folder is read-only; root writes anywhere, so "nobody" owns the file.
            if (asNobody)
                QVERIFY(::chmod(QFile::encodeName(root_.path()), 0711) == 0 &&
                        ::chown(QFile::encodeName(settingsFile()), nobody, nobody) == 0);
        }

        Run run;
        Values{{"md"}, "md", true, "/c/d.md"}.putInto(run);
        const QDeadlineTimer soon(2000);
        const auto [code, err] = inChild([&] {
            if (asNobody && !becomeNobody()) return 20;
            return !run.close() ? 2 : run.saved ? 0 : 1;
        });
        QVERIFY2(!soon.hasExpired(), "the close waited for the lock");
        QVERIFY2(code == 1 && err.count(QLatin1Char('\n')) == 1 && err.contains(settingsFile()),
                 qPrintable(QString::number(code) + QLatin1Char(' ') + err));
        QCOMPARE(bytesOf(settingsFile()), before);
    }

    void commandLine_data() {
        QTest::addColumn<QByteArrayList>("arguments"); // after the program's name; @ is a folder
        QTest::addColumn<QString>("fileBox");
        QTest::addColumn<QString>("extension");
        const auto row = [](const char* name, const QByteArrayList& arguments,
                            const QString& fileBox, const QString& extension) {
            QTest::newRow(name) << arguments << fileBox << extension;
        };
        row("quoted path", {R"("/tmp/x/report.txt")"}, "/tmp/x/report.txt", "");
        row("spaces across arguments", {"@/my", "report.draft"}, "@/my report.draft", "draft");
        row("two quoted paths", {R"("a")", R"("b")"}, R"(a" "b)", "");
        row("only quotes", {QByteArray(3, '"')}, "", "");
        row("non-ASCII name", {"/tmp/größe.txt"}, "/tmp/größe.txt", "");
        row("no argument", {}, "@/remembered.txt", "txt");
        // Decoded, it would name another file that really exists.
        row("name not valid UTF-8", {"@/bad\xff.txt"}, "@/bad\uFFFD.txt", "");
    }

    void commandLine() {
        QFETCH(QByteArrayList, arguments);
        QFETCH(QString, fileBox);
        fileBox.replace(QLatin1Char('@'), filesDir);
        // A name that is not valid UTF-8 cannot be named again exactly.
        const bool refused = fileBox.contains(QChar::ReplacementCharacter);
        const QString typed = makeFile(QStringLiteral("my report.draft"));
        QVERIFY(!makeFile(QStringLiteral("bad\uFFFD.txt")).isEmpty());
        QVERIFY(store({{key::lastFile, makeFile(QStringLiteral("remembered.txt"))}}));

        char name[] = "morvane";
        std::vector<char*> argv{name};
        for (QByteArray& argument : arguments)
            argv.push_back(argument.replace('@', QFile::encodeName(filesDir)).data());
        bool exact = refused; // so that the reader must set it
        const QString commandLine = commandLineText(int(argv.size()), argv.data(), &exact);
        QCOMPARE(commandLine, QString::fromUtf8(arguments.join(' ')));
        QCOMPARE(exact, !refused);

        Run run(commandLine, exact);
        QCOMPARE(run.txtFile->text(), fileBox);
        QTEST(run.txtExtension->text(), "extension");
        // Each file here has an extension. Another path typed works as usual; the refused text
        // typed again is refused again.
        QCOMPARE(run.cmdChange->isEnabled(), !run.txtExtension->text().isEmpty());
        run.txtFile->setText(typed);
        QVERIFY(run.cmdChange->isEnabled());
        run.txtFile->setText(fileBox);
        QCOMPARE(run.cmdChange->isEnabled(), !run.txtExtension->text().isEmpty());
        // What the command line put in the box is what the close remembers, unless refused.
        QCOMPARE(run.closed().value(key::lastFile),
                 QJsonValue(refused ? filesDir + QStringLiteral("/remembered.txt") : fileBox));
    }

    void realProgramKeepsArgumentsFromQt_data() {
        QTest::addColumn<QString>("arguments"); // for /bin/sh, so that any bytes reach it
        QTest::addColumn<int>("lines");         // of its own on standard error
        QTest::newRow("options for Qt") << "-style nosuchstyle" << 1;
        QTest::newRow("name not valid UTF-8") << R"sh("$(printf '%s/bad\377.txt' "$1")")sh" << 2;
    }

    void realProgramKeepsArgumentsFromQt() {
        QFETCH(QString, arguments);
        QFETCH(int, lines);
        const QString program =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../src/startup/morvane");
        if (!QFileInfo(program).isExecutable())
            MORVANE_SKIP("the program is not built next to the tests");
        QVERIFY(writeBytes(settingsFile(), "{not json"));

        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir)); // for the child only
        QProcess process;
        // Were these handed to Qt, it would report the unknown style on standard error.
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"), "exec \"$0\" " + arguments, program, filesDir});
        QVERIFY(process.waitForStarted());
        QVERIFY2(!process.waitForFinished(800), "the program ended at start");
        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        // Qt saw no option; the unreadable settings were reported and the program ran on.
        QVERIFY2(!err.contains(QLatin1String("nosuchstyle")) && err.contains(settingsFile()),
                 qPrintable(err));
        // The second line refuses the name (Qt may add lines of its own about the session).
        QVERIFY2(err.count(QLatin1String("morvane: ")) == lines &&
                     (lines == 1 || err.contains(filesDir)),
                 qPrintable(err));
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
