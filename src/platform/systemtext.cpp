#include "systemtext.h"
#include "errortexts.h"

#include <QCoreApplication>

#include <atomic>
#include <cstring>
#include <libintl.h>
#include <locale.h>

namespace morvane {
namespace {

// The C library translates by the thread's LC_MESSAGES, and (unless that is "C") by
// LANGUAGE first; its text comes out in the LC_CTYPE's encoding, here always UTF-8.
locale_t messagesLocale(const char* name) {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (!utf8) return nullptr;
    locale_t both = newlocale(LC_MESSAGES_MASK, name, utf8);
    if (!both) freelocale(utf8);
    return both;
}

locale_t englishLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

// Messages in UTF-8 from the catalogue LANGUAGE names: the same for every language, made
// once and kept. Any locale but "C" lets LANGUAGE choose; C.UTF-8 needs no locale-gen.
locale_t translatedLocale() {
    static const locale_t translated = messagesLocale("C.UTF-8");
    return translated;
}

// False for English. Set once at start; tests set it again between cases.
std::atomic<bool> translating{false};

// The C library keeps the texts it has translated by locale name, not by LANGUAGE; setting
// the text domain again is gettext's own sign that the environment changed.
void forgetTranslations() {
    if (const char* domain = textdomain(nullptr)) textdomain(QByteArray(domain).constData());
}

QString english(int err) {
    return QString::fromUtf8(strerror_l(err, englishLocale()));
}

} // namespace

void setSystemTextLanguage(const QLocale& language) {
    if (language.language() == QLocale::English || language.language() == QLocale::C) {
        qputenv("LANGUAGE", "en");
        translating = false;
        forgetTranslations();
        return;
    }
    const QString code = QLocale::languageToCode(language.language());
    qputenv("LANGUAGE", (language.name() + QLatin1Char(':') + code).toUtf8());
    translating = true;
    forgetTranslations();
}

QString systemErrorText(int err) {
    const QString text = english(err);
    if (!translating) return text;
    if (const locale_t translated = translatedLocale()) {
        const QString libc = QString::fromUtf8(strerror_l(err, translated));
        if (libc != text) return libc;
    }
    const char* key = errorTextKey(err);
    const QString ours = key ? QCoreApplication::translate("SystemErrors", key) : QString();
    if (key && ours != QLatin1String(key)) return ours;
    return QCoreApplication::translate("SystemErrors", "system error %1").arg(err);
}

} // namespace morvane
