// The Change button's operation on real folders, with the prompts answered by script.
#include "conversation.h"
#include "faultdisk.h"
#include "filesystem.h"
#include "journal.h"
#include "language.h"
#include "scriptedbox.h"
#include "statusfails.h"
#include "strictskip.h"
#include "testfiles.h"
#include "testwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace morvane;

Q_DECLARE_METATYPE(ChangeEnd)

namespace {

// "name=content" for files, "name/" for folders, sorted; hidden entries included.
QStringList snapshot(const QString& dir) {
    QStringList out;
    const auto infos = QDir(dir).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : infos) {
        if (info.isDir()) {
            out.append(info.fileName() + '/');
        } else {
            QFile f(info.filePath());
            f.open(QIODevice::ReadOnly);
            out.append(info.fileName() + '=' + QString::fromUtf8(f.readAll()));
        }
    }
    return out;
}

// Each file holds its own name, so a move shows in the content.
void makeFiles(const QString& dir, const QStringList& names) {
    for (const QString& name : names) {
        if (name.endsWith('/'))
            QDir(dir).mkdir(name.chopped(1));
        else
            write(dir + '/' + name, name.toUtf8());
    }
}

const QString complete = QStringLiteral("Conversion complete. ");
const QString noneChanged = QStringLiteral("No file extensions changed.");
QString error17() {
    return QStringLiteral("Error 17: File exists");
}
QString prompt(const QString& target) {
    return "The destination file '" + target + "' already exisits, overwrite?";
}

} // namespace

class tst_extensionchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        isolateUserFolders();
        useLanguage(QLocale(QLocale::English)); // as the program does: its English singulars
    }
    void runs_data();
    void runs();
    void takenAfterListing_data();
    void takenAfterListing();
    void refusedInTheMiddle();
    void largeFolderHasNoCountLimit();
    void buttonTidiesAndRecords_data();
    void buttonTidiesAndRecords();
    void buttonRefusesSeparator();
    void declinedSingleFileEndsSilently();
    void realMessageBoxes();
    void cancelled_data();
    void cancelled();
    void runOnItsThread_data();
    void runOnItsThread();
    void closedAtQuestion();
    void folderSwappedAtQuestion_data();
    void folderSwappedAtQuestion();
    void undoSaysSo();
    void undo_data();
    void undo();
    void undoFromTheWindow();
    void undoInWindows_data();
    void undoInWindows();
};

void tst_extensionchange::runs_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("named"); // "./": typed bare, relative to the current folder
    QTest::addColumn<QString>("newExt");
    QTest::addColumn<bool>("allInFolder");
    QTest::addColumn<bool>("leaveCopy");
    QTest::addColumn<QStringList>("declined"); // targets answered No
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("messages"); // "{d}" stands for the folder
    QTest::addColumn<ChangeEnd>("end");

    QTest::newRow("single rename")
        << QStringList{"report.txt"} << "report.txt"
        << "md" << false << false << QStringList{} << QStringList{"report.md=report.txt"}
        << QStringList{complete} << ChangeEnd::Completed;
    QTest::newRow("single rename, empty new extension")
        << QStringList{"report.txt"} << "report.txt"
        << "" << false << false << QStringList{} << QStringList{"report=report.txt"}
        << QStringList{complete} << ChangeEnd::Completed;
    QTest::newRow("single rename, name without extension")
        << QStringList{"README"} << "README"
        << "txt" << false << false << QStringList{} << QStringList{"README.txt=README"}
        << QStringList{complete} << ChangeEnd::Completed;
    QTest::newRow("single rename, bare name in the current folder")
        << QStringList{"README"} << "./README"
        << "md" << false << false << QStringList{} << QStringList{"README.md=README"}
        << QStringList{complete} << ChangeEnd::Completed;
    QTest::newRow("single copy") << QStringList{"report.txt"} << "report.txt"
                                 << "md" << false << true << QStringList{}
                                 << QStringList{"report.md=report.txt", "report.txt=report.txt"}
                                 << QStringList{complete} << ChangeEnd::Completed;
    QTest::newRow("single, existing target, Yes replaces it")
        << QStringList{"report.txt", "report.md"} << "report.txt"
        << "md" << false << false << QStringList{} << QStringList{"report.md=report.txt"}
        << QStringList{prompt("{d}report.md"), complete} << ChangeEnd::Completed;
    QTest::newRow("single copy, existing target, Yes replaces it")
        << QStringList{"report.txt", "report.md"} << "report.txt"
        << "md" << false << true << QStringList{}
        << QStringList{"report.md=report.txt", "report.txt=report.txt"}
        << QStringList{prompt("{d}report.md"), complete} << ChangeEnd::Completed;
    QTest::newRow("single, existing target, No")
        << QStringList{"report.txt", "report.md"} << "report.txt"
        << "md" << false << false << QStringList{"report.md"}
        << QStringList{"report.md=report.md", "report.txt=report.txt"}
        << QStringList{prompt("{d}report.md")} << ChangeEnd::Declined;
    QTest::newRow("txt to txt, Yes, rename")
        << QStringList{"a.txt"} << "a.txt"
        << "txt" << false << false << QStringList{} << QStringList{"a.txt=a.txt"}
        << QStringList{prompt("{d}a.txt"), complete} << ChangeEnd::Completed;
    QTest::newRow("txt to txt, Yes, copy")
        << QStringList{"a.txt"} << "a.txt"
        << "txt" << false << true << QStringList{} << QStringList{"a.txt=a.txt"}
        << QStringList{prompt("{d}a.txt"), complete} << ChangeEnd::Completed;
    QTest::newRow("case only on a case-sensitive system copies for real")
        << QStringList{"x.TXT"} << "x.TXT"
        << "txt" << false << true << QStringList{} << QStringList{"x.TXT=x.TXT", "x.txt=x.TXT"}
        << QStringList{complete} << ChangeEnd::Completed;
    QTest::newRow("hidden target is never replaced")
        << QStringList{".txt", ".md"} << ".txt"
        << "md" << false << false << QStringList{} << QStringList{".md=.md", ".txt=.txt"}
        << QStringList{"Error 17: File exists"} << ChangeEnd::Failed;

    QTest::newRow("folder: other extensions untouched")
        << QStringList{"a.txt", "b.txt", "c.log"} << "a.txt"
        << "md" << true << false << QStringList{}
        << QStringList{"a.md=a.txt", "b.md=b.txt", "c.log=c.log"}
        << QStringList{complete + "2 file extensions changed."} << ChangeEnd::Completed;
    QTest::newRow("folder: No to one of three existing targets")
        << QStringList{"a.txt", "b.txt", "c.txt", "a.md", "b.md", "c.md"} << "a.txt"
        << "md" << true << false << QStringList{"b.md"}
        << QStringList{"a.md=a.txt", "b.md=b.md", "b.txt=b.txt", "c.md=c.txt"}
        << QStringList{"?", "?", "?", complete + "2 file extensions changed."}
        << ChangeEnd::Completed;
    QTest::newRow("folder: No to every prompt")
        << QStringList{"a.txt", "a.md"} << "a.txt"
        << "md" << true << false << QStringList{"a.md"} << QStringList{"a.md=a.md", "a.txt=a.txt"}
        << QStringList{prompt("{d}a.md"), noneChanged} << ChangeEnd::NothingChanged;
    QTest::newRow("folder copy counts nothing")
        << QStringList{"a.txt", "b.txt"} << "a.txt"
        << "md" << true << true << QStringList{}
        << QStringList{"a.md=a.txt", "a.txt=a.txt", "b.md=b.txt", "b.txt=b.txt"}
        << QStringList{noneChanged} << ChangeEnd::NothingChanged;
    QTest::newRow("folder: a name holding a comma is one file")
        << QStringList{"x,y.txt", "a.txt"} << "a.txt"
        << "md" << true << false << QStringList{} << QStringList{"a.md=a.txt", "x,y.md=x,y.txt"}
        << QStringList{complete + "2 file extensions changed."} << ChangeEnd::Completed;
    QTest::newRow("folder: names without extension")
        << QStringList{"README", "NOTES", "a.txt"} << "README"
        << "md" << true << false << QStringList{}
        << QStringList{"NOTES.md=NOTES", "README.md=README", "a.txt=a.txt"}
        << QStringList{complete + "2 file extensions changed."} << ChangeEnd::Completed;
    QTest::newRow("folder: case-sensitive, hidden files and folders left alone")
        << QStringList{"a.txt", "b.TXT", ".h.txt", "d.txt/"} << "a.txt"
        << "md" << true << false << QStringList{}
        << QStringList{".h.txt=.h.txt", "a.md=a.txt", "b.TXT=b.TXT", "d.txt/"}
        << QStringList{complete + "1 file extensions changed."} << ChangeEnd::Completed;
    QTest::newRow("folder: files made by the run are not treated again")
        << QStringList{"a.txt", "b.txt"} << "a.txt"
        << "txt.txt" << true << false << QStringList{}
        << QStringList{"a.txt.txt=a.txt", "b.txt.txt=b.txt"}
        << QStringList{complete + "2 file extensions changed."} << ChangeEnd::Completed;
    QTest::newRow("folder: a pattern in the file box widens nothing")
        << QStringList{"report.txt", "report.tex", "README"} << "*.*"
        << "md" << true << false << QStringList{}
        << QStringList{"README=README", "report.tex=report.tex", "report.txt=report.txt"}
        << QStringList{noneChanged} << ChangeEnd::NothingChanged;
    QTest::newRow("folder: the named file vanished and nothing matches")
        << QStringList{"c.log"} << "a.txt"
        << "md" << true << false << QStringList{} << QStringList{"c.log=c.log"}
        << QStringList{noneChanged} << ChangeEnd::NothingChanged;
}

