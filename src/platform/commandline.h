#pragma once

#include <QString>

namespace morvane {

// The argument text: every argument after the program's name, joined by single spaces.
QString commandLineText(int argc, char** argv);

} // namespace morvane
