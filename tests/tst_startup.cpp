// What start-up restores and the close stores: the settings file, the history list, the
// command line, and the faults of a store that cannot be read or written.
#include "commandline.h"
#include "filesystem.h"
#include "formload.h"
#include "frmMain.h"
#include "history.h"
#include "settingsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace morvane;

namespace {

const QChar sep = historySeparator;

QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list.append(box->itemText(i));
    return list;
}

QStringList numbered(int count) {
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(QStringLiteral("e%1").arg(i));
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

// Standard error goes to a file while the object lives: the program's warnings are
// written with fprintf, so the descriptor itself is redirected.
class StderrCapture {
public:
    StderrCapture() {
        if (!file_.open()) return;
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QString text() {
        restore();
        return QString::fromUtf8(bytesOf(file_.fileName()));
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

// A forked child with its standard error in a pipe: for the faults that would spoil this
// process (a file-size limit, dropped privileges). The child must not use QVERIFY.
struct ChildEnd {
    int exitCode = -1; // -1 when a signal ended it
    int signal = 0;
    QString err;
};

template <class Body> ChildEnd runInChild(Body body) {
    ChildEnd end;
    int fds[2];
    if (::pipe(fds) != 0) return end;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::dup2(fds[1], STDERR_FILENO);
        ::close(fds[1]);
        ::alarm(10); // a hang ends the child, not the whole run
        const int code = body();
        std::fflush(stderr);
        ::_exit(code);
    }
    ::close(fds[1]);
    QByteArray out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    end.err = QString::fromUtf8(out);
    if (WIFEXITED(status))
        end.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    return end;
}

// A tmpfs of a few hundred KiB: a real disk that can be filled or made read-only.
class SmallDisk {
public:
    explicit SmallDisk(const QString& dir) : dir_(QFile::encodeName(dir)) {
        mounted_ = ::mount("tmpfs", dir_.constData(), "tmpfs", 0, "size=256k") == 0;
        if (!mounted_) why_ = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    QString why() const { return why_; }

    // Writes pages into a filler file until the disk refuses, then gives back `spare`
    // bytes.
    bool fill(off_t spare) {
        const QByteArray path = dir_ + "/filler";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) return false;
        const QByteArray page(4096, 'x');
        off_t size = 0;
        for (;;) {
            const ssize_t n = ::write(fd, page.constData(), page.size());
            if (n <= 0) break;
            size += n;
        }
        const bool full = errno == ENOSPC;
        const bool ok = full && (spare == 0 || ::ftruncate(fd, size - spare) == 0);
        ::close(fd);
        return ok;
    }

    bool makeReadOnly() {
        return ::mount("tmpfs", dir_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k") ==
               0;
    }

private:
    QByteArray dir_;
    bool mounted_ = false;
    QString why_;
};

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
};

bool showsDefaults(const frmMain& form) {
    return form.cboNewExtension->count() == 0 && form.cboNewExtension->currentText().isEmpty() &&
           !form.chkLeaveCopy->isChecked() && form.txtFile->text().isEmpty() &&
           form.txtExtension->text().isEmpty() && !form.cmdChange->isEnabled();
}

} // namespace

class tst_startup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void firstRunShowsDefaults();
    void closeStoresAllFourAsText();
    void history_data();
    void history();
    void storedHistory_data();
    void storedHistory();
    void valuesComeBackAfterClose_data();
    void valuesComeBackAfterClose();
    void restoredFileIsChecked_data();
    void restoredFileIsChecked();
    void lastExtensionIsOnlyTheEditText_data();
    void lastExtensionIsOnlyTheEditText();
    void leaveCopy_data();
    void leaveCopy();
    void unusableFile_data();
    void unusableFile();
    void unreadableFile_data();
    void unreadableFile();
    void unwritableDisk_data();
    void unwritableDisk();
    void fileSizeLimit();
    void commandLine_data();
    void commandLine();
    void realProgramKeepsArgumentsFromQt();

private:
    QString settingsFile() const { return config_ + QStringLiteral("/Morvane/Morvane.json"); }
    QJsonObject stored() const {
        return QJsonDocument::fromJson(bytesOf(settingsFile()))
            .object()
            .value(QStringLiteral("General"))
            .toObject();
    }
    bool store(const QJsonObject& general) const {
        return writeBytes(
            settingsFile(),
            QJsonDocument(QJsonObject{{QStringLiteral("General"), general}}).toJson());
    }
    // Whatever a failed save left beside the settings file (lock or temporary files).
    QStringList debris() const {
        QStringList names = QDir(config_ + QStringLiteral("/Morvane"))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        names.removeAll(QStringLiteral("Morvane.json"));
        return names;
    }
    QString makeFile(const QString& name) const {
        const QString path = files_ + QLatin1Char('/') + name;
        return writeBytes(path, "data") ? path : QString();
    }

    QTemporaryDir root_;
    int serial_ = 0;
    QString work_;
    QString config_;
    QString files_;
};

void tst_startup::initTestCase() {
    QVERIFY(root_.isValid());
    // Qt fixes the settings folder at the first use of QSettings: set it before that, and
    // check the file lands where the desktop's convention puts it.
    const QString xdg = root_.path() + QStringLiteral("/xdg");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg));
    QCOMPARE(SettingsStore().fileName(), xdg + QStringLiteral("/Morvane/Morvane.json"));
    frmMain form;
    QVERIFY(Form_Unload(form));
    QVERIFY(QFileInfo(xdg + QStringLiteral("/Morvane/Morvane.json")).isFile());
}

