#include "frmMain.h"
#include "changerun.h"
#include "extensionchange.h"
#include "filesystem.h"
#include "mdlDialog.h"
#include "messagebox.h"
#include "pathrules.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

namespace morvane {
namespace {

// The layout is drawn in twips; 15 twips make one device-independent pixel.
QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

template <class W> W* make(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ownBox_(std::make_unique<QtMessageBox>(this)), ownFs_(std::make_unique<NativeFileSystem>()),
      ownDialog_(std::make_unique<QtDialogComponent>(this)), box_(ownBox_.get()),
      fs_(ownFs_.get()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(applicationTitle());
    QIcon icon;
    for (const char* file : {":/morvane-16.png", ":/morvane-32.png", ":/morvane-48.png"})
        icon.addFile(QLatin1String(file));
    setWindowIcon(icon);
    dlgMain = ownDialog_.get();

    Label1 = make<QLabel>(this, "Label1");
    Label1->setText(QStringLiteral("File:"));
    txtFile = make<QLineEdit>(this, "txtFile");
    cmdOpen = make<QPushButton>(this, "cmdOpen");
    cmdOpen->setIcon(QIcon(QStringLiteral(":/open.png")));
    cmdOpen->setIconSize(QSize(16, 16));
    cmdOpen->setToolTip(QStringLiteral("Open"));
    cmdOpen->setAccessibleName(QStringLiteral("Open"));
    Label2 = make<QLabel>(this, "Label2");
    Label2->setText(QStringLiteral("Current Extension:"));
    txtExtension = make<QLineEdit>(this, "txtExtension");
    txtExtension->setReadOnly(true);
    Label3 = make<QLabel>(this, "Label3");
    Label3->setText(QStringLiteral("New Extension:"));
    cmdChange = make<QPushButton>(this, "cmdChange");
    cmdChange->setText(QStringLiteral("&Change"));
    cmdChange->setEnabled(false);
    cmdCancel = make<QPushButton>(this, "cmdCancel");
    cmdCancel->setText(QStringLiteral("E&xit"));
    cboNewExtension = make<QComboBox>(this, "cboNewExtension");
    cboNewExtension->setEditable(true);
    // Enter must press Change, never add to the list or accept a case-blind completion.
    cboNewExtension->setInsertPolicy(QComboBox::NoInsert);
    cboNewExtension->setCompleter(nullptr);
    chkLeaveCopy = make<QCheckBox>(this, "chkLeaveCopy");
    chkLeaveCopy->setText(QStringLiteral("Leave Copy of Original File"));
    chkAllInFolder = make<QCheckBox>(this, "chkAllInFolder");
    chkAllInFolder->setText(QStringLiteral("Change all extensions in folder"));

    // Screen readers announce each field by the label above it.
    Label1->setBuddy(txtFile);
    Label2->setBuddy(txtExtension);
    Label3->setBuddy(cboNewExtension);

    layOut();
    setTabOrder(txtFile, cmdOpen);
    setTabOrder(cmdOpen, txtExtension);
    setTabOrder(txtExtension, cmdChange);
    setTabOrder(cmdChange, cmdCancel);
    setTabOrder(cmdCancel, cboNewExtension);
    setTabOrder(cboNewExtension, chkLeaveCopy);
    setTabOrder(chkLeaveCopy, chkAllInFolder);
    txtFile->setFocus();

    // A drop lands on the window as a whole, never as text inside a field.
    setAcceptDrops(true);
    txtFile->setAcceptDrops(false);
    txtExtension->setAcceptDrops(false);
    cboNewExtension->setAcceptDrops(false);
    cboNewExtension->lineEdit()->setAcceptDrops(false);

    connect(txtFile, &QLineEdit::textChanged, this, [this] { txtFile_Change(); });
    connect(cmdChange, &QPushButton::clicked, this, [this] { cmdChange_Click(); });
    // While a change runs, nothing may start another or change its file.
    connect(cmdOpen, &QPushButton::clicked, this, [this] {
        if (!run_) cmdOpen_Click();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    cboNewExtension->installEventFilter(this);
}

frmMain::~frmMain() {
    delete run_; // stops it and waits for it
}

void frmMain::layOut() {
    setFixedSize(7275 / 15, 2310 / 15);
    Label1->setGeometry(twips(120, 120, 855, 255));
    txtFile->setGeometry(twips(120, 360, 6615, 285));
    cmdOpen->setGeometry(twips(6840, 360, 300, 300));
    Label2->setGeometry(twips(120, 840, 2055, 255));
    txtExtension->setGeometry(twips(120, 1080, 615, 285));
    Label3->setGeometry(twips(2400, 840, 1215, 255));
    cmdChange->setGeometry(twips(2130, 1680, 1455, 495));
    cmdCancel->setGeometry(twips(3690, 1680, 1455, 495));
    cboNewExtension->setGeometry(twips(2400, 1080, 975, 315));
    chkLeaveCopy->setGeometry(twips(3840, 840, 2295, 255));
    chkAllInFolder->setGeometry(twips(3840, 1200, 3255, 255));
    // The table was drawn for a smaller font: a text that needs more room gets it, as
    // long as the control stays inside the window (each has free room to its right).
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label1, Label2, Label3, chkLeaveCopy, chkAllInFolder}) {
        const int wanted = std::min(w->sizeHint().width(), width() - w->x());
        if (wanted > w->width()) w->resize(wanted, w->height());
    }
}

void frmMain::centre() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void frmMain::setMessageBox(MessageBox* box) {
    box_ = box ? box : ownBox_.get();
}
void frmMain::setFileSystem(FileSystem* fs) {
    fs_ = fs ? fs : ownFs_.get();
}
void frmMain::setDialogComponent(DialogComponent* dialog) {
    dlgMain = dialog ? dialog : ownDialog_.get();
}

void frmMain::txtFile_Change() {
    const QString path = txtFile->text();
    const bool found = path != refused_ && !existenceTest(path).isEmpty();
    cmdChange->setEnabled(found);
    txtExtension->setText(found ? extensionOfPath(path) : QString());
}

void frmMain::refusePath(const QString& path) {
    refused_ = path;
    txtFile_Change();
}

void frmMain::cmdChange_Click() {
    if (run_) return;
    const QString newExt = stripLeadingDot(cboNewExtension->currentText());
    if (newExt != cboNewExtension->currentText()) cboNewExtension->setEditText(newExt);
    if (const auto refused = checkNewExtension(newExt)) {
        box_->show(errorText(*refused), MessageBox::OkError, QStringLiteral("Error"));
        return;
    }
    if (!newExt.isEmpty() &&
        cboNewExtension->findText(newExt, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        cboNewExtension->insertItem(0, newExt);
        cboNewExtension->setEditText(newExt);
    }
    const ChangeRequest request{txtFile->text(), txtExtension->text(), newExt,
                                chkAllInFolder->checkState() != Qt::Unchecked,
                                chkLeaveCopy->checkState() != Qt::Unchecked};
    run_ = new ChangeRun(this, request, *fs_, *box_);
    connect(run_, &ChangeRun::finished, this, [this] {
        const ChangeEnd end = run_->end();
        run_->deleteLater();
        run_ = nullptr;
        if (closeAfterRun_)
            close();
        else if (end == ChangeEnd::Completed || end == ChangeEnd::Cancelled)
            txtFile_Change();
    });
}

void frmMain::cmdOpen_Click() {
    QString filter = defaultOpenFilter();
    qint32 extraFlags = 0;
    const QString chosen = ShowOpenDialog(*dlgMain, QString(), filter, extraFlags, false);
    if (!chosen.isEmpty()) txtFile->setText(chosen);
}

void frmMain::cmdCancel_Click() {
    close();
}

void frmMain::pressDefault() {
    // As on other desktops, Enter on a focused button presses that button.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
        button->click();
    else if (cmdChange->isEnabled())
        cmdChange->click();
}

// Default and cancel buttons belong to dialogs in Qt; this window maps the keys itself, as
// QDialog does. A key pressed in an open list or menu stays in that popup's own window.
void frmMain::keyPressEvent(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pressDefault();
            return;
        case Qt::Key_Escape:
            cmdCancel->click();
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}

// The box keeps its row where start-up or an earlier key left it, whatever was typed since:
// Up and Down step from the entry equal to the text, and Down from a text of no entry gives
// the top one. Alt+Down (open the list) and Ctrl stay the box's own.
bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched != cboNewExtension || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool up = key->key() == Qt::Key_Up || key->key() == Qt::Key_PageUp;
    const bool down = key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown;
    if ((!up && !down) || (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)))
        return false;
    const int row = cboNewExtension->findText(cboNewExtension->currentText(),
                                              Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row >= 0)
        cboNewExtension->setCurrentIndex(row);
    else if (up || cboNewExtension->count() == 0)
        return true; // nothing above a text of its own; clearing the row would clear the text
    else
        cboNewExtension->setCurrentIndex(-1); // the box then steps down to the top entry
    return false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (run_) {
        // The run stops at its next safe point; the close comes back when it has.
        run_->closeQuietly();
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    if (!unloaded_) {
        unloaded_ = true;
        emit unloading();
    }
    event->accept();
}

QString droppedFile(const QMimeData* mime) {
    // Another program's drag data is fetched anew on every question and may answer
    // differently each time, so it is asked once.
    const QList<QUrl> urls = mime ? mime->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile()) return {};
    const QString path = urls.constFirst().toLocalFile();
    // A name whose bytes are not valid in the system's encoding decodes to another name.
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(urls.constFirst().path(QUrl::FullyEncoded).toLatin1());
    if (QFile::encodeName(path) != bytes) return {};
    return QFileInfo(path).isDir() ? QString() : QDir::toNativeSeparators(path);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void frmMain::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMain::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    txtFile->setText(path);
}

} // namespace morvane
