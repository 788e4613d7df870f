#pragma once

#include "dialogcomponent.h"
#include "filesystem.h"
#include "journal.h"
#include "services.h"
#include "windowbox.h"

namespace morvane {

// The real file system, journal, message boxes and open-file dialog, made once at start and
// handed to the window.
class AppServices {
public:
    Services services() { return {&fs, &journal, &box, &dialog}; }
    // The boxes and the dialog are modal to the window, which the dialog's unloadParent()
    // closes.
    void attachTo(QWidget* window) {
        box.setOwner(window);
        dialog.setOwner(window);
    }

    NativeFileSystem fs;
    FileJournal journal;
    WindowBox box;
    QtDialogComponent dialog;
};

} // namespace morvane
