#pragma once

#include "dialogcomponent.h"
#include "fileport.h"
#include "journalport.h"
#include "messageport.h"

namespace morvane {

// What the window works with, made by start-up; tests hand in their own. The window owns
// none of them, and they outlive it.
struct Services {
    FileSystem* fs = nullptr;
    Journal* journal = nullptr;
    MessageBox* box = nullptr;
    DialogComponent* dialog = nullptr;
};

} // namespace morvane
