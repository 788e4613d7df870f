// The window as a user meets it: its controls, the path handler on every keystroke, and
// the keyboard.
#include "formload.h"
#include "history.h"
#include "language.h"
#include "scriptedbox.h"
#include "settingsstore.h"
#include "strictskip.h"
#include "testfiles.h"
#include "testwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

using namespace morvane;

class tst_window : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void controlsAsLaidOut();
    void nothingClippedOrOverlapping_data();
    void nothingClippedOrOverlapping();
    void fitsAtFontDpi_data();
    void fitsAtFontDpi();
    void openPictureSharp_data();
    void openPictureSharp();
    void tabOrder();
    void pathHandler_data();
    void pathHandler();
    void typingCharacterByCharacter();
    void enterPressesChangeOnlyWhileEnabled();
    void patternReadOncePerPause_data();
    void patternReadOncePerPause();
    void enterInComboNeverAddsToList();
    void accessKeys();
    void escapeAndCloseUnloadOnce_data();
    void escapeAndCloseUnloadOnce();
    void keysInOpenListStayThere_data();
    void keysInOpenListStayThere();
    void upAndDownFollowTheText_data();
    void upAndDownFollowTheText();

private:
    QTemporaryDir config_; // this run's own settings folder
    QFont font_;           // the application's font before a test changed it
    QTemporaryDir* dir_ = nullptr;
    frmMain* form_ = nullptr;
    ScriptedBox box_;
    QString path(const QString& name) const { return dir_->path() + '/' + name; }
};

namespace {

// A key as the application delivers it: to the open popup if there is one, else to the
// focused control. (QTest's own choice, the focus window, can be a popup already closed.)
void userKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* to = QApplication::activePopupWidget();
    if (to && to->focusWidget()) to = to->focusWidget();
    QTest::keyClick(to ? to : QApplication::focusWidget(), key, modifiers);
}

// Whether control shows its whole text, drawn in shown (itself or its edit line): the box
// around what is drawn dark (text, never a frame) is the same with ample room around it.
bool nothingCut(QWidget* control, QWidget* shown) {
    const auto ink = [shown] {
        const QImage image = shown->grab().toImage();
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 96) box |= QRect(x, y, 1, 1);
        return box.size();
    };
    const QRect at = control->geometry();
    const QSize asLaidOut = ink();
    control->resize(at.size() + QSize(40, 40));
    const bool same = ink() == asLaidOut;
    control->setGeometry(at);
    return same && !asLaidOut.isEmpty();
}

// Under a shipped language no English is left in the window, and its Alt keys are its own:
// each button has one, and no two controls share one.
void inTheLanguage(frmMain& f) {
    const QList<QPair<QString, QString>> shown = {
        {f.Label1->text(), "File:"},
        {f.Label2->text(), "Current Extension:"},
        {f.Label3->text(), "New Extension:"},
        {f.cmdChange->text(), "&Change"},
        {f.cmdCancel->text(), "E&xit"},
        {f.chkLeaveCopy->text(), "Leave Copy of Original File"},
        {f.chkAllInFolder->text(), "Change all extensions in folder"},
        {f.cmdOpen->toolTip(), "Open"},
        {f.cmdOpen->accessibleName(), "Open"}};
    for (const auto& [text, english] : shown)
        QVERIFY2(!text.isEmpty() && text != english, qPrintable(english));
    QList<QKeySequence> keys;
    for (const QString& text :
         {f.Label1->text(), f.Label2->text(), f.Label3->text(), f.cmdChange->text(),
          f.cmdCancel->text(), f.chkLeaveCopy->text(), f.chkAllInFolder->text()})
        if (!QKeySequence::mnemonic(text).isEmpty()) keys.append(QKeySequence::mnemonic(text));
    QVERIFY(keys.contains(QKeySequence::mnemonic(f.cmdChange->text())));
    QVERIFY(keys.contains(QKeySequence::mnemonic(f.cmdCancel->text())));
    for (const QKeySequence& key : keys)
        QVERIFY2(keys.count(key) == 1, qPrintable(key.toString()));
}

} // namespace

void tst_window::initTestCase() {
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    isolateUserFolders();
    font_ = QApplication::font();
}