void tst_startup::init() {
    // A fresh settings folder for every test and row: Qt caches what it read per file.
    work_ = root_.path() + QStringLiteral("/t%1").arg(++serial_);
    config_ = work_ + QStringLiteral("/config");
    files_ = work_ + QStringLiteral("/files");
    QVERIFY(QDir().mkpath(config_));
    QVERIFY(QDir().mkpath(files_));
    QSettings::setPath(settingsFormat(), QSettings::UserScope, config_);
    QCOMPARE(SettingsStore().fileName(), settingsFile());
}

void tst_startup::firstRunShowsDefaults() {
    frmMain form;
    StderrCapture err;
    Form_Load(form, {});
    QCOMPARE(err.text(), QString());
    QVERIFY(showsDefaults(form));
    QVERIFY(!QFile::exists(settingsFile())); // starting writes nothing
}

void tst_startup::closeStoresAllFourAsText() {
    // Even untouched defaults are stored, every value as a text, an empty history too.
    frmMain form;
    Form_Load(form, {});
    QVERIFY(Form_Unload(form));
    const QJsonObject expected{{key::lastExtensions, QString()},
                               {key::lastExtension, QString()},
                               {key::leaveCopy, QStringLiteral("0")},
                               {key::lastFile, QString()}};
    QCOMPARE(stored(), expected);
    for (const QJsonValue& value : stored())
        QVERIFY(value.isString());
}

void tst_startup::history_data() {
    QTest::addColumn<QStringList>("atClose");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("atNextStart");

    QTest::newRow("three entries")
        << QStringList{"txt", "md", "jpg"} << QStringLiteral("txt¡md¡jpg")
        << QStringList{"txt", "md", "jpg"};
    QTest::newRow("twelve keep the top ten")
        << numbered(12) << numbered(10).join(sep) << numbered(10);
    QTest::newRow("empty entry inside") << QStringList{"txt", "", "md"} << QStringLiteral("txt¡¡md")
                                        << QStringList{"txt", "", "md"};
    QTest::newRow("empty top entry leaves nothing")
        << QStringList{"", "txt"} << QStringLiteral("txt") << QStringList{"txt"};
    QTest::newRow("empty entries at top and end")
        << QStringList{"", "", "txt", ""} << QStringLiteral("txt¡") << QStringList{"txt", ""};
    QTest::newRow("empty top entry counts toward ten")
        << (QStringList{""} + numbered(10)) << numbered(9).join(sep) << numbered(9);
    QTest::newRow("entry holding the separator")
        << QStringList{"a¡b"} << QStringLiteral("a¡b") << QStringList{"a", "b"};
    QTest::newRow("no entries") << QStringList{} << QString() << QStringList{};
}

