#pragma once

#include <QString>

namespace morvane {

// One line on standard error, for what the user should know but no box need say. Safe on any
// thread: the line goes out in one write, never mixed with another.
void warn(const QString& text);

} // namespace morvane