void tst_window::init() {
    dir_ = new QTemporaryDir;
    for (const char* name : {"report.txt", "README", ".hidden.txt", "my.dir/README"}) {
        QDir(dir_->path()).mkpath(QFileInfo(path(name)).path());
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    box_ = ScriptedBox();
    form_ = new TestWindow(&box_);
    form_->show();
    QApplication::setActiveWindow(form_);
    QVERIFY(QTest::qWaitForWindowActive(form_));
}

void tst_window::cleanup() {
    delete form_;
    delete dir_;
    QApplication::setFont(font_);
    useLanguage(QLocale(QLocale::English));
}

void tst_window::controlsAsLaidOut() {
    frmMain& f = *form_;
    QCOMPARE(f.windowTitle(), QString("Morvane"));
    QCOMPARE(f.size(), QSize(485, 154));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QVERIFY(!f.windowIcon().isNull());
    const struct {
        QWidget* w;
        const char* name;
        QRect rect;
    } table[] = {{f.txtFile, "txtFile", {8, 24, 441, 19}},
                 {f.cmdOpen, "cmdOpen", {456, 24, 20, 20}},
                 {f.txtExtension, "txtExtension", {8, 72, 41, 19}},
                 {f.cmdChange, "cmdChange", {142, 112, 97, 33}},
                 {f.cmdCancel, "cmdCancel", {246, 112, 97, 33}},
                 {f.cboNewExtension, "cboNewExtension", {160, 72, 65, 21}}};
    for (const auto& row : table) {
        QCOMPARE(row.w->objectName(), QString(row.name));
        QCOMPARE(row.w->geometry(), row.rect);
    }
    QCOMPARE(f.Label1->text(), QString("File:"));
    QCOMPARE(f.Label2->text(), QString("Current Extension:"));
    QCOMPARE(f.Label3->text(), QString("New Extension:"));
    QCOMPARE(f.cmdChange->text(), QString("&Change"));
    QCOMPARE(f.cmdCancel->text(), QString("E&xit"));
    QCOMPARE(f.chkLeaveCopy->text(), QString("Leave Copy of Original File"));
    QCOMPARE(f.chkAllInFolder->text(), QString("Change all extensions in folder"));
    QCOMPARE(f.cmdOpen->toolTip(), QString("Open"));
    QCOMPARE(f.cmdOpen->accessibleName(), QString("Open"));
    QVERIFY(!f.cmdOpen->icon().isNull());
    QCOMPARE(f.Label1->buddy(), f.txtFile);
    QCOMPARE(f.Label2->buddy(), f.txtExtension);
    QCOMPARE(f.Label3->buddy(), f.cboNewExtension);
    // What a screen reader announces for each control.
    const QList<QPair<QWidget*, QString>> announced = {
        {f.txtFile, "File:"},
        {f.cmdOpen, "Open"},
        {f.txtExtension, "Current Extension:"},
        {f.cmdChange, "Change"},
        {f.cmdCancel, "Exit"},
        {f.cboNewExtension, "New Extension:"},
        {f.chkLeaveCopy, "Leave Copy of Original File"}};
    for (const auto& [widget, name] : announced)
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    // The start state: empty, unticked, Change off, the extension box read-only.
    QVERIFY(!f.cmdChange->isEnabled());
    QVERIFY(f.txtExtension->isReadOnly());
    QVERIFY(f.txtExtension->focusPolicy() & Qt::TabFocus);
    QVERIFY(f.cboNewExtension->isEditable());
    QCOMPARE(f.cboNewExtension->count(), 0);
    QCOMPARE(f.cboNewExtension->completer(), nullptr);
    QVERIFY(!f.chkLeaveCopy->isChecked());
    QVERIFY(!f.chkAllInFolder->isChecked());
    QCOMPARE(QApplication::focusWidget(), f.txtFile);
}

void tst_window::nothingClippedOrOverlapping_data() {
    QTest::addColumn<QString>("language"); // a shipped language's code; "en" as written
    QTest::addColumn<QString>("family");   // empty: the application's own font
    QTest::addColumn<int>("points");
    for (const char* language : {"en", "de", "fr", "es", "ja", "he"}) {
        const QString prefix = language == QString("en") ? QString() : language + QString(", ");
        QTest::newRow(qPrintable(prefix + "application font")) << language << QString() << 0;
        for (const char* family : {"DejaVu Sans", "Cantarell", "Noto Sans"})
            for (int points : {9, 11, 14})
                // Not addRow("%s"): GCC 12 at -O3 takes the unrolled family for a null pointer.
                QTest::newRow(
                    qPrintable(prefix + QStringLiteral("%1 %2 pt").arg(family).arg(points)))
                    << language << QString(family) << points;
    }
}

void tst_window::nothingClippedOrOverlapping() {
    QFETCH(QString, language);
    QFETCH(QString, family);
    QFETCH(int, points);
    if (!family.isEmpty()) {
        if (!QFontDatabase::hasFamily(family))
            MORVANE_SKIP(qPrintable(family + " is not installed (scripts/setup-deps installs it)"));
        QApplication::setFont(QFont(family, points));
    }
    if (language == "ja" && QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        MORVANE_SKIP("no Japanese font is installed (scripts/setup-deps installs fonts-noto-cjk)");
    if (!family.isEmpty() || language != "en") {
        useLanguage(QLocale(language));
        delete form_;
        (form_ = new TestWindow(&box_))->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
    }
    frmMain& f = *form_;
    if (language != "en") inTheLanguage(f);
    if (language == "en" && family == "DejaVu Sans" && points == 9 &&
        f.logicalDpiY() == 96) // Debian's default
        QCOMPARE(f.size(), QSize(485, 154));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    const double scale = f.width() / 485.0;
    QVERIFY(scale >= 1 && qAbs(f.height() - 154 * scale) <= 1);
    const QList<QWidget*> controls = {
        form_->Label1,          form_->txtFile,      form_->cmdOpen,       form_->Label2,
        form_->txtExtension,    form_->Label3,       form_->cmdChange,     form_->cmdCancel,
        form_->cboNewExtension, form_->chkLeaveCopy, form_->chkAllInFolder};
    const QRect drawn[] = {{8, 8, 57, 17},     {8, 24, 441, 19},   {456, 24, 20, 20},
                           {8, 56, 137, 17},   {8, 72, 41, 19},    {160, 56, 81, 17},
                           {142, 112, 97, 33}, {246, 112, 97, 33}, {160, 72, 65, 21},
                           {256, 56, 153, 17}, {256, 80, 217, 17}};
    const QList<QWidget*> texts = {f.Label1, f.Label2, f.Label3, f.chkLeaveCopy, f.chkAllInFolder};
    // Right to left, the whole table is mirrored: the Open button left of the file box.
    QCOMPARE(f.cmdOpen->x() < f.txtFile->x(), f.layoutDirection() == Qt::RightToLeft);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        // Where the table puts it at the window's scale, read from the right in a
        // right-to-left language; a text may reach further on.
        const QRect r = QStyle::visualRect(f.layoutDirection(), f.rect(), controls[i]->geometry());
        const QRectF want(drawn[i].topLeft() * scale, drawn[i].size() * scale);
        const auto near = [](double a, double b) { return qAbs(a - b) <= 1.5; };
        QVERIFY2(near(r.x(), want.x()) && near(r.y(), want.y()) &&
                     near(r.height(), want.height()) &&
                     (texts.contains(controls[i]) ? r.width() >= want.width() - 1.5
                                                  : near(r.width(), want.width())),
                 qPrintable(controls[i]->objectName()));
    }
    for (QWidget* w : controls) {
        QVERIFY2(form_->rect().contains(w->geometry()), qPrintable(w->objectName()));
        for (QWidget* other : controls) {
            // As drawn, each label reaches one pixel into the field below it.
            const auto* label = qobject_cast<QLabel*>(w);
            const auto* otherLabel = qobject_cast<QLabel*>(other);
            if (w == other || (label && label->buddy() == other) ||
                (otherLabel && otherLabel->buddy() == w))
                continue;
            QVERIFY2(!w->geometry().intersects(other->geometry()),
                     qPrintable(w->objectName() + " overlaps " + other->objectName()));
        }
    }
    for (QWidget* w :
         {static_cast<QWidget*>(form_->Label1), static_cast<QWidget*>(form_->Label2),
          static_cast<QWidget*>(form_->Label3), static_cast<QWidget*>(form_->chkLeaveCopy),
          static_cast<QWidget*>(form_->chkAllInFolder)})
        QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
    // Every text whole as drawn too, and the buttons by Qt's measure of them.
    for (QLineEdit* field : {f.txtFile, f.txtExtension, f.cboNewExtension->lineEdit()})
        field->setText("Åjg");
    f.cmdCancel->setFocus(); // no blinking cursor in a field
    for (QWidget* w : texts + QList<QWidget*>{f.txtFile, f.txtExtension, f.cboNewExtension})
        QVERIFY2(nothingCut(w, w == f.cboNewExtension ? f.cboNewExtension->lineEdit() : w),
                 qPrintable(w->objectName()));
    for (QPushButton* button : {f.cmdChange, f.cmdCancel})
        QVERIFY(button->size().expandedTo(button->sizeHint()) == button->size());
}

void tst_window::fitsAtFontDpi_data() {
    QTest::addColumn<QString>("dpi");
    QTest::addColumn<QString>("scaling"); // Qt's high-DPI scaling, which then scales the window
    for (const char* dpi : {"120", "144"})
        for (const char* scaling : {"1", "0"})
            QTest::addRow("QT_FONT_DPI=%s, high-DPI scaling %s", dpi, scaling) << dpi << scaling;
}

// QT_FONT_DPI is read when the application starts: the font test runs again in a child.
void tst_window::fitsAtFontDpi() {
    QFETCH(QString, dpi);
    QFETCH(QString, scaling);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_FONT_DPI", dpi);
    env.insert("QT_ENABLE_HIGHDPI_SCALING", scaling);
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"nothingClippedOrOverlapping"});
    QVERIFY(child.waitForFinished(100000));
    const QByteArray out = child.readAll();
    QVERIFY2(
        child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
            out.contains("PASS   : tst_window::nothingClippedOrOverlapping(DejaVu Sans 14 pt)"),
        out.constData());
}