void tst_startup::history() {
    QFETCH(QStringList, atClose);
    QFETCH(QString, text);
    QFETCH(QStringList, atNextStart);

    QCOMPARE(joinHistory(atClose), text);
    QCOMPARE(splitHistory(text), atNextStart);

    // The same through a real close and start.
    {
        frmMain form;
        form.cboNewExtension->addItems(atClose);
        QVERIFY(Form_Unload(form));
    }
    const QJsonValue value = stored().value(key::lastExtensions);
    QVERIFY2(value.isString(), "the history is stored even when empty");
    QCOMPARE(value.toString(), text);
    frmMain next;
    Form_Load(next, {});
    QCOMPARE(items(next.cboNewExtension), atNextStart);
}

void tst_startup::storedHistory_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<QString>("storedAtClose");

    QTest::newRow("fifteen load, ten kept")
        << numbered(15).join(sep) << numbered(15) << numbered(10).join(sep);
    QTest::newRow("middle empty") << QStringLiteral("txt¡¡md") << QStringList{"txt", "", "md"}
                                  << QStringLiteral("txt¡¡md");
    QTest::newRow("separators only")
        << QStringLiteral("¡¡") << QStringList{"", "", ""} << QString();
    QTest::newRow("empty") << QString() << QStringList{} << QString();
}

void tst_startup::storedHistory() {
    QFETCH(QString, text);
    QFETCH(QStringList, loaded);
    QFETCH(QString, storedAtClose);

    QVERIFY(store({{key::lastExtensions, text}}));
    frmMain form;
    Form_Load(form, {});
    QCOMPARE(items(form.cboNewExtension), loaded);
    QVERIFY(Form_Unload(form));
    QCOMPARE(stored().value(key::lastExtensions), QJsonValue(storedAtClose));
}

void tst_startup::valuesComeBackAfterClose_data() {
    QTest::addColumn<bool>("byExit");
    QTest::newRow("Exit button") << true;
    QTest::newRow("window closed") << false;
}

void tst_startup::valuesComeBackAfterClose() {
    QFETCH(bool, byExit);
    // Quotes, a backslash and non-ASCII letters must survive the JSON file.
    const QString file = makeFile(QStringLiteral(R"(my "report" \ ü.draft)"));
    QVERIFY(!file.isEmpty());
    const Values values{{"txt", "md", "tär"}, QStringLiteral("bäk"), true, file};
    {
        frmMain form;
        int unloads = 0;
        bool saved = false;
        connect(&form, &frmMain::unloading, &form, [&] {
            ++unloads;
            saved = Form_Unload(form);
        });
        Form_Load(form, {});
        values.putInto(form);
        if (byExit)
            form.cmdCancel->click();
        else
            QVERIFY(form.close());
        QCOMPARE(unloads, 1);
        QVERIFY(saved);
    }
    frmMain next;
    Form_Load(next, {});
    QVERIFY(values.shownBy(next));
    QCOMPARE(next.txtExtension->text(), QStringLiteral("draft"));
    QVERIFY(next.cmdChange->isEnabled());
}

void tst_startup::restoredFileIsChecked_data() {
    QTest::addColumn<QString>("between"); // what happens to the file between the runs
    QTest::addColumn<QString>("extension");
    QTest::addColumn<bool>("changeEnabled");

    QTest::newRow("kept") << "kept"
                          << "txt" << true;
    QTest::newRow("deleted") << "deleted"
                             << "" << false;
    QTest::newRow("replaced by a folder") << "folder"
                                          << "" << false;
}