// Puts something at the second listed file's target just before the folder run renames or
// copies it, and keeps the listing order: {1}, {2}, {3} in the rows are the files in that order.
struct TakesName : NativeFileSystem {
    QString what;
    QStringList order;
    void take(const FolderFiles& files, qsizetype i, const char* to) {
        for (qsizetype k = order.size(); k < files.size(); ++k)
            order.append(QFileInfo(files.path(k)).completeBaseName());
        const QString target = files.folder() + QFile::decodeName(to);
        if (i == 1 && what == "folder") QDir().mkdir(target);
        if (i == 1 && what == "file") write(target, "new");
        if (i == 1 && what.startsWith("->"))
            QFile::link(what == "->{3}" ? files.path(2) : what.mid(2), target);
    }
    int renameIn(const FolderFiles& files, qsizetype i, const char* to) override {
        take(files, i, to);
        return NativeFileSystem::renameIn(files, i, to);
    }
    int copyIn(const FolderFiles& files, qsizetype i, const char* to, Progress& p) override {
        take(files, i, to);
        return NativeFileSystem::copyIn(files, i, to, p);
    }
};

void tst_extensionchange::takenAfterListing_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("last");
    const QStringList three{"{1}.md={1}.txt", "{2}.md={2}.txt", "{3}.md={3}.txt"};
    const QString error = error17();
    // A copy run keeps every original and goes on record, so that the journal's view of the
    // targets is what is trusted to be free.
    const QStringList kept{"{1}.txt={1}.txt", "{2}.txt={2}.txt", "{3}.txt={3}.txt"};
    QTest::newRow("copy: file, Yes")
        << "copy file" << true
        << QStringList{"{1}.md={1}.txt", "{2}.md={2}.txt", "{3}.md={3}.txt"} + kept << noneChanged;
    QTest::newRow("copy: file, No")
        << "copy file" << false
        << QStringList{"{1}.md={1}.txt", "{2}.md=new", "{3}.md={3}.txt"} + kept << noneChanged;
    QTest::newRow("copy: folder") << "copy folder" << true
                                  << QStringList{"{1}.md={1}.txt", "{2}.md/"} + kept << error;
    QTest::newRow("file, Yes") << "file" << true << three
                               << complete + "3 file extensions changed.";
    QTest::newRow("file, No") << "file" << false
                              << QStringList{"{1}.md={1}.txt", "{2}.md=new", "{2}.txt={2}.txt",
                                             "{3}.md={3}.txt"}
                              << complete + "2 file extensions changed.";
    QTest::newRow("link to a file, Yes")
        << "->{3}" << true << three << complete + "3 file extensions changed.";
    QTest::newRow("folder") << "folder" << true
                            << QStringList{"{1}.md={1}.txt", "{2}.md/", "{2}.txt={2}.txt",
                                           "{3}.txt={3}.txt"}
                            << error;
    QTest::newRow("dangling link")
        << "->gone" << true
        << QStringList{"{1}.md={1}.txt", "{2}.md=", "{2}.txt={2}.txt", "{3}.txt={3}.txt"} << error;
}

