#pragma once

#include <QLocale>
#include <QString>

namespace morvane {

// The system's text for an error number, in the language the window speaks, so that no
// message mixes two languages: the C library's own translation where it has one, else
// Morvane's, else (English) the C library's English.
QString systemErrorText(int err);

// The language of systemErrorText from now on: English for QLocale::English and C. Sets
// LANGUAGE to it too, for every other reader of the C library's translations (Qt's file
// errors, a GTK dialog), so call it before any thread that reads the environment starts.
void setSystemTextLanguage(const QLocale& language);

} // namespace morvane