void tst_startup::restoredFileIsChecked() {
    QFETCH(QString, between);
    const QString file = makeFile(QStringLiteral("notes.old.txt"));
    {
        frmMain form;
        form.txtFile->setText(file);
        QVERIFY(Form_Unload(form));
    }
    if (between != QLatin1String("kept")) QVERIFY(QFile::remove(file));
    if (between == QLatin1String("folder")) QVERIFY(QDir().mkdir(file));
    frmMain next;
    Form_Load(next, {});
    QCOMPARE(next.txtFile->text(), file);
    QTEST(next.txtExtension->text(), "extension");
    QTEST(next.cmdChange->isEnabled(), "changeEnabled");
}

void tst_startup::lastExtensionIsOnlyTheEditText_data() {
    QTest::addColumn<QJsonValue>("last");
    QTest::addColumn<QString>("shown");

    QTest::newRow("second entry") << QJsonValue("md") << "md";
    QTest::newRow("not in the list") << QJsonValue("zip") << "zip";
    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << "";
}

void tst_startup::lastExtensionIsOnlyTheEditText() {
    QFETCH(QJsonValue, last);
    QJsonObject general{{key::lastExtensions, QStringLiteral("txt¡md")}};
    if (!last.isUndefined()) general.insert(key::lastExtension, last);
    QVERIFY(store(general));
    frmMain form;
    Form_Load(form, {});
    QTEST(form.cboNewExtension->currentText(), "shown");
    // The list is neither searched nor extended.
    QCOMPARE(items(form.cboNewExtension), (QStringList{"txt", "md"}));
    QCOMPARE(form.cboNewExtension->currentIndex(), 0);
}

void tst_startup::leaveCopy_data() {
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<bool>("tickedBefore");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("warned");

    const QJsonValue absent(QJsonValue::Undefined);
    QTest::newRow("0") << QJsonValue("0") << false << false << false;
    QTest::newRow("1") << QJsonValue("1") << false << true << false;
    QTest::newRow("0 unticks") << QJsonValue("0") << true << false << false;
    QTest::newRow("absent keeps unticked") << absent << false << false << false;
    QTest::newRow("absent keeps ticked") << absent << true << true << false;
    QTest::newRow("hand-written number 1") << QJsonValue(1) << false << true << false;
    QTest::newRow("yes") << QJsonValue("yes") << false << false << true;
    QTest::newRow("2") << QJsonValue("2") << false << false << true;
    QTest::newRow("empty") << QJsonValue("") << false << false << true;
    QTest::newRow("true") << QJsonValue(true) << false << false << true;
}

void tst_startup::leaveCopy() {
    QFETCH(QJsonValue, value);
    QFETCH(bool, tickedBefore);
    QFETCH(bool, warned);

    const QString file = makeFile(QStringLiteral("a.txt"));
    QJsonObject general{{key::lastFile, file}, {key::lastExtension, QStringLiteral("md")}};
    if (!value.isUndefined()) general.insert(key::leaveCopy, value);
    QVERIFY(store(general));

    frmMain form;
    form.chkLeaveCopy->setChecked(tickedBefore);
    StderrCapture err;
    Form_Load(form, {});
    const QString text = err.text();
    QTEST(form.chkLeaveCopy->isChecked(), "ticked");
    // A bad value stops nothing that follows it.
    QCOMPARE(form.txtFile->text(), file);
    QCOMPARE(form.txtExtension->text(), QStringLiteral("txt"));
    QCOMPARE(form.cboNewExtension->currentText(), QStringLiteral("md"));
    if (!warned) {
        QCOMPARE(text, QString());
        return;
    }
    QCOMPARE(text.count(QLatin1Char('\n')), 1);
    QVERIFY2(text.endsWith(QLatin1Char('\n')), qPrintable(text));
    QVERIFY2(text.contains(key::leaveCopy), qPrintable(text));
    const QString shown = QLatin1Char('"') + value.toVariant().toString() + QLatin1Char('"');
    QVERIFY2(text.contains(shown), qPrintable(text));

    frmMain withArgument;
    StderrCapture quiet; // the same warning again
    Form_Load(withArgument, QStringLiteral("\"/elsewhere/b.md\""));
    QCOMPARE(withArgument.txtFile->text(), QStringLiteral("/elsewhere/b.md"));
}