// A name taken after the listing is found by the rename itself, and then asked about or
// refused exactly as a name taken before.
void tst_extensionchange::takenAfterListing() {
    QFETCH(QString, what);
    QFETCH(bool, yes);
    QFETCH(QStringList, after);
    QFETCH(QString, last);
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    makeFiles(tmp.path(), {"a.txt", "b.txt", "c.txt"});
    TakesName fs;
    const bool copy = what.startsWith("copy ");
    fs.what = what.remove("copy ");
    ScriptedBox box;
    box.onPrompt = [&] {
        box.answers.insert(fs.order.value(1) + ".md", yes ? MessageBox::Yes : MessageBox::No);
    };
    QTemporaryDir state;
    FileJournal journal(state.path());
    changeAndReport({d + "a.txt", "txt", "md", true, copy}, fs, box, noProgress(),
                    copy ? &journal : nullptr);
    QCOMPARE(fs.order.size(), 3);
    for (QString& line : after)
        for (int k = 0; k < 3; ++k)
            line.replace(QString("{%1}").arg(k + 1), fs.order[k]);
    after.sort();
    QCOMPARE(snapshot(d), after);
    QStringList expected{last};
    if (last != error17()) expected.prepend(prompt(d + fs.order[1] + ".md"));
    QCOMPARE(box.texts(), expected);
}

void tst_extensionchange::runs() {
    QFETCH(QStringList, files);
    QFETCH(QString, named);
    QFETCH(QString, newExt);
    QFETCH(bool, allInFolder);
    QFETCH(bool, leaveCopy);
    QFETCH(QStringList, declined);
    QFETCH(QStringList, messages);
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    makeFiles(tmp.path(), files);

    ScriptedBox box;
    for (const QString& name : declined)
        box.answers.insert(name, MessageBox::No);
    NativeFileSystem fs;
    const QString saved = QDir::currentPath();
    const auto back = qScopeGuard([&] { QDir::setCurrent(saved); });
    const bool bare = named.startsWith("./");
    if (bare) QVERIFY(QDir::setCurrent(d));
    const QString typed = bare ? named.mid(2) : d + named;
    const ChangeRequest request{typed, extensionOfPath(named), newExt, allInFolder, leaveCopy};
    QTEST(changeAndReport(request, fs, box), "end");
    QTEST(snapshot(tmp.path()), "after");

    QStringList shown = box.texts();
    for (qsizetype i = 0; i < messages.size(); ++i) {
        messages[i].replace("{d}", d);
        if (messages[i] == "?" && i < shown.size())
            shown[i] = "?"; // prompts of a folder run come in listing order
    }
    QCOMPARE(shown, messages);
    for (const auto& s : std::as_const(box.shown)) {
        const bool error = s.prompt.startsWith("Error ");
        QCOMPARE(s.caption, error ? QString("Error") : QString("Morvane"));
        if (error) QCOMPARE(s.style, int(MessageBox::OkError));
    }
}

void tst_extensionchange::refusedInTheMiddle() {
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    makeFiles(tmp.path(), {"a.txt", "b.txt", "c.txt", "d.txt"});
    NativeFileSystem fs;
    // The file in the middle of the listing finds a folder where its target should go.
    const QStringList order = fs.listMatches(d, "*.txt");
    const qsizetype blocked = order.size() / 2;
    QVERIFY(QDir(d).mkdir(order[blocked].mid(d.size()).chopped(3) + "md"));
    QCOMPARE(fs.listMatches(d, "*.txt"), order);

    ScriptedBox box;
    const ChangeRequest request{d + "a.txt", "txt", "md", true, false};
    QCOMPARE(changeAndReport(request, fs, box), ChangeEnd::Failed);
    QCOMPARE(box.texts(), QStringList{"Error 17: File exists"});
    QCOMPARE(box.shown[0].caption, QString("Error"));
    // Everything before the refusal stays changed, the rest is untouched.
    for (qsizetype i = 0; i < order.size(); ++i) {
        const bool renamed = i < blocked;
        QCOMPARE(QFile::exists(order[i]), !renamed);
        QCOMPARE(QFileInfo(order[i].chopped(3) + "md").isFile(), renamed);
    }
    QVERIFY(QFileInfo(order[blocked].chopped(3) + "md").isDir());
}

