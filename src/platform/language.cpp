#include "language.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace morvane {
namespace {

const QString folder = QStringLiteral(":/i18n");

// Where gettext ignores LANGUAGE; C.UTF-8 is not among them.
bool isC(const QString& locale) {
    return locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX");
}

// The translators in use, replaced as a whole when the language changes (tests do).
std::unique_ptr<QTranslator> own, qt;

void install(std::unique_ptr<QTranslator>& slot, const QString& file, const QString& dir) {
    if (slot) QCoreApplication::removeTranslator(slot.get());
    slot = std::make_unique<QTranslator>();
    if (slot->load(file, dir))
        QCoreApplication::installTranslator(slot.get());
    else
        slot.reset();
}

} // namespace

QStringList shippedLanguages() {
    QStringList codes;
    const QStringList files = QDir(folder).entryList({QStringLiteral("morvane_*.qm")});
    for (const QString& file : files) {
        const QString code = file.mid(8).chopped(3);
        if (code != QLatin1String("en")) codes.append(code); // English's plural forms
    }
    return codes;
}

QLocale chooseLanguage(const QStringList& uiLanguages, const QString& messagesLocale,
                       const QStringList& shipped) {
    const QLocale english(QLocale::English);
    if (isC(messagesLocale)) return english;
    for (const QString& name : uiLanguages) {
        const QLocale wanted(name);
        if (wanted.language() == QLocale::English || wanted.language() == QLocale::C)
            return english;
        if (shipped.contains(QLocale::languageToCode(wanted.language()))) return wanted;
    }
    return english;
}

QLocale desktopLanguage() {
    QString messages;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (messages.isEmpty()) messages = qEnvironmentVariable(name);
    return chooseLanguage(QLocale::system().uiLanguages(), messages, shippedLanguages());
}

void useLanguage(const QLocale& language) {
    const QString code = QLocale::languageToCode(language.language());
    install(own, QStringLiteral("morvane_") + code, folder);
    install(qt, QStringLiteral("qtbase_") + code,
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QGuiApplication::setLayoutDirection(language.textDirection());
}

} // namespace morvane