void tst_startup::unusableFile_data() {
    QTest::addColumn<QByteArray>("content"); // empty: a folder takes the file's place
    QTest::addColumn<bool>("spoiltWhileRunning");
    QTest::addColumn<bool>("replacedAtClose");

    const QByteArray good =
        QJsonDocument(QJsonObject{{"General", QJsonObject{{key::lastFile, "/a/b.txt"}}}}).toJson();
    QTest::newRow("not JSON") << QByteArray("{not json") << false << true;
    QTest::newRow("JSON array") << QByteArray(R"(["txt", "md"])") << false << true;
    QTest::newRow("cut short") << good.left(good.size() / 2) << false << true;
    QTest::newRow("binary") << QByteArray("\xff\xfe\x00\x01\x80", 5) << false << true;
    QTest::newRow("spoilt while running") << QByteArray("{not json") << true << true;
    QTest::newRow("folder in its place") << QByteArray() << false << false;
}

void tst_startup::unusableFile() {
    QFETCH(QByteArray, content);
    QFETCH(bool, spoiltWhileRunning);
    QFETCH(bool, replacedAtClose);

    const auto spoil = [&] {
        return content.isEmpty() ? QDir().mkpath(settingsFile())
                                 : writeBytes(settingsFile(), content);
    };
    if (!spoiltWhileRunning) QVERIFY(spoil());

    frmMain form;
    {
        StderrCapture err;
        Form_Load(form, {});
        const QString text = err.text();
        QVERIFY(showsDefaults(form));
        if (spoiltWhileRunning) {
            QCOMPARE(text, QString());
            QVERIFY(spoil());
        } else {
            QCOMPARE(text.count(QLatin1Char('\n')), 1);
            QVERIFY2(text.contains(settingsFile()), qPrintable(text));
        }
    }

    const Values values{{"txt", "md"}, QStringLiteral("md"), true, QStringLiteral("/x/y.z")};
    values.putInto(form);
    StderrCapture err;
    const bool saved = Form_Unload(form);
    const QString text = err.text();
    if (!replacedAtClose) {
        QVERIFY(!saved);
        QCOMPARE(text.count(QLatin1Char('\n')), 1);
        QVERIFY(QFileInfo(settingsFile()).isDir());
        return;
    }
    QCOMPARE(stored().value(key::lastFile), QJsonValue(values.file));
    QVERIFY2(saved,
             qPrintable(QStringLiteral("the file was replaced, yet the close reported: ") + text));
    QCOMPARE(text, QString());
    frmMain next;
    Form_Load(next, {});
    QVERIFY(values.shownBy(next));
}

void tst_startup::unreadableFile_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("write only") << 0200;
    QTest::newRow("no permission") << 0000;
}