void tst_extensionchange::largeFolderHasNoCountLimit() {
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    const int count = 40000;
    for (int i = 0; i < count; ++i) {
        QFile f(d + QString::number(i) + ".txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    ScriptedBox box;
    NativeFileSystem fs;
    QCOMPARE(changeAndReport({d + "0.txt", "txt", "md", true, false}, fs, box),
             ChangeEnd::Completed);
    QCOMPARE(box.texts(), QStringList{complete + "40000 file extensions changed."});
    QCOMPARE(QDir(d).entryList({"*.md"}, QDir::Files).size(), count);
    QCOMPARE(QDir(d).entryList({"*.txt"}, QDir::Files).size(), 0);
}

void tst_extensionchange::buttonTidiesAndRecords_data() {
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("comboText");
    QTest::addColumn<QStringList>("historyAfter");
    QTest::addColumn<QString>("target");
    QTest::newRow("leading dot") << QStringList{} << ".md"
                                 << "md" << QStringList{"md"} << "report.md";
    QTest::newRow("only the first dot") << QStringList{} << "..md"
                                        << ".md" << QStringList{".md"} << "report..md";
    QTest::newRow("case-sensitive history") << QStringList{"MD"} << "md"
                                            << "md" << QStringList{"md", "MD"} << "report.md";
    QTest::newRow("already in the list stays put")
        << QStringList{"a", "b", "c", "md", "e"} << "md"
        << "md" << QStringList{"a", "b", "c", "md", "e"} << "report.md";
    QTest::newRow("empty") << QStringList{"x"} << ""
                           << "" << QStringList{"x"} << "report";
    QTest::newRow("lone dot") << QStringList{"x"} << "."
                              << "" << QStringList{"x"} << "report";
}

void tst_extensionchange::buttonTidiesAndRecords() {
    QFETCH(QStringList, history);
    QFETCH(QString, typed);
    QTemporaryDir tmp;
    makeFiles(tmp.path(), {"report.txt"});
    ScriptedBox box;
    TestWindow form(&box);
    form.cboNewExtension->addItems(history);
    form.txtFile->setText(tmp.path() + "/report.txt");
    QVERIFY(form.cmdChange->isEnabled());
    QCOMPARE(form.txtExtension->text(), QString("txt"));
    form.cboNewExtension->setEditText(typed);

    form.cmdChange->click();
    QTRY_VERIFY(!form.isChanging());
    QTEST(form.cboNewExtension->currentText(), "comboText");
    QStringList items;
    for (int i = 0; i < form.cboNewExtension->count(); ++i)
        items.append(form.cboNewExtension->itemText(i));
    QTEST(items, "historyAfter");
    QFETCH(QString, target);
    QCOMPARE(snapshot(tmp.path()), QStringList{target + "=report.txt"});
    QCOMPARE(box.texts(), QStringList{complete});
    // The window looked at its path again: the file is gone from under it.
    QVERIFY(!form.cmdChange->isEnabled());
    QCOMPARE(form.txtExtension->text(), QString());
}

void tst_extensionchange::buttonRefusesSeparator() {
    QTemporaryDir tmp;
    makeFiles(tmp.path(), {"report.txt", "sub/"});
    ScriptedBox box;
    TestWindow form(&box);
    form.txtFile->setText(tmp.path() + "/report.txt");
    form.cboNewExtension->setEditText("./sub/x");
    form.cmdChange->click();
    QTRY_VERIFY(!form.isChanging());
    QCOMPARE(box.texts(),
             QStringList{"Error 22: Invalid argument: a new extension cannot hold \"/\""});
    QCOMPARE(box.shown[0].caption, QString("Error"));
    QCOMPARE(form.cboNewExtension->count(), 0);
    QCOMPARE(snapshot(tmp.path()), QStringList({"report.txt=report.txt", "sub/"}));
}

void tst_extensionchange::declinedSingleFileEndsSilently() {
    QTemporaryDir tmp;
    makeFiles(tmp.path(), {"report.txt", "report.md"});
    ScriptedBox box;
    box.answers.insert("report.md", MessageBox::No);
    // Removed while the question is open: only a re-examination of the path would notice.
    box.onPrompt = [&] { QFile::remove(tmp.path() + "/report.txt"); };
    TestWindow form(&box);
    form.txtFile->setText(tmp.path() + "/report.txt");
    form.cboNewExtension->setEditText("md");
    form.cmdChange->click();
    QTRY_VERIFY(!form.isChanging());
    QCOMPARE(box.shown.size(), 1);
    QCOMPARE(form.cboNewExtension->itemText(0), QString("md")); // recorded before the question
    QVERIFY(form.cmdChange->isEnabled());
    QCOMPARE(form.txtExtension->text(), QString("txt"));
}

void tst_extensionchange::realMessageBoxes() {
    // The real modal boxes, answered the way a user would: Esc on the question counts as No.
    QTemporaryDir tmp;
    makeFiles(tmp.path(), {"a.txt", "b.txt", "a.md", "b.md"});
    TestWindow form;
    form.show();
    form.txtFile->setText(tmp.path() + "/a.txt");
    form.cboNewExtension->setEditText("md");
    form.chkAllInFolder->setChecked(true);

    QStringList seen;
    int prompts = 0;
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, answer);
            return;
        }
        seen.append(box->windowTitle() + ": " + box->text());
        if (box->standardButtons() == (QMessageBox::Yes | QMessageBox::No)) {
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
            if (prompts++ == 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(QMessageBox::Yes)->click();
            QTimer::singleShot(10, answer);
        } else {
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            box->button(QMessageBox::Ok)->click();
        }
    };
    QTimer::singleShot(10, answer);
    form.cmdChange->click();
    QTRY_VERIFY(!form.isChanging());

    QCOMPARE(seen.size(), 3);
    QVERIFY(seen[0].startsWith("Morvane: The destination file '" + tmp.path()));
    QCOMPARE(seen[2], QString("Morvane: Conversion complete. 1 file extensions changed."));
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files).size(), 3); // one .txt declined, one moved
}

// Asks to stop once the run has reached a given point: a file number, a found name, a byte.
struct CancelAt : Progress {
    QString point; // "file", "found" or "byte"
    qint64 at = 0;
    mutable bool stop = false;
    qint64 files = 0;
    void reading(qint64 found) override { stop = stop || (point == "found" && found >= at); }
    void changing(qint64 number, qint64, const QString&) override {
        files = number;
        stop = stop || (point == "file" && number >= at);
    }
    void copying(qint64 done, qint64) override { stop = stop || (point == "byte" && done >= at); }
    bool cancelled() const override { return stop; }
};

void tst_extensionchange::cancelled_data() {
    QTest::addColumn<bool>("allInFolder");
    QTest::addColumn<bool>("leaveCopy");
    QTest::addColumn<QString>("point");
    QTest::addColumn<qint64>("at");
    QTest::addColumn<int>("renamed"); // of the five 1 MiB files, in listing order
    QTest::addColumn<QString>("message");
    const QString none = "Conversion cancelled. ";
    QTest::newRow("folder run after two files")
        << true << false << "file" << qint64(2) << 2 << none + "2 file extensions changed.";
    QTest::newRow("folder run while reading the folder")
        << true << false << "found" << qint64(3) << 0 << none;
    QTest::newRow("folder copy inside the first copy")
        << true << true << "byte" << qint64(1) << 0 << none;
    QTest::newRow("single copy inside the copy")
        << false << true << "byte" << qint64(1) << 0 << none;
}

void tst_extensionchange::cancelled() {
    QFETCH(bool, allInFolder);
    QFETCH(bool, leaveCopy);
    QFETCH(int, renamed);
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        write(d + name, QByteArray(1 << 20, *name));
    write(d + "c.md", "old target"); // replaced only by a copy that lands whole
    NativeFileSystem fs;
    const QStringList order = fs.listMatches(d, "*.txt");
    CancelAt progress;
    QFETCH(QString, point);
    progress.point = point;
    QFETCH(qint64, at);
    progress.at = at;
    ScriptedBox box;
    QCOMPARE(changeAndReport({d + "c.txt", "txt", "md", allInFolder, leaveCopy}, fs, box, progress),
             ChangeEnd::Cancelled);
    QTEST(box.texts().last(), "message");
    // The first files changed, the rest untouched; no file lost, no temporary file left.
    QStringList expected{"c.md"};
    for (qsizetype i = 0; i < order.size(); ++i)
        expected.append(order[i].mid(d.size()).chopped(3) + (i < renamed ? "md" : "txt"));
    expected.removeDuplicates();
    expected.sort();
    QCOMPARE(QDir(d).entryList(QDir::Files | QDir::Hidden), expected);
    const bool cReplaced = order.indexOf(d + "c.txt") < renamed;
    QCOMPARE(read(d + "c.md"), cReplaced ? QByteArray(1 << 20, 'c') : QByteArray("old target"));
}

