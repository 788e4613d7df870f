#pragma once

#include <QString>

namespace morvane {

// The argument text: every argument after the program's name, joined by single spaces.
// `exact`, when given, tells whether that text names the argument bytes again exactly: a
// name that is not valid in the system's encoding (UTF-8) decodes with U+FFFD, which would
// name another file.
QString commandLineText(int argc, char** argv, bool* exact = nullptr);

} // namespace morvane
