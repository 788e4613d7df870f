#include "appservices.h"
#include "commandline.h"
#include "formload.h"
#include "frmMain.h"
#include "language.h"
#include "process.h"
#include "systemtext.h"

#include <QApplication>

int main(int argc, char** argv) {
    morvane::ignoreFileSizeSignal();
    bool exact = true;
    const QString commandLine = morvane::commandLineText(argc, argv, &exact);

    // The language is chosen, and LANGUAGE set to it, before the toolkit starts its threads.
    const QLocale language = morvane::desktopLanguage();
    morvane::setSystemTextLanguage(language);

    // The toolkit sees the program's name alone, so that every argument (a file called
    // "-style" too) reaches the file box; Qt's settings still come from its environment.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.morvane.Morvane"));
    morvane::useLanguage(language);

    morvane::AppServices services;
    morvane::frmMain form(services.services());
    services.attachTo(&form);
    // A large run's lists of names are gone once it ends: the heap goes back to the system.
    QObject::connect(&form, &morvane::frmMain::runEnded, &form, &morvane::giveBackFreeMemory);
    QObject::connect(&form, &morvane::frmMain::unloading, &form,
                     [&form] { morvane::Form_Unload(form); });
    morvane::Form_Load(form, commandLine, exact);
    form.centre();
    form.show();
    form.offerRecovery();
    return app.exec();
}