// Every rename takes a while, as on a slow network share.
struct SlowFileSystem : NativeFileSystem {
    QString rename(const QString& from, const QString& to, const std::optional<FileId>& replacing,
                   const NoteReplacement& note) override {
        QThread::msleep(20);
        return NativeFileSystem::rename(from, to, replacing, note);
    }
    int renameIn(const FolderFiles& files, qsizetype i, const char* to) override {
        QThread::msleep(20);
        return NativeFileSystem::renameIn(files, i, to);
    }
};

// Sees every progress window that is shown.
struct ProgressWatch : QObject {
    bool shown = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        shown = shown || (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched));
        return false;
    }
};

void tst_extensionchange::runOnItsThread_data() {
    QTest::addColumn<QString>("act"); // what the user does once the progress window is up
    QTest::newRow("short run") << "";
    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("question over the progress window") << "question";
    QTest::newRow("window closed") << "close";
    QTest::newRow("Cancel, then Undo") << "undo"; // from the cancelled run's own box
}

void tst_extensionchange::runOnItsThread() {
    QFETCH(QString, act);
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    const int count = act.isEmpty() ? 1 : 40;
    for (int i = 0; i < count; ++i)
        write(d + QString("f%1.txt").arg(i, 2, 10, QChar('0')), "x");
    if (act == "question") write(d + "f30.md", "old");
    ScriptedBox box;
    SlowFileSystem fs;
    TestWindow form(&box, &fs);
    form.show();
    form.txtFile->setText(d + "f00.txt");
    form.cboNewExtension->setEditText("md");
    form.chkAllInFolder->setChecked(true);
    bool questionOverProgress = false;
    box.onPrompt = [&] {
        const auto* progress = form.findChild<QProgressDialog*>();
        questionOverProgress = progress && progress->isVisible();
    };
    ProgressWatch watch;
    qApp->installEventFilter(&watch);
    QSignalSpy unloading(&form, &frmMain::unloading);

    form.cmdChange->click();
    QProgressDialog* progress = nullptr;
    if (!act.isEmpty()) {
        QTRY_VERIFY((progress = form.findChild<QProgressDialog*>()) && progress->isVisible());
        QTRY_VERIFY(progress->labelText().startsWith("Changing file "));
        form.cmdChange->click(); // no second run meanwhile
    }
    if (act == "undo") box.closing = MessageBox::Undo;
    if (act == "cancel" || act == "undo") progress->findChild<QPushButton*>()->click();
    if (act == "Esc") QTest::keyClick(progress, Qt::Key_Escape);
    if (act == "close") QVERIFY(!form.close()); // not yet: once the run has stopped
    QTRY_VERIFY(!form.isChanging());
    qApp->removeEventFilter(&watch);
    QCOMPARE(watch.shown, !act.isEmpty());

    // Every file is there under one name or the other (f30.md replaced after Yes).
    const int changed = QDir(d).entryList({"*.md"}, QDir::Files).size();
    QCOMPARE(QDir(d).entryList(QDir::Files | QDir::Hidden).size(), count);
    if (act == "close") {
        QCOMPARE(box.texts(), QStringList()); // nothing shown after the close
        QCOMPARE(unloading.count(), 1);
        QVERIFY(!form.isVisible());
        QVERIFY(changed < count);
    } else if (act == "undo") {
        QCOMPARE(changed, 0);
        QVERIFY2(box.texts().last().startsWith("Undo complete. "), qPrintable(box.texts().last()));
    } else if (act == "cancel" || act == "Esc") {
        QVERIFY(changed > 0 && changed < count);
        QCOMPARE(box.texts(), QStringList{QString("Conversion cancelled. %1 file extensions "
                                                  "changed.")
                                              .arg(changed)});
    } else {
        QCOMPARE(changed, count);
        QCOMPARE(box.texts().last(), complete + QString("%1 file extensions changed.").arg(count));
        QCOMPARE(questionOverProgress, act == "question");
    }
}

// An undo's progress window says that it undoes.
void tst_extensionchange::undoSaysSo() {
    QTemporaryDir tmp;
    for (int i = 0; i < 40; ++i)
        write(tmp.path() + QString("/f%1.txt").arg(i, 2, 10, QChar('0')), "x");
    FileJournal journal(tmp.path() + "/state");
    ScriptedBox box;
    SlowFileSystem fs;
    TestWindow form(&box, &fs, &journal);
    form.txtFile->setText(tmp.path() + "/f00.txt");
    form.cboNewExtension->setEditText("md");
    form.chkAllInFolder->setChecked(true);
    form.cmdChange->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form.isChanging(), 20000);
    form.undoLastChange();
    QString label; // of the progress window, read while it is up
    const auto undoing = [&] {
        if (const auto* p = form.findChild<QProgressDialog*>(); p && p->isVisible())
            label = p->labelText();
        return label.startsWith("Undoing file ");
    };
    QTRY_VERIFY2(undoing(), qPrintable(label));
    QTRY_VERIFY_WITH_TIMEOUT(!form.isChanging(), 20000);
    QCOMPARE(box.texts().last(), QString("Undo complete. 40 files restored."));
}

void tst_extensionchange::folderSwappedAtQuestion_data() {
    QTest::addColumn<bool>("leaveCopy");
    QTest::addColumn<QStringList>("run"); // the run's folder, moved away at the question
    QTest::newRow("rename") << false << QStringList{"a.md=a.txt", "b.md=b.txt"};
    QTest::newRow("copy") << true
                          << QStringList{"a.md=a.txt", "a.txt=a.txt", "b.md=b.txt", "b.txt=b.txt"};
}

// A folder run acts in the folder it opened, also where it asks: a folder put in its place
// under its name at the question is left alone.
void tst_extensionchange::folderSwappedAtQuestion() {
    QFETCH(bool, leaveCopy);
    QTemporaryDir tmp;
    const QString d = tmp.path() + "/files", away = tmp.path() + "/away";
    QDir().mkpath(d);
    makeFiles(d, {"a.txt", "b.txt"});
    write(d + "/b.md", "old");
    ScriptedBox box;
    box.onPrompt = [&] {
        QVERIFY(QDir().rename(d, away));
        QDir().mkpath(d);
        makeFiles(d, {"b.txt", "b.md"});
    };
    NativeFileSystem fs;
    changeAndReport({d + "/a.txt", "txt", "md", true, leaveCopy}, fs, box, noProgress(), nullptr);
    QCOMPARE(box.texts().first(), overwriteQuestion(d + "/b.md").text);
    QTEST(snapshot(away), "run");
    QCOMPARE(snapshot(d), QStringList({"b.md=b.md", "b.txt=b.txt"}));
}