void tst_startup::unreadableFile() {
    // Root reads any file, so the runs happen in children that drop to "nobody".
    QFETCH(int, mode);
    if (::geteuid() != 0) QSKIP("handing the settings folder to another user needs root");
    const uid_t nobody = 65534;
    const QByteArray folder = QFile::encodeName(QFileInfo(settingsFile()).absolutePath());
    const QByteArray path = QFile::encodeName(settingsFile());
    QVERIFY(store({{key::lastFile, QStringLiteral("/old/one.txt")}}));
    QVERIFY(::chmod(QFile::encodeName(root_.path()).constData(), 0711) == 0);
    QVERIFY(::chown(folder.constData(), nobody, nobody) == 0);
    QVERIFY(::chown(path.constData(), nobody, nobody) == 0);
    QVERIFY(::chmod(path.constData(), mode_t(mode)) == 0);
    const auto asNobody = [&] {
        return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
    };

    const Values values{{"txt"}, QStringLiteral("txt"), true, QStringLiteral("/new/two.md")};
    frmMain form;
    const ChildEnd run = runInChild([&] {
        if (!asNobody()) return 20;
        Form_Load(form, {});
        if (!showsDefaults(form)) return 10;
        values.putInto(form);
        return Form_Unload(form) ? 0 : 1;
    });
    QCOMPARE(run.signal, 0);
    QVERIFY2(run.exitCode != 20, "could not become nobody");
    QVERIFY2(run.exitCode != 10, "an unreadable file must start with the defaults");
    QVERIFY2(run.err.section(QLatin1Char('\n'), 0, 0).contains(settingsFile()),
             qPrintable(run.err));
    QVERIFY2(run.exitCode == 0,
             qPrintable(QStringLiteral("the close did not replace the file: ") + run.err));
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);

    frmMain next;
    const ChildEnd again = runInChild([&] {
        if (!asNobody()) return 20;
        Form_Load(next, {});
        return values.shownBy(next) ? 0 : 1;
    });
    QVERIFY2(again.exitCode == 0,
             qPrintable(QStringLiteral("the next start did not restore the values: ") + again.err));
    QCOMPARE(again.err, QString());
}

void tst_startup::unwritableDisk_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("previous"); // whether an earlier close stored a file

    QTest::newRow("full") << "full" << true;
    QTest::newRow("one page left") << "page" << true; // the lock file fits, the settings do not
    QTest::newRow("read-only") << "readonly" << true;
    QTest::newRow("full at the first close") << "full" << false;
}

void tst_startup::unwritableDisk() {
    QFETCH(QString, fault);
    QFETCH(bool, previous);
    SmallDisk disk(config_);
    if (!disk.mounted())
        QSKIP(qPrintable(QStringLiteral("mounting a tmpfs was refused: ") + disk.why()));
    if (previous) {
        frmMain first;
        Values{{"txt"}, QStringLiteral("txt"), false, QStringLiteral("/a/b.txt")}.putInto(first);
        QVERIFY(Form_Unload(first));
    }
    const QByteArray before = bytesOf(settingsFile());
    QCOMPARE(before.isEmpty(), !previous);
    if (fault == QLatin1String("readonly"))
        QVERIFY(disk.makeReadOnly());
    else
        QVERIFY(disk.fill(fault == QLatin1String("page") ? 4096 : 0));

    frmMain form;
    bool saved = true;
    connect(&form, &frmMain::unloading, &form, [&] { saved = Form_Unload(form); });
    Form_Load(form, {});
    Values{{"md", "jpg"}, QStringLiteral("jpg"), true, QString(300, QLatin1Char('p'))}.putInto(
        form);
    StderrCapture err;
    QVERIFY2(form.close(), "the close must go ahead");
    const QString text = err.text();
    QVERIFY(!saved);
    QCOMPARE(text.count(QLatin1Char('\n')), 1);
    QVERIFY2(text.contains(settingsFile()), qPrintable(text));
    QCOMPARE(bytesOf(settingsFile()), before);
    QCOMPARE(QFile::exists(settingsFile()), previous);
    QCOMPARE(debris(), QStringList());
}

void tst_startup::fileSizeLimit() {
    {
        frmMain first;
        Values{{"txt"}, QStringLiteral("txt"), false, QStringLiteral("/a/b.txt")}.putInto(first);
        QVERIFY(Form_Unload(first));
    }
    const QByteArray before = bytesOf(settingsFile());
    frmMain form;
    // Larger than the limit; the lock file beside it stays under.
    Values{{"md"}, QStringLiteral("md"), true, QString(4000, QLatin1Char('p'))}.putInto(form);
    const ChildEnd run = runInChild([&] {
        ignoreFileSizeSignal(); // as the program does at start
        const rlimit limit{1024, RLIM_INFINITY};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 20;
        return Form_Unload(form) ? 0 : 1;
    });
    QVERIFY2(run.signal == 0, "the size limit ended the program");
    QVERIFY(run.exitCode != 20);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    QVERIFY2(run.err.contains(settingsFile()), qPrintable(run.err));
    QCOMPARE(bytesOf(settingsFile()), before);
    QCOMPARE(debris(), QStringList());
}

