// The Open button: the general dialog function with a scripted component, the real
// widget dialog driven as a user would, and files dropped on the window.
#include "mdlDialog.h"
#include "testwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <limits>

using namespace morvane;

namespace {

// Like the classic component: a cancel throws only when asked to, and otherwise leaves the
// name chosen before in fileName.
struct ScriptedDialog : DialogComponent {
    QString choose; // empty: the user cancels
    int shows = 0, unloads = 0;
    bool cancelErrorAtShow = false;
    void showOpen() override {
        ++shows;
        cancelErrorAtShow = cancelError;
        if (choose.isEmpty() && cancelError) throw Failure{32755, "Cancel was selected."};
        if (!choose.isEmpty()) fileName = choose;
    }
    void unloadParent() override { ++unloads; }
};

// Answers the next modal file dialog with f once it shows.
void whenDialogShows(const std::function<void(QFileDialog*)>& f) {
    QTimer::singleShot(20, [f] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            f(dialog);
        else
            whenDialogShows(f);
    });
}

QStringList listedNames(QFileDialog* dialog) {
    QStringList names;
    auto* view = dialog->findChild<QListView*>("listView");
    if (!view || !view->model()) return names;
    const QModelIndex root = view->rootIndex();
    for (int r = 0; r < view->model()->rowCount(root); ++r)
        names.append(view->model()->index(r, 0, root).data().toString());
    return names;
}

// Drag data from another program: fetched anew on every question, it answers each one with
// the next of its answers, round and round.
struct FickleMime : QMimeData {
    QVariantList answers; // for text/uri-list; an invalid one: the format is not offered
    mutable qsizetype asked = 0;
    QVariant next() const { return answers.at(asked++ % answers.size()); }
    QStringList formats() const override {
        return next().isValid() ? QStringList{"text/uri-list"} : QStringList{};
    }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }
    QVariant retrieveData(const QString& type, QMetaType) const override {
        return type == "text/uri-list" ? next() : QVariant();
    }
};

} // namespace

class tst_dialog : public QObject {
    Q_OBJECT
private slots:
    void showOpenDialog_data();
    void showOpenDialog();
    void emptyFilterBecomesDefault();
    void nameFilters_data();
    void nameFilters();
    void openButtonChoosesFileWithoutExtension();
    void openButtonCancelled();
    void openDialogStartsInFileFolder_data();
    void openDialogStartsInFileFolder();
    void drops_data();
    void drops();
    void changingDragData_data();
    void changingDragData();
};

void tst_dialog::showOpenDialog_data() {
    QTest::addColumn<QString>("choose");
    QTest::addColumn<qint32>("extraFlags");
    QTest::addColumn<bool>("unloadParent");
    QTest::addColumn<QString>("result");
    QTest::addColumn<qint32>("flagsHanded");
    QTest::addColumn<int>("unloads");
    QTest::newRow("chosen") << "/x/a.txt" << 0 << false << "/x/a.txt" << 6148 << 0;
    QTest::newRow("extra flags add") << "/x/a.txt" << 0x200 << false << "/x/a.txt" << 6660 << 0;
    QTest::newRow("cancelled") << "" << 0 << false << "" << 6148 << 0;
    QTest::newRow("chosen, unload parent") << "/x/a.txt" << 0 << true << "/x/a.txt" << 6148 << 1;
    QTest::newRow("cancelled, unload parent") << "" << 0 << true << "" << 6148 << 1;
    QTest::newRow("flags overflow")
        << "/x/a.txt" << std::numeric_limits<qint32>::max() << false << "" << 0 << 0;
}

void tst_dialog::showOpenDialog() {
    QFETCH(QString, choose);
    QFETCH(qint32, extraFlags);
    QFETCH(bool, unloadParent);
    ScriptedDialog dialog;
    dialog.fileName = "/x/chosen before.txt";
    dialog.choose = choose;
    QString filter = defaultOpenFilter();
    QTEST(ShowOpenDialog(dialog, "Pick one", filter, extraFlags, unloadParent), "result");
    QTEST(dialog.flags, "flagsHanded");
    QTEST(dialog.unloads, "unloads");
    if (dialog.shows) {
        QVERIFY(dialog.cancelErrorAtShow);
        QCOMPARE(dialog.dialogTitle, QString("Pick one"));
        QCOMPARE(dialog.filter, defaultOpenFilter());
    }
}