// The window closed just as the run comes to a question: it is not shown, and counts as No.
void tst_extensionchange::closedAtQuestion() {
    QTemporaryDir tmp;
    const QString d = tmp.path() + '/';
    makeFiles(tmp.path(), {"a.txt", "b.txt"});
    write(d + "b.md", "old");
    struct : NativeFileSystem {
        QWidget* window = nullptr;
        std::optional<FileId> probe(const QString& path) override {
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::BlockingQueuedConnection);
            return NativeFileSystem::probe(path);
        }
    } fs;
    ScriptedBox box;
    TestWindow form(&box, &fs);
    fs.window = &form;
    form.txtFile->setText(d + "b.txt");
    form.cboNewExtension->setEditText("md");
    form.cmdChange->click();
    QTRY_VERIFY(!form.isChanging());
    QCOMPARE(box.texts(), QStringList());
    QCOMPARE(read(d + "b.md"), QByteArray("old"));
    QVERIFY(QFile::exists(d + "b.txt"));
}

void tst_extensionchange::undo_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("allInFolder");
    QTest::addColumn<bool>("leaveCopy");
    QTest::addColumn<QString>(
        "meanwhile"); // between the change and its undo; "" undoes from the box
    QTest::addColumn<QStringList>("after"); // "" for the folder as it was before the change
    QTest::addColumn<QString>("message");
    const QStringList two{"a.txt", "b.txt", "c.log"};
    const auto row = [](const char* name, const QStringList& files, bool folder, bool copy,
                        const char* meanwhile, const QStringList& after, const QString& message) {
        QTest::newRow(name) << files << folder << copy << QString(meanwhile) << after << message;
    };
    row("folder rename", two, true, false, "", {}, "Undo complete. 2 files restored.");
    row("folder rename, Yes to two replacements", {"a.txt", "b.txt", "a.md", "b.md"}, true, false,
        "", {}, "Undo complete. 2 files restored.");
    row("single copy", {"a.txt"}, false, true, "", {}, "Undo complete. 1 file restored.");
    row("copy over an existing file", {"a.txt", "a.md"}, false, true, "", {},
        "Undo complete. 1 file restored.");
    row("after a restart", two, true, false, "restart", {}, "Undo complete. 2 files restored.");
    row("a file changed since", two, true, false, "b.md=edited",
        {"a.txt=a.txt", "b.md=edited", "c.log=c.log"},
        "Undo complete. 1 file restored; 1 left as it is because it changed since.");
    row("an old name taken since", two, true, false, "a.txt=new",
        {"a.md=a.txt", "a.txt=new", "b.txt=b.txt", "c.log=c.log"},
        "Undo complete. 1 file restored; 1 left as it is because it changed since.");
    // Undo never reaches past a change it has no record of, in this window or the next.
    row("journal on a full disk", two, true, false, "full",
        {"a.md=a.txt", "b.md=b.txt", "c.log=c.log"},
        "The last change could not be recorded, so it cannot be undone.");
    row("journal on a full disk, after a restart", two, true, false, "full restart",
        {"a.md=a.txt", "b.md=b.txt", "c.log=c.log"},
        "The last change could not be recorded, so it cannot be undone.");
    // Copies are not forced to the disk: a power failure can leave one empty, its time intact.
    row("a copy left empty by a power failure", two, true, true, "empty b.md", {},
        "Undo complete. 2 files restored.");
    row("a copy edited since", two, true, true, "b.md=edited",
        {"a.txt=a.txt", "b.md=edited", "b.txt=b.txt", "c.log=c.log"},
        "Undo complete. 1 file restored; 1 left as it is because it changed since.");
    row("a file cut short, its time set back", {"a.txt"}, false, false, "empty a.md", {"a.md="},
        "Undo complete. 0 files restored; 1 left as it is because it changed since.");
    // Dated 2031, and ten minutes ahead: clock skew, a camera, a network share.
    row("files dated ahead of the clock", {"a.txt", "b.txt", "c.txt"}, true, false,
        "before: future", {}, "Undo complete. 3 files restored.");
    row("a copied link", {"a.txt"}, false, true, "before: link", {},
        "Undo complete. 1 file restored.");
    row("a file whose status cannot be read", {"a.txt"}, false, false, "before: unknown",
        {"a.md=a.txt"}, "Conversion complete. ");
    row("Cancel during the undo", {"a.txt", "b.txt", "c.txt"}, true, false, "cancel", {"1 back"},
        "Undo cancelled. 1 file restored.");
    // The record stays until the folder is back.
    row("the folder moved away and back", two, true, false, "folder moved", {},
        "Undo complete. 2 files restored.");
    // A file already at a copy's target, declined, that looks just like the copy would.
    row("copy declined over a twin", {"a.txt", "b.txt"}, true, true, "twin", {},
        "Undo complete. 1 file restored.");
    // One file that cannot go back: the others still do, and it is named.
    row("a file that cannot go back", {"a.txt", "b.txt", "c.txt"}, true, false, "immutable b.md",
        {"a.txt=a.txt", "b.md=b.txt", "c.txt=c.txt"},
        "Undo complete. 2 files restored; 1 could not be put back: 'b.md' (Operation not "
        "permitted).");
    row("the replaced file emptied from the Trash", {"a.txt", "a.md"}, false, false,
        "Trash emptied", {"a.txt=a.txt"},
        "Undo complete. 1 file restored; the file that 'a.md' replaced is no longer in the "
        "Trash.");
    // FUSE and some overlays list inode numbers that no status call shows.
    row("folder listing its own inode numbers", two, true, false, "own inodes", {},
        "Undo complete. 2 files restored.");
    row("copies whose time the folder refuses", two, true, true, "times refused", {},
        "Undo complete. 2 files restored.");
    row("a copy whose time the folder refuses", {"a.txt", "a.md"}, false, true, "times refused", {},
        "Undo complete. 1 file restored.");
}