void tst_startup::commandLine_data() {
    QTest::addColumn<QStringList>("arguments"); // after the program's name; @ is a folder
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fileBox");
    QTest::addColumn<QString>("extension");

    const QString remembered = QStringLiteral("@/remembered.txt");
    QTest::newRow("quoted path") << QStringList{R"("/tmp/x/report.txt")"}
                                 << R"("/tmp/x/report.txt")"
                                 << "/tmp/x/report.txt"
                                 << "";
    QTest::newRow("spaces across arguments")
        << QStringList{"@/my", "report.draft"} << "@/my report.draft"
        << "@/my report.draft"
        << "draft";
    QTest::newRow("two quoted paths") << QStringList{R"("a")", R"("b")"} << R"("a" "b")"
                                      << R"(a" "b)"
                                      << "";
    QTest::newRow("only quotes") << QStringList{R"(""")"} << R"(""")"
                                 << ""
                                 << "";
    QTest::newRow("option-like name") << QStringList{"-style"} << "-style"
                                      << "-style"
                                      << "";
    QTest::newRow("non-ASCII name") << QStringList{"/tmp/größe.txt"} << "/tmp/größe.txt"
                                    << "/tmp/größe.txt"
                                    << "";
    QTest::newRow("no argument") << QStringList{} << "" << remembered << "txt";
}

void tst_startup::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, text);
    QFETCH(QString, fileBox);
    const auto here = [this](QString s) { return s.replace(QLatin1Char('@'), files_); };
    QVERIFY(!makeFile(QStringLiteral("remembered.txt")).isEmpty());
    QVERIFY(!makeFile(QStringLiteral("my report.draft")).isEmpty());

    QByteArrayList encoded{"morvane"};
    for (const QString& argument : arguments)
        encoded.append(QFile::encodeName(here(argument)));
    std::vector<char*> argv;
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QString commandLine = commandLineText(int(encoded.size()), argv.data());
    QCOMPARE(commandLine, here(text));

    QVERIFY(store({{key::lastFile, here(QStringLiteral("@/remembered.txt"))}}));
    frmMain form;
    Form_Load(form, commandLine);
    QCOMPARE(form.txtFile->text(), here(fileBox));
    QTEST(form.txtExtension->text(), "extension");
    // What the command line put in the box is what the close remembers.
    QVERIFY(Form_Unload(form));
    QCOMPARE(stored().value(key::lastFile), QJsonValue(here(fileBox)));
}

void tst_startup::realProgramKeepsArgumentsFromQt() {
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/startup/morvane");
    if (!QFileInfo(program).isExecutable()) QSKIP("the program is not built next to the tests");
    QVERIFY(writeBytes(files_ + QStringLiteral("/-style"), "data"));
    QVERIFY(writeBytes(settingsFile(), "{not json"));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_);
    env.remove(QStringLiteral("QT_STYLE_OVERRIDE"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(files_);
    // Were these handed to Qt, it would report the unknown style on standard error.
    process.start(program, {QStringLiteral("-style"), QStringLiteral("nosuchstyle")});
    QVERIFY(process.waitForStarted());
    QVERIFY2(!process.waitForFinished(800), "the program ended at start");
    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(!err.contains(QLatin1String("nosuchstyle")), qPrintable(err));
    // The unreadable settings were reported and the program ran on.
    QVERIFY2(err.contains(settingsFile()), qPrintable(err));
}

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
