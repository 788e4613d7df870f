#pragma once

#include "extensionchange.h"
#include "services.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;

namespace morvane {

class ChangeRun;

// The one window. Its controls are the program's whole state while it runs; start-up
// fills them and the close hands them to whoever listens to unloading().
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(const Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    QLabel* Label1;
    QLineEdit* txtFile;
    QPushButton* cmdOpen;
    QLabel* Label2;
    QLineEdit* txtExtension;
    QLabel* Label3;
    QPushButton* cmdChange;
    QPushButton* cmdCancel;
    QComboBox* cboNewExtension;
    QCheckBox* chkLeaveCopy;
    QCheckBox* chkAllInFolder;
    DialogComponent* dlgMain;

    void txtFile_Change();
    void cmdChange_Click();
    void cmdOpen_Click();
    void cmdCancel_Click();

    // Whether a change (or an undo) is running on its worker thread.
    bool isChanging() const { return run_ != nullptr; }
    // Puts the last change back (Ctrl+Z), on the worker thread; a beep when there is none.
    void undoLastChange();
    // At start: a change, or an undo, that a crash interrupted is offered for undoing or
    // finishing, where no running window owns it.
    void offerRecovery();

    // Centres the window on the screen it will appear on.
    void centre();

    // A path that cannot be named again exactly: while the file box holds this text, no
    // file is shown as found and Change stays disabled.
    void refusePath(const QString& path);
    const QString& refusedPath() const { return refused_; }

signals:
    // The window is closing (Exit, Esc or its close command); the close always goes ahead.
    void unloading();
    // A change or an undo has ended, and its worker with it.
    void runEnded();
    // An undo found nothing to undo; the window beeped.
    void nothingToUndo();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter and Esc reach the window only from its own controls, never from an open list.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void pressDefault();
    void start(const std::function<ChangeEnd(MessageBox&, Progress&)>& job, bool undo = false);
    void layOut();

    Services services_;
    bool unloaded_ = false;
    ChangeRun* run_ = nullptr;
    bool closeAfterRun_ = false;
    QString refused_;
    // A pattern in the file box reads its whole folder: once typing pauses, not per key.
    QTimer patternCheck_;
    void showFound(const QString& path);
    void checkPatternNow();
};

// The one local file a drop carries, or the empty text when it carries anything else.
QString droppedFile(const QMimeData* mime);

} // namespace morvane