void tst_extensionchange::undo() {
    QFETCH(QStringList, files);
    QFETCH(bool, allInFolder);
    QFETCH(bool, leaveCopy);
    QFETCH(QString, meanwhile);
    QFETCH(QStringList, after);
    QTemporaryDir tmp;
    std::optional<FaultDisk> disk;
    if (meanwhile == "own inodes" || meanwhile == "times refused") {
        disk.emplace(tmp.path(),
                     QStringList{meanwhile == "own inodes" ? "--own-inodes" : "--utimens-errno=1"});
        if (!disk->mounted) QSKIP(qPrintable(disk->why));
    }
    const QString d = (disk ? disk->path : tmp.path()) + "/files" + '/';
    QDir().mkpath(d);
    makeFiles(d, files);
    const auto trashed = [] {
        return QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files")
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList trashedBefore = trashed();
    std::optional<SmallDisk> full;
    if (meanwhile.startsWith("full")) {
        full.emplace(tmp.path() + "/full", "64k");
        if (!full->mounted) MORVANE_SKIP("mounting a small tmpfs needs root");
        full->fill();
    }
    const QString journalPath = full ? full->path : tmp.path() + "/state";
    StatusFailsOnce fs; // as the change puts the file on record
    fs.fails = meanwhile == "before: unknown";
    ScriptedBox box;
    const auto setTime = [&](const QString& name, qint64 seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(d + name).constData(), times, 0), 0);
    };
    if (meanwhile == "before: future") {
        setTime("b.txt", 1954000000); // 2031
        setTime("c.txt", QDateTime::currentSecsSinceEpoch() + 600);
    }
    if (meanwhile == "before: link") {
        // Unlike the link itself in size and time.
        write(tmp.path() + "/elsewhere", QByteArray(300, 'x'));
        QVERIFY(QFile::remove(d + "a.txt") && QFile::link(tmp.path() + "/elsewhere", d + "a.txt"));
        setTime("../elsewhere", 1000000000);
    }
    if (meanwhile == "twin") {
        QVERIFY(QFile::copy(d + "a.txt", d + "a.md"));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(d + "a.txt").constData(), &st), 0);
        const timespec times[2] = {st.st_atim, st.st_mtim}; // to the nanosecond
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(d + "a.md").constData(), times, 0), 0);
        box.answers.insert("a.md", MessageBox::No);
    }
    const QStringList before = snapshot(d);
    const bool fromBox =
        meanwhile.isEmpty() || meanwhile == "twin" || meanwhile.startsWith("before: ");
    box.closing = fromBox && meanwhile != "before: unknown" ? MessageBox::Undo : MessageBox::Ok;
    auto journal = std::make_unique<FileJournal>(journalPath);
    changeAndReport({d + "a.txt", "txt", "md", allInFolder, leaveCopy}, fs, box, noProgress(),
                    journal.get());
    // The closing box offered Undo exactly when the journal could be written.
    const auto closing = std::find_if(box.shown.cbegin(), box.shown.cend(), [](const auto& b) {
        return b.style != MessageBox::YesNoWarning;
    });
    QCOMPARE(bool(closing->style & MessageBox::WithUndo), !full && meanwhile != "before: unknown");
    if (meanwhile.endsWith("restart")) journal = std::make_unique<FileJournal>(journalPath);
    if (meanwhile.contains('='))
        write(d + meanwhile.section('=', 0, 0), meanwhile.section('=', 1).toUtf8());
    if (meanwhile.startsWith("empty ")) {
        const QByteArray path = QFile::encodeName(d + meanwhile.section(' ', 1));
        struct stat st;
        QCOMPARE(::stat(path.constData(), &st), 0);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        QCOMPARE(::truncate(path.constData(), 0), 0);
        QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    }
    const auto immutable = [&](bool on) { // which the system refuses to rename, even for root
        return setImmutable(d + meanwhile.section(' ', 1), on);
    };
    if (meanwhile == "Trash emptied") {
        const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/";
        for (const QString& name : trashed())
            if (!trashedBefore.contains(name))
                QVERIFY(QFile::remove(trash + "files/" + name) &&
                        QFile::remove(trash + "info/" + name + ".trashinfo"));
    }
    const bool frozen = meanwhile.startsWith("immutable ");
    if (frozen && !immutable(true)) MORVANE_SKIP("making a file immutable needs root and ext4");
    struct : Progress { // cancels once the first file is back
        qint64 calls = 0;
        void changing(qint64, qint64, const QString&) override { ++calls; }
        bool cancelled() const override { return calls > 0; }
    } cancelling;
    if (meanwhile == "folder moved") {
        const QString away = tmp.path() + "/away";
        QVERIFY(QDir().rename(d, away));
        undoAndReport(fs, box, noProgress(), *journal);
        QCOMPARE(box.texts().last(),
                 QString("The folder '%1' is no longer there; nothing was undone.").arg(d));
        QCOMPARE(snapshot(away), QStringList({"a.md=a.txt", "b.md=b.txt", "c.log=c.log"}));
        QVERIFY(QDir().rename(away, d));
    }
    if (!fromBox)
        undoAndReport(fs, box, meanwhile == "cancel" ? cancelling : noProgress(), *journal);
    if (frozen) QVERIFY(immutable(false));
    if (after == QStringList{"1 back"}) // whichever the undo took first
        QCOMPARE(snapshot(d).filter(".txt=").size(), 1);
    else
        QCOMPARE(snapshot(d), after.isEmpty() ? before : after);
    QTEST(box.texts().last(), "message");
    // What the change put in the Trash has come back out of it.
    QCOMPARE(trashed(), trashedBefore);
}

void tst_extensionchange::undoFromTheWindow() {
    QTemporaryDir tmp;
    makeFiles(tmp.path(), {"a.txt"});
    FileJournal journal(tmp.path() + "/state");
    ScriptedBox box;
    TestWindow form(&box, nullptr, &journal);
    form.show();
    QApplication::setActiveWindow(&form);
    form.txtFile->setText(tmp.path() + "/a.txt");
    form.cboNewExtension->setEditText("md");
    form.cmdChange->click();
    QTRY_VERIFY(!form.isChanging());
    QCOMPARE(snapshot(tmp.path()), QStringList({"a.md=a.txt", "state/"}));

    // Ctrl+Z undoes the typing in the file box first, then the change.
    form.txtFile->setFocus();
    QTest::keyClick(form.txtFile, Qt::Key_X);
    QTest::keyClick(form.txtFile, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.txtFile->text(), tmp.path() + "/a.txt");
    QVERIFY(QFile::exists(tmp.path() + "/a.md"));
    QTest::keyClick(form.txtFile, Qt::Key_Z, Qt::ControlModifier);
    QTRY_VERIFY(!form.isChanging() && QFile::exists(tmp.path() + "/a.txt"));
    QCOMPARE(box.texts().last(), QString("Undo complete. 1 file restored."));
    QVERIFY(form.cmdChange->isEnabled()); // the window looked at its file again

    // A change cut short by a crash (of another window) is offered for undoing at the next
    // start.
    {
        FileJournal crashed(tmp.path() + "/state");
        QVERIFY(crashed.begin(tmp.path() + "/", 2));
        const FileId id = *NativeFileSystem().identify(tmp.path() + "/a.txt");
        QVERIFY(crashed.intend(
            {{JournalRecord::Rename, tmp.path() + "/a.txt", tmp.path() + "/a.md", id, {}, {}},
             {JournalRecord::Rename, tmp.path() + "/b.txt", tmp.path() + "/b.md", {}, {}, {}}}));
        QVERIFY(QFile::rename(tmp.path() + "/a.txt", tmp.path() + "/a.md"));
    }
    form.offerRecovery();
    QCOMPARE(box.shown.last().prompt,
             QString("The last change was interrupted after 1 of 2 files. Undo it?"));
    QCOMPARE(box.shown.last().style, int(MessageBox::YesNoQuestion));
    QTRY_VERIFY(!form.isChanging() && QFile::exists(tmp.path() + "/a.txt"));
    QVERIFY(!journal.load().present);
}

