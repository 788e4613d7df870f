#pragma once

#include <QLocale>
#include <QStringList>

class QTranslator;

namespace morvane {

// The languages Morvane speaks besides English, by code ("de"), as its translations are
// built into it.
QStringList shippedLanguages();

// The language the window speaks: the first of the desktop's languages, in its order of
// preference, that Morvane ships, else English. As the C library does, a messages locale
// of C or POSIX (LC_ALL, else LC_MESSAGES, else LANG; none set is C) means English whatever
// LANGUAGE says.
QLocale chooseLanguage(const QStringList& uiLanguages, const QString& messagesLocale,
                       const QStringList& shipped);

// The language of this desktop: chooseLanguage() of QLocale::system() and the environment.
QLocale desktopLanguage();

// Installs Morvane's and Qt's own translations for language (removing those installed
// before), and makes its direction the layout's. Numbers keep the desktop's own format.
// Needs the application object.
void useLanguage(const QLocale& language);

} // namespace morvane
