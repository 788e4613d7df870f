#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <QtGlobal>

namespace morvane {

// An open-file dialog component driven by its settings: the roles a general dialog
// function needs, and nothing of any window.
class DialogComponent {
public:
    // Open-file flags as the caller sums them.
    enum Flag : qint32 { HideReadOnly = 0x0004, PathMustExist = 0x0800, FileMustExist = 0x1000 };

    virtual ~DialogComponent() = default;
    bool cancelError = false; // cancelling throws Failure instead of choosing nothing
    QString dialogTitle;      // shown as the title when not empty
    QString filter;           // "description|pattern;pattern|description|pattern..."
    QString initDir;          // the folder it starts in, when that folder exists
    qint32 flags = 0;
    QString fileName; // the chosen file, after showOpen()

    // Modal; returns when the user chose a file or cancelled.
    virtual void showOpen() = 0;
    // Unloads (closes) the window that holds the component.
    virtual void unloadParent() = 0;
};

// "All Files (*.*)|*.*" as Qt name filters. "*.*" means every file, as users of that
// filter expect; on this system it would otherwise hide names without a dot.
QStringList toNameFilters(const QString& filter);

// The component as a modal QFileDialog owned by a window.
class QtDialogComponent : public DialogComponent {
public:
    explicit QtDialogComponent(QWidget* owner = nullptr) : owner_(owner) {}
    // The window the dialog is modal to, and that unloadParent() closes.
    void setOwner(QWidget* owner) { owner_ = owner; }
    void showOpen() override;
    void unloadParent() override;
    // Tests and headless runs use Qt's own widget dialog.
    bool useNativeDialog = true;

private:
    QPointer<QWidget> owner_;
};

} // namespace morvane