// Each window is a process of its own with its own journal on one state folder; here each is
// a window with a FileJournal of its own, whose locks are as separate as two processes'.
void tst_extensionchange::undoInWindows_data() {
    QTest::addColumn<QStringList>("steps"); // "<window> <file> <new extension> [no]", "<window>
                                            // undo", "running <file>", "read-only"
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("message"); // the last shown; "beep": none, a beep
    const QStringList abc{"a.txt=a.txt", "b.txt=b.txt", "c.txt=c.txt"};
    QTest::newRow("each window undoes its own change")
        << QStringList{"x a md", "y b md", "x undo"}
        << QStringList{"a.txt=a.txt", "b.md=b.txt", "c.txt=c.txt"}
        << "Undo complete. 1 file restored.";
    QTest::newRow("the other one too") << QStringList{"x a md", "y b md", "x undo", "y undo"} << abc
                                       << "Undo complete. 1 file restored.";
    QTest::newRow("a window that made no change undoes the newest")
        << QStringList{"x a md", "y b md", "z undo"}
        << QStringList{"a.md=a.txt", "b.txt=b.txt", "c.txt=c.txt"}
        << "Undo complete. 1 file restored.";
    QTest::newRow("never a change another window is running")
        << QStringList{"x a md", "running c", "z undo"}
        << QStringList{"a.txt=a.txt", "b.txt=b.txt", "c.md=c.txt"}
        << "Undo complete. 1 file restored.";
    QTest::newRow("a change that touched nothing is not the last")
        << QStringList{"x a md", "x b c no", "x undo"}
        << QStringList{"a.txt=a.txt", "b.c=b.c", "b.txt=b.txt", "c.txt=c.txt"}
        << "Undo complete. 1 file restored.";
    QTest::newRow("nor for the next window")
        << QStringList{"x a md", "x b c no", "z undo"}
        << QStringList{"a.txt=a.txt", "b.c=b.c", "b.txt=b.txt", "c.txt=c.txt"}
        << "Undo complete. 1 file restored.";
    QTest::newRow("nothing to undo") << QStringList{} << abc << "beep";
    QTest::newRow("undone already") << QStringList{"x a md", "x undo"} << abc << "beep";
    QTest::newRow("never past a change that could not be recorded")
        << QStringList{"x a md", "read-only", "x b doc", "x undo"}
        << QStringList{"a.md=a.txt", "b.doc=b.txt", "c.txt=c.txt"}
        << "The last change could not be recorded, so it cannot be undone.";
}

void tst_extensionchange::undoInWindows() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, after);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString d = tmp.path() + "/files/", state = tmp.path() + "/state";
    QVERIFY(QDir().mkpath(d) && QDir().mkpath(state));
    makeFiles(d, {"a.txt", "b.txt", "c.txt"});
    ScriptedBox box;
    std::map<QString, std::unique_ptr<FileJournal>> journals;
    std::map<QString, std::unique_ptr<TestWindow>> windows;
    const auto window = [&](const QString& name) {
        if (!windows[name]) {
            journals[name] = std::make_unique<FileJournal>(state);
            windows[name] = std::make_unique<TestWindow>(&box, nullptr, journals[name].get());
            windows[name]->show();
        }
        return windows[name].get();
    };
    FileJournal running(state); // another window's change, held until the test ends
    std::unique_ptr<QScopeGuard<std::function<void()>>> unmount;
    for (const QString& step : steps) {
        const QStringList w = step.split(' ');
        if (w[0] == "running") {
            QVERIFY(running.begin(d, 1));
            QVERIFY(running.intend({{JournalRecord::Rename,
                                     d + w[1] + ".txt",
                                     d + w[1] + ".md",
                                     *NativeFileSystem().identify(d + w[1] + ".txt"),
                                     {},
                                     {}}}));
            QVERIFY(QFile::rename(d + w[1] + ".txt", d + w[1] + ".md"));
            const qsizetype shown = box.shown.size();
            window("z")->offerRecovery(); // nothing to ask: a running window owns it
            QCOMPARE(box.shown.size(), shown);
        } else if (w[0] == "read-only") { // the state folder turns read-only
            const QByteArray at = QFile::encodeName(state);
            if (::mount(at, at, nullptr, MS_BIND, nullptr) != 0)
                MORVANE_SKIP("a bind mount needs root");
            unmount = std::make_unique<QScopeGuard<std::function<void()>>>(
                [at] { ::umount2(at, MNT_DETACH); });
            QVERIFY(::mount(at, at, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0);
        } else if (w[1] == "undo") {
            QTest::keyClick(window(w[0]), Qt::Key_Z, Qt::ControlModifier);
        } else {
            TestWindow* form = window(w[0]);
            if (w.value(3) == "no") {
                write(d + w[1] + "." + w[2], (w[1] + "." + w[2]).toUtf8());
                box.answers.insert(w[1] + "." + w[2], MessageBox::No);
            }
            form->txtFile->setText(d + w[1] + ".txt");
            form->cboNewExtension->setEditText(w[2]);
            form->cmdChange->click();
        }
        for (auto& [name, form] : windows)
            QTRY_VERIFY(!form->isChanging());
    }
    QCOMPARE(snapshot(d), after);
    if (message == "beep") { // and nothing else: no box, no file touched
        QSignalSpy beeps(window("x"), &frmMain::nothingToUndo);
        const qsizetype shown = box.shown.size();
        QTest::keyClick(window("x"), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(beeps.count(), 1);
        QCOMPARE(box.shown.size(), shown);
        QCOMPARE(snapshot(d), after);
    } else {
        QCOMPARE(box.texts().last(), message);
    }
}

QTEST_MAIN(tst_extensionchange)
#include "tst_extensionchange.moc"
