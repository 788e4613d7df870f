#pragma once

// The window as start-up makes it, with the test's own message box, file system or journal
// in place of the real ones where given.
#include "appservices.h"
#include "frmMain.h"

struct OwnServices {
    morvane::AppServices app;
};

class TestWindow : private OwnServices, public morvane::frmMain {
public:
    explicit TestWindow(morvane::MessageBox* box = nullptr, morvane::FileSystem* fs = nullptr,
                        morvane::Journal* journal = nullptr)
        : frmMain(with(app.services(), box, fs, journal)) {
        app.attachTo(this);
    }

private:
    static morvane::Services with(morvane::Services s, morvane::MessageBox* box,
                                  morvane::FileSystem* fs, morvane::Journal* journal) {
        if (box) s.box = box;
        if (fs) s.fs = fs;
        if (journal) s.journal = journal;
        return s;
    }
};
