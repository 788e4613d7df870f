#include "frmMain.h"
#include "apptitle.h"
#include "changerun.h"
#include "conversation.h"
#include "mdlDialog.h"
#include "pathrules.h"
#include "warning.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include <algorithm>

namespace morvane {
namespace {

template <class W> W* make(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

frmMain::frmMain(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dlgMain(services.dialog), services_(services) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(applicationTitle());
    QIcon icon;
    for (const char* file : {":/morvane-16.png", ":/morvane-32.png", ":/morvane-48.png"})
        icon.addFile(QLatin1String(file));
    setWindowIcon(icon);

    Label1 = make<QLabel>(this, "Label1");
    Label1->setText(tr("File:"));
    txtFile = make<QLineEdit>(this, "txtFile");
    cmdOpen = make<QPushButton>(this, "cmdOpen");
    QIcon open;
    for (const char* file : {":/open-16.png", ":/open-20.png", ":/open-24.png", ":/open-32.png"})
        open.addFile(QLatin1String(file));
    cmdOpen->setIcon(open);
    cmdOpen->setIconSize(QSize(16, 16));
    //: The picture button that chooses a file: its tooltip and its name for screen readers.
    cmdOpen->setToolTip(tr("Open"));
    cmdOpen->setAccessibleName(cmdOpen->toolTip());
    Label2 = make<QLabel>(this, "Label2");
    Label2->setText(tr("Current Extension:"));
    txtExtension = make<QLineEdit>(this, "txtExtension");
    txtExtension->setReadOnly(true);
    Label3 = make<QLabel>(this, "Label3");
    Label3->setText(tr("New Extension:"));
    cmdChange = make<QPushButton>(this, "cmdChange");
    //: & marks the Alt key; the window's two buttons need two different ones.
    cmdChange->setText(tr("&Change"));
    cmdChange->setEnabled(false);
    cmdCancel = make<QPushButton>(this, "cmdCancel");
    cmdCancel->setText(tr("E&xit"));
    cboNewExtension = make<QComboBox>(this, "cboNewExtension");
    cboNewExtension->setEditable(true);
    // Enter must press Change, never add to the list or accept a case-blind completion.
    cboNewExtension->setInsertPolicy(QComboBox::NoInsert);
    cboNewExtension->setCompleter(nullptr);
    chkLeaveCopy = make<QCheckBox>(this, "chkLeaveCopy");
    chkLeaveCopy->setText(tr("Leave Copy of Original File"));
    chkAllInFolder = make<QCheckBox>(this, "chkAllInFolder");
    //: Every file of the folder with the same extension is changed too.
    chkAllInFolder->setText(tr("Change all extensions in folder"));

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
    patternCheck_.setSingleShot(true);
    patternCheck_.setInterval(150);
    connect(&patternCheck_, &QTimer::timeout, this, [this] { showFound(txtFile->text()); });
    connect(cmdChange, &QPushButton::clicked, this, [this] { cmdChange_Click(); });
    // While a change runs, nothing may start another or change its file.
    connect(cmdOpen, &QPushButton::clicked, this, [this] {
        if (!run_) cmdOpen_Click();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    for (QWidget* w : std::initializer_list<QWidget*>{cboNewExtension, txtFile, txtExtension})
        w->installEventFilter(this);
}

frmMain::~frmMain() {
    // Its end must not reach a window that is going away.
    if (run_) disconnect(run_, nullptr, this, nullptr);
    delete run_; // stops it and waits for it
}

void frmMain::txtFile_Change() {
    const QString path = txtFile->text();
    if (path != refused_ && hasWildcards(nameOfPath(path))) {
        patternCheck_.start();
        return;
    }
    patternCheck_.stop(); // a plain path costs one status call: at once
    showFound(path);
}

// Change and Enter never act on the state of a pattern typed before the last pause.
void frmMain::checkPatternNow() {
    if (!patternCheck_.isActive()) return;
    patternCheck_.stop();
    showFound(txtFile->text());
}

void frmMain::showFound(const QString& path) {
    const bool found = path != refused_ && !services_.fs->existenceTest(path).isEmpty();
    cmdChange->setEnabled(found);
    txtExtension->setText(found ? extensionOfPath(path) : QString());
}

void frmMain::refusePath(const QString& path) {
    refused_ = path;
    txtFile_Change();
}

void frmMain::cmdChange_Click() {
    checkPatternNow();
    if (run_ || !cmdChange->isEnabled()) return;
    const QString newExt = stripLeadingDot(cboNewExtension->currentText());
    if (newExt != cboNewExtension->currentText()) cboNewExtension->setEditText(newExt);
    if (const auto refused = checkNewExtension(newExt)) {
        services_.box->reportError(*refused);
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
    start([this, request](MessageBox& box, Progress& progress) {
        return changeAndReport(request, *services_.fs, box, progress, services_.journal);
    });
}

void frmMain::undoLastChange() {
    if (!run_)
        start(
            [this](MessageBox& box, Progress& progress) {
                return undoAndReport(*services_.fs, box, progress, *services_.journal);
            },
            true);
}

void frmMain::offerRecovery() {
    Journal& journal = *services_.journal;
    // Held from here on, through the question and the undo: no other window recovers it too.
    const JournalState state = journal.interrupted();
    if (!journal.problem().isEmpty()) warn(journal.problem());
    if (!state.present) return;
    if (state.undoBegun) {
        if (services_.box->askFinishUndo(state.undone, state.undoTotal))
            undoLastChange(); // each file's state is looked at: safe to run again
        else
            journal.discard(); // the files stay as they are
        return;
    }
    if (state.finished) return;
    const qint64 changed = changedFiles(state, *services_.fs);
    if (changed == 0) {
        forgetChange(state, *services_.fs, journal); // the crash came before any file was touched
        return;
    }
    if (services_.box->askRecovery(changed, state.total))
        undoLastChange();
    else
        forgetChange(state, *services_.fs, journal); // the files stay as they are
}

void frmMain::start(const std::function<ChangeEnd(MessageBox&, Progress&)>& job, bool undo) {
    run_ = new ChangeRun(
        this,
        [this, job](MessageBox& box, Progress& progress) {
            const ChangeEnd end = job(box, progress);
            // Without a journal the change still went ahead; say why it cannot be undone.
            if (!services_.journal->problem().isEmpty()) warn(services_.journal->problem());
            return end;
        },
        *services_.box, undo);
    connect(run_, &ChangeRun::finished, this, [this, undo] {
        const ChangeEnd end = run_->end();
        run_->deleteLater();
        run_ = nullptr;
        emit runEnded();
        if (undo && end == ChangeEnd::NothingChanged) {
            QApplication::beep(); // as a text field does with nothing to undo
            emit nothingToUndo();
        }
        if (closeAfterRun_)
            close();
        else if (end == ChangeEnd::Completed || end == ChangeEnd::Cancelled ||
                 end == ChangeEnd::Undone)
            txtFile_Change();
    });
}

void frmMain::cmdOpen_Click() {
    QString filter = defaultOpenFilter();
    qint32 extraFlags = 0;
    // The dialog starts in the folder of the file named in the box, where that folder exists.
    const QString named = txtFile->text();
    dlgMain->initDir = named.isEmpty() ? QString() : QFileInfo(named).absolutePath();
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
    else if (checkPatternNow(), cmdChange->isEnabled())
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
    if (event->matches(QKeySequence::Undo)) {
        undoLastChange();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The box keeps its row where start-up or an earlier key left it, whatever was typed since:
// Up and Down step from the entry equal to the text, and Down from a text of no entry gives
// the top one. Alt+Down (open the list) and Ctrl stay the box's own.
bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+Z undoes the typing in a text field first, then the last change.
    auto* field = watched == cboNewExtension ? cboNewExtension->lineEdit()
                                             : qobject_cast<QLineEdit*>(watched);
    if (field && key->matches(QKeySequence::Undo) && !field->isUndoAvailable()) {
        undoLastChange();
        return true;
    }
    if (watched != cboNewExtension) return false;
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
