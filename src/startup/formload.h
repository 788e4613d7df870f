#pragma once

#include <QString>

namespace morvane {

class frmMain;

// The keys of the remembered values, in section "General".
namespace key {
inline const QString lastExtensions = QStringLiteral("Last Extensions");
inline const QString leaveCopy = QStringLiteral("Leave Copy");
inline const QString lastFile = QStringLiteral("Last File");
inline const QString lastExtension = QStringLiteral("Last Extension");
} // namespace key

// Fills the window from the settings store, then from the command line's argument text
// (enclosing double quotes stripped), which replaces the remembered file. A text that does
// not name the argument bytes `exact`ly is shown but refused, with a warning.
void Form_Load(frmMain& form, const QString& commandLine, bool exact = true);

// Stores the four values (a refused file box leaves the remembered file as it was). Never
// stops the close: a store that cannot be written is reported on standard error and left
// as it was. Returns whether they were stored.
bool Form_Unload(frmMain& form);

} // namespace morvane