void tst_dialog::emptyFilterBecomesDefault() {
    ScriptedDialog dialog;
    QString filter;
    qint32 flags = 0;
    ShowOpenDialog(dialog, QString(), filter, flags, false);
    QCOMPARE(filter, QString("All Files (*)|*")); // "*" is every file here, "*.*" is not
    QCOMPARE(dialog.filter, filter);
}

void tst_dialog::nameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("every file") << "All Files (*)|*" << QStringList{"All Files (*) (*)"};
    QTest::newRow("every file, written *.*")
        << "All Files (*.*)|*.*" << QStringList{"All Files (*.*) (*)"};
    QTest::newRow("two entries") << "Texts|*.txt;*.md|All Files (*.*)|*.*"
                                 << QStringList{"Texts (*.txt *.md)", "All Files (*.*) (*)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void tst_dialog::nameFilters() {
    QFETCH(QString, filter);
    QTEST(toNameFilters(filter), "nameFilters");
}

void tst_dialog::openButtonChoosesFileWithoutExtension() {
    QTemporaryDir tmp;
    const QString readme = tmp.path() + "/README";
    QFile(readme).open(QIODevice::WriteOnly);
    TestWindow form;
    static_cast<QtDialogComponent*>(form.dlgMain)->useNativeDialog = false;
    form.show();

    QStringList listed;
    QString title;
    whenDialogShows([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        dialog->setDirectory(tmp.path());
        const bool seen =
            QTest::qWaitFor([&] { return listedNames(dialog).contains("README"); }, 5000);
        listed = listedNames(dialog);
        // Named and confirmed as a user would: typed, then the dialog's own Open button.
        QTest::keyClicks(dialog->findChild<QLineEdit*>("fileNameEdit"), seen ? "README" : "");
        auto* open =
            dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open);
        if (open->isEnabled())
            open->click();
        else
            dialog->reject();
    });
    form.cmdOpen->click();
    QVERIFY2(listed.contains("README"), qPrintable(listed.join(',')));
    QVERIFY(!title.isEmpty()); // the toolkit's own title: the caller passes none
    QCOMPARE(form.txtFile->text(), readme);
    QVERIFY(form.cmdChange->isEnabled());
    QCOMPARE(form.txtExtension->text(), QString());
}

void tst_dialog::openButtonCancelled() {
    QTemporaryDir tmp;
    QFile(tmp.path() + "/a.txt").open(QIODevice::WriteOnly);
    TestWindow form;
    static_cast<QtDialogComponent*>(form.dlgMain)->useNativeDialog = false;
    form.show();
    form.txtFile->setText(tmp.path() + "/a.txt");
    bool shown = false;
    whenDialogShows([&](QFileDialog* dialog) {
        shown = true;
        dialog->reject();
    });
    form.cmdOpen->click();
    QVERIFY(shown);
    QCOMPARE(form.txtFile->text(), tmp.path() + "/a.txt");
    QCOMPARE(form.txtExtension->text(), QString("txt"));
    QVERIFY(form.cmdChange->isEnabled());
    QVERIFY(form.isVisible());
}

void tst_dialog::openDialogStartsInFileFolder_data() {
    QTest::addColumn<QString>("inBox"); // under a temporary folder that holds sub/a.txt
    QTest::newRow("file") << "sub/a.txt";
    QTest::newRow("missing file in a folder") << "sub/b.txt";
    QTest::newRow("pattern") << "sub/*.txt";
    QTest::newRow("missing folder") << "none/a.txt"; // then where a dialog starts anyway
    QTest::newRow("empty box") << "";
}