void tst_window::openPictureSharp_data() {
    QTest::addColumn<int>("pixels"); // the picture drawn for that many; 16 at a scale of 1
    for (int pixels : {16, 20, 24, 32})
        QTest::addRow("%g", pixels / 16.0) << pixels;
}

// The very picture drawn for the size the screen needs, never one scaled from another size.
void tst_window::openPictureSharp() {
    QFETCH(int, pixels);
    QImage drawn(QString(":/open-%1.png").arg(pixels));
    drawn.setDevicePixelRatio(pixels / 16.0);
    QCOMPARE(form_->cmdOpen->icon().pixmap(QSize(16, 16), pixels / 16.0).toImage(),
             drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void tst_window::tabOrder() {
    form_->txtFile->setText(path("report.txt")); // Change must be enabled to take the focus
    QStringList walked;
    QWidget* w = form_->txtFile;
    w->setFocus();
    for (int i = 0; i < 9; ++i) {
        walked.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked.join(' '),
             QString("txtFile cmdOpen txtExtension cmdChange cmdCancel cboNewExtension "
                     "chkLeaveCopy chkAllInFolder txtFile"));

    form_->txtFile->setText(path("nothing"));
    form_->txtExtension->setFocus();
    QTest::keyClick(form_->txtExtension, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form_->cmdCancel); // a disabled Change is skipped
}

void tst_window::pathHandler_data() {
    QTest::addColumn<QString>("name"); // inside the fixture folder
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("extension");
    QTest::newRow("ordinary file") << "report.txt" << true << "txt";
    QTest::newRow("no dot") << "README" << true << "";
    QTest::newRow("dot only in the folder name") << "my.dir/README" << true << "";
    QTest::newRow("pattern") << "*.txt" << true << "txt";
    QTest::newRow("folder") << "my.dir" << false << "";
    QTest::newRow("hidden file") << ".hidden.txt" << false << "";
    QTest::newRow("nothing") << "missing.txt" << false << "";
}

void tst_window::pathHandler() {
    QFETCH(QString, name);
    form_->txtFile->setText(path("report.txt")); // a state the handler must undo
    form_->txtFile->setText(path(name));
    QTEST(form_->cmdChange->isEnabled(), "enabled");
    QTEST(form_->txtExtension->text(), "extension");
    form_->txtFile->clear();
    QVERIFY(!form_->cmdChange->isEnabled());
    QCOMPARE(form_->txtExtension->text(), QString());
}

void tst_window::typingCharacterByCharacter() {
    const QString full = path("report.txt");
    for (const QChar c : full) {
        QTest::keyClick(form_->txtFile, c.toLatin1());
        const bool complete = form_->txtFile->text() == full;
        QCOMPARE(form_->cmdChange->isEnabled(), complete);
        QCOMPARE(form_->txtExtension->text(), complete ? QString("txt") : QString());
    }
    QCOMPARE(form_->txtFile->text(), full);
}

void tst_window::enterPressesChangeOnlyWhileEnabled() {
    form_->txtFile->setText(path("missing.txt"));
    form_->cboNewExtension->setEditText("md");
    QTest::keyClick(form_->txtFile, Qt::Key_Return);
    QVERIFY(box_.shown.isEmpty());
    QCOMPARE(form_->cboNewExtension->count(), 0);

    form_->txtFile->setText(path("report.txt"));
    form_->chkLeaveCopy->setFocus();
    QTest::keyClick(form_->chkLeaveCopy, Qt::Key_Enter);
    QTRY_COMPARE(box_.texts(), QStringList{"Conversion complete. "});
    QVERIFY(QFile::exists(path("report.md")));
}

void tst_window::patternReadOncePerPause_data() {
    QTest::addColumn<QString>("act"); // right after a key that makes the pattern match nothing
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Change clicked") << "click";
    QTest::newRow("Alt+C") << "Alt+C";
}

// A pattern reads its folder once typing pauses; Change and Enter never act on the state
// of an earlier pattern.
void tst_window::patternReadOncePerPause() {
    QFETCH(QString, act);
    form_->cboNewExtension->setEditText("md");
    form_->txtFile->setText(path("*."));
    QTRY_VERIFY(form_->cmdChange->isEnabled()); // README
    form_->txtFile->setFocus();
    QTest::keyClick(form_->txtFile, Qt::Key_T); // "*.t": nothing
    QVERIFY(form_->cmdChange->isEnabled());     // the folder is not read on this key
    if (act == "Enter") QTest::keyClick(form_->txtFile, Qt::Key_Return);
    if (act == "click") form_->cmdChange->click();
    if (act == "Alt+C") userKey(Qt::Key_C, Qt::AltModifier); // clicks 100 ms later
    QTest::qWait(300);
    QVERIFY(!form_->cmdChange->isEnabled());
    QVERIFY(box_.shown.isEmpty());
    QVERIFY(QFile::exists(path("README")) && QFile::exists(path("report.txt")));
    QCOMPARE(form_->cboNewExtension->count(), 0);
}

void tst_window::enterInComboNeverAddsToList() {
    form_->txtFile->setText(path("missing.txt"));
    form_->cboNewExtension->setFocus();
    QTest::keyClicks(form_->cboNewExtension->lineEdit(), "md");
    QTest::keyClick(form_->cboNewExtension->lineEdit(), Qt::Key_Return);
    QCOMPARE(form_->cboNewExtension->count(), 0);
    QVERIFY(box_.shown.isEmpty());

    form_->txtFile->setText(path("report.txt"));
    form_->cboNewExtension->setFocus();
    QTest::keyClick(form_->cboNewExtension->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE(box_.texts(), QStringList{"Conversion complete. "});
    QCOMPARE(form_->cboNewExtension->count(), 1); // recorded by Change, not by the combo
}

void tst_window::accessKeys() {
    form_->txtFile->setText(path("report.txt"));
    form_->cboNewExtension->setEditText("md");
    QTest::keyClick(form_->txtFile, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(box_.texts(), QStringList{"Conversion complete. "}); // an animated click
    QSignalSpy unloading(form_, &frmMain::unloading);
    QTest::keyClick(form_->txtFile, Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(unloading.count(), 1);
    QVERIFY(!form_->isVisible());
}

void tst_window::escapeAndCloseUnloadOnce_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Exit") << "exit";
    QTest::newRow("close command") << "close";
    QTest::newRow("Esc on a tick box") << "chkLeaveCopy"; // the focused control
    QTest::newRow("Enter on a focused Exit") << "cmdCancel";
}

void tst_window::escapeAndCloseUnloadOnce() {
    QFETCH(QString, how);
    form_->txtFile->setText(path("report.txt")); // Change is enabled, and must stay unpressed
    form_->cboNewExtension->setEditText("md");
    QSignalSpy unloading(form_, &frmMain::unloading);
    if (auto* focused = form_->findChild<QWidget*>(how)) {
        focused->setFocus();
        QTest::keyClick(focused, focused == form_->cmdCancel ? Qt::Key_Return : Qt::Key_Escape);
    } else if (how == "esc")
        QTest::keyClick(form_->cboNewExtension->lineEdit(), Qt::Key_Escape);
    else if (how == "exit")
        form_->cmdCancel->click();
    else
        form_->close();
    QCOMPARE(unloading.count(), 1);
    QVERIFY(!form_->isVisible());
    QVERIFY(box_.shown.isEmpty() && QFile::exists(path("report.txt")));
}

void tst_window::keysInOpenListStayThere_data() {
    QTest::addColumn<bool>("byArrow");  // the list opened as its arrow does, else by Alt+Down
    QTest::addColumn<int>("key");       // Enter is the keypad's
    QTest::addColumn<QString>("inBox"); // once the key has closed the list
    QTest::newRow("Return, Alt+Down") << false << int(Qt::Key_Return) << "html";
    QTest::newRow("keypad Enter, Alt+Down") << false << int(Qt::Key_Enter) << "html";
    QTest::newRow("Return, arrow") << true << int(Qt::Key_Return) << "html";
    QTest::newRow("Esc, Alt+Down") << false << int(Qt::Key_Escape) << "md";
    QTest::newRow("Esc, arrow") << true << int(Qt::Key_Escape) << "md";
}

void tst_window::keysInOpenListStayThere() {
    QFETCH(bool, byArrow);
    QFETCH(int, key);
    QFETCH(QString, inBox);
    const auto press = [key] {
        userKey(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    };
    QFile(path("notes.txt")).open(QIODevice::WriteOnly);
    const QStringList files = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);
    QComboBox* box = form_->cboNewExtension;
    form_->txtFile->setText(path("report.txt"));
    form_->chkAllInFolder->setChecked(true);
    box->addItems({"md", "html"});
    QSignalSpy unloading(form_, &frmMain::unloading);
    box->setFocus();
    byArrow ? box->showPopup() : userKey(Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    userKey(Qt::Key_Down);
    press();
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QTEST(box->currentText(), "inBox");
    QVERIFY(box_.shown.isEmpty() && unloading.isEmpty() && form_->isVisible());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), files);

    press(); // the same key again acts on the window
    if (key == Qt::Key_Escape) {
        QVERIFY(unloading.count() == 1 && !form_->isVisible());
    } else {
        QTRY_COMPARE(box_.texts(), QStringList{"Conversion complete. 2 file extensions changed."});
        QVERIFY(QFile::exists(path("report." + inBox)) && QFile::exists(path("notes." + inBox)));
    }
}

void tst_window::upAndDownFollowTheText_data() {
    QTest::addColumn<QString>("history"); // as stored, with the last extension
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("typed"); // after start-up
    QTest::addColumn<QString>("steps"); // each a key, U(p) or D(own), and the box's text after it
    const auto row = [](const char* name, QString history, QString last, QString typed,
                        QString steps) {
        QTest::newRow(name) << history << last << typed << steps;
    };
    const QString three = "txt md html";
    row("start: last is the middle entry", three, "md", "", "Dhtml Umd Utxt");
    row("start: last is in no entry", three, "pdf", "", "Updf Dtxt");
    row("start: empty box", three, "", "", "Dtxt");
    row("start: empty history", "", "md", "", "Dmd Umd");
    row("typed: text of no entry", three, "txt", "pdf", "Dtxt");
    row("typed: an entry differing in case", three, "txt", "MD", "Dtxt");
    row("typed: the bottom entry", three, "txt", "html", "Umd Utxt Dmd Dhtml Dhtml");
    row("typed: the middle entry after the bottom one was picked", three, "html", "md", "Dhtml");
}

void tst_window::upAndDownFollowTheText() {
    QFETCH(QString, history);
    QFETCH(QString, last);
    QFETCH(QString, typed);
    QFETCH(QString, steps);
    const QStringList entries = history.split(' ', Qt::SkipEmptyParts);
    {
        SettingsStore store;
        store.write(key::lastExtensions, joinHistory(entries));
        store.write(key::lastExtension, last);
        QVERIFY(store.save());
    }
    Form_Load(*form_, QString());
    QComboBox* box = form_->cboNewExtension;
    QCOMPARE(box->currentIndex(), entries.indexOf(last)); // the row of the entry equal to it
    box->setFocus();
    if (!typed.isEmpty()) {
        box->clearEditText();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->currentText(), typed);
    }
    for (const QString& step : steps.split(' ')) {
        userKey(step[0] == 'U' ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(box->currentText(), step.mid(1));
    }
}

QTEST_MAIN(tst_window)
#include "tst_window.moc"
