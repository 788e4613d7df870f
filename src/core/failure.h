#pragma once

#include <QString>

namespace morvane {

// A refusal by the operating system: its error number and its text.
struct Failure {
    int number = 0;
    QString description;
};

// Thrown at the next safe point once Progress::cancelled() says so.
struct Cancelled {};

} // namespace morvane