void tst_dialog::openDialogStartsInFileFolder() {
    QFETCH(QString, inBox);
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkdir("sub") &&
            QFile(tmp.path() + "/sub/a.txt").open(QIODevice::WriteOnly));
    TestWindow form;
    static_cast<QtDialogComponent*>(form.dlgMain)->useNativeDialog = false;
    form.show();
    if (!inBox.isEmpty()) form.txtFile->setText(tmp.path() + '/' + inBox);
    const QString anyway = QFileDialog().directory().absolutePath();
    QString dir, filter;
    whenDialogShows([&](QFileDialog* dialog) {
        dir = dialog->directory().absolutePath();
        filter = dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
        dialog->reject();
    });
    form.cmdOpen->click();
    QCOMPARE(dir, inBox.startsWith("sub/") ? tmp.path() + "/sub" : anyway);
    QCOMPARE(filter, QString("All Files (*)"));
}

void tst_dialog::drops_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    const QUrl a = QUrl::fromLocalFile("/tmp/x dir/a.txt");
    QTest::newRow("one local file") << QList<QUrl>{a} << "" << true;
    QTest::newRow("two files") << QList<QUrl>{a, QUrl::fromLocalFile("/tmp/b.txt")} << "" << false;
    QTest::newRow("text only") << QList<QUrl>{} << "/tmp/x dir/a.txt" << false;
    QTest::newRow("folder") << QList<QUrl>{QUrl::fromLocalFile(QDir::tempPath())} << "" << false;
    QTest::newRow("remote file") << QList<QUrl>{QUrl("https://example.org/a.txt")} << "" << false;
    // Decoded, the name would read "a\uFFFD.txt": another file's name.
    QTest::newRow("name not valid UTF-8")
        << QList<QUrl>{QUrl::fromEncoded("file:///tmp/x%20dir/a%FF.txt")} << "" << false;
}

void tst_dialog::drops() {
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    TestWindow form;
    form.show();
    form.txtFile->setText("before");
    QMimeData mime;
    if (!urls.isEmpty()) mime.setUrls(urls);
    if (!text.isEmpty()) mime.setText(text);
    const QPoint at = form.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    QCOMPARE(form.txtFile->text(), accepted ? QString("/tmp/x dir/a.txt") : QString("before"));
}

void tst_dialog::changingDragData_data() {
    QTest::addColumn<QVariantList>("answers");
    QTest::addColumn<QString>("outcome"); // "either" where it depends on when it is asked
    const QVariant file = QVariantList{QUrl::fromLocalFile("/tmp/x dir/a.txt")};
    const QVariant two = QVariantList{QUrl("file:///b.txt"), QUrl("file:///c.txt")};
    const QVariant null = QVariantList{QUrl()}, none;
    QTest::newRow("file, file, nothing") << QVariantList{file, file, none} << "either";
    QTest::newRow("file, then nothing") << QVariantList{file, none} << "either";
    QTest::newRow("nothing, then file") << QVariantList{none, file} << "either";
    QTest::newRow("file, file, two files") << QVariantList{file, file, two} << "either";
    QTest::newRow("file, file, null URL") << QVariantList{file, file, null} << "either";
    QTest::newRow("null URL") << QVariantList{null} << "refused";
    QTest::newRow("a number") << QVariantList{42} << "refused";
    QTest::newRow("raw bytes") << QVariantList{QByteArray("file:///tmp/x%20dir/a.txt\r\n")}
                               << "accepted";
}

void tst_dialog::changingDragData() {
    QFETCH(QVariantList, answers);
    QFETCH(QString, outcome);
    TestWindow form;
    form.show();
    form.txtFile->setText("before");
    FickleMime mime;
    mime.answers = answers;
    const QPoint at = form.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    for (QEvent* event : QList<QEvent*>{&enter, &move, &drop})
        QApplication::sendEvent(&form, event);
    // Whatever it answered, the drop took the one file or left the box alone.
    QCOMPARE(form.txtFile->text(), drop.isAccepted() ? "/tmp/x dir/a.txt" : "before");
    const QList<bool> accepted{enter.isAccepted(), move.isAccepted(), drop.isAccepted()};
    if (outcome != "either") QCOMPARE(accepted, QList<bool>(3, outcome == "accepted"));
}

QTEST_MAIN(tst_dialog)
#include "tst_dialog.moc"
