// The language Morvane speaks: chosen from the desktop's, Qt's own texts in it too, the
// system's error texts in it, and English exactly as it has always read.
#include "conversation.h"
#include "filesystem.h"
#include "journal.h"
#include "language.h"
#include "messagebox.h"
#include "messages.h"
#include "scriptedbox.h"
#include "settingsstore.h"
#include "statusfails.h"
#include "strictskip.h"
#include "systemtext.h"
#include "testfiles.h"
#include "trash_folder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <clocale>
#include <memory>

using namespace morvane;

Q_DECLARE_METATYPE(ChangeReport)

namespace {

// The language a desktop with these uiLanguages and messages locale gets, set up as the
// program sets it up; LANGUAGE first says what the desktop asks for, as a user's would.
QLocale speak(const QString& uiLanguages, const QString& messages) {
    const QStringList ui = uiLanguages.split(' ', Qt::SkipEmptyParts);
    qputenv("LANGUAGE", ui.value(0).replace('-', '_').toUtf8());
    const QLocale language = chooseLanguage(ui, messages, shippedLanguages());
    setSystemTextLanguage(language);
    useLanguage(language);
    return language;
}

// The texts and Alt keys of the buttons of the next modal box, which is then answered with
// its escape button.
struct Buttons {
    QStringList texts;
    QList<QKeySequence> keys;
};

Buttons buttonsOfNextBox(const std::function<void()>& show) {
    Buttons seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* b : box->buttons()) {
            seen.texts.append(b->text());
            seen.keys.append(QKeySequence::mnemonic(b->text()));
        }
        box->escapeButton()->click();
    });
    show();
    return seen;
}

} // namespace

class tst_language : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // This run's own settings folder, before anything reads where settings live.
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        // Any locale but C lets LANGUAGE choose the C library's language, as on a desktop.
        QVERIFY(std::setlocale(LC_ALL, "C.UTF-8"));
    }
    void cleanup() { speak("en", "C.UTF-8"); }

    void chooses_data() {
        QTest::addColumn<QString>("uiLanguages"); // QLocale::system().uiLanguages()
        QTest::addColumn<QString>("messages");    // LC_ALL, else LC_MESSAGES, else LANG
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("direction");
        const int ltr = Qt::LeftToRight, rtl = Qt::RightToLeft;
        QTest::newRow("German desktop") << "de-DE de-Latn-DE de"
                                        << "de_DE.UTF-8"
                                        << "de" << ltr;
        QTest::newRow("Austrian") << "de-AT de"
                                  << "de_AT.UTF-8"
                                  << "de" << ltr;
        QTest::newRow("Japanese") << "ja-JP ja"
                                  << "ja_JP.UTF-8"
                                  << "ja" << ltr;
        QTest::newRow("Hebrew") << "he-IL he"
                                << "he_IL.UTF-8"
                                << "he" << rtl;
        QTest::newRow("French in LANGUAGE, German LANG") << "fr de-DE"
                                                         << "de_DE.UTF-8"
                                                         << "fr" << ltr;
        QTest::newRow("Portuguese not shipped, then Spanish") << "pt-BR pt es"
                                                              << "pt_BR.UTF-8"
                                                              << "es" << ltr;
        QTest::newRow("English before German") << "en-GB de"
                                               << "en_GB.UTF-8"
                                               << "en" << ltr;
        QTest::newRow("Italian not shipped") << "it-IT it"
                                             << "it_IT.UTF-8"
                                             << "en" << ltr;
        QTest::newRow("C") << "C"
                           << "C"
                           << "en" << ltr;
        QTest::newRow("nothing set") << "C"
                                     << ""
                                     << "en" << ltr;
        QTest::newRow("LANGUAGE=de under C: ignored, as gettext does") << "de"
                                                                       << "C"
                                                                       << "en" << ltr;
        QTest::newRow("LANGUAGE=de under POSIX") << "de"
                                                 << "POSIX"
                                                 << "en" << ltr;
        QTest::newRow("LANGUAGE=de under C.UTF-8") << "de"
                                                   << "C.UTF-8"
                                                   << "de" << ltr;
    }
    void chooses() {
        QFETCH(QString, uiLanguages);
        QFETCH(QString, messages);
        const QLocale language = speak(uiLanguages, messages);
        QTEST(QLocale::languageToCode(language.language()), "language");
        QTEST(int(QGuiApplication::layoutDirection()), "direction");
    }

    void shipsItsLanguages() {
        QStringList shipped = shippedLanguages();
        shipped.sort();
        QCOMPARE(shipped, QStringList({"de", "es", "fr", "he", "ja"}));
    }

    // A real failure's message reads in one language from end to end.
    void errorsInOneLanguage_data() {
        QTest::addColumn<QString>("uiLanguages");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("German: the C library's text")
            << "de-DE de"
            << "de_DE.UTF-8"
            << "Fehler 2: Datei oder Verzeichnis nicht gefunden"
            << "Fehler";
        QTest::newRow("Japanese: the C library's text")
            << "ja-JP ja"
            << "ja_JP.UTF-8"
            << "エラー 2: そのようなファイルやディレクトリはありません"
            << "エラー";
        QTest::newRow("Hebrew, which the C library lacks: Morvane's text")
            << "he-IL he"
            << "he_IL.UTF-8"
            << "שגיאה 2: אין קובץ או תיקייה בשם זה"
            << "שגיאה";
        QTest::newRow("Italian, not shipped: English throughout")
            << "it-IT it"
            << "it_IT.UTF-8"
            << "Error 2: No such file or directory"
            << "Error";
        QTest::newRow("LANGUAGE=de under C: English throughout")
            << "de"
            << "C"
            << "Error 2: No such file or directory"
            << "Error";
    }
    void errorsInOneLanguage() {
        QFETCH(QString, uiLanguages);
        QFETCH(QString, messages);
        QFETCH(QString, text);
        for (const char* code : {"de", "ja"})
            if (!QFile::exists(QString("/usr/share/locale/%1/LC_MESSAGES/libc.mo").arg(code)))
                MORVANE_SKIP("the C library's translations are not installed (libc-l10n)");
        speak(uiLanguages, messages);
        QTemporaryDir dir;
        NativeFileSystem fs;
        try {
            fs.remove(dir.filePath("missing.txt"));
            QFAIL("a missing file was removed");
        } catch (const Failure& f) {
            const Message m = errorMessage(f);
            QCOMPARE(m.text, text);
            QTEST(m.caption, "caption");
        }
    }

    // What English-speaking users have always read, to the byte: in the C locale too.
    void englishAsItAlwaysRead_data() {
        QTest::addColumn<QString>("uiLanguages");
        QTest::addColumn<QString>("messages");
        QTest::newRow("C") << "C"
                           << "C";
        QTest::newRow("C.UTF-8") << "C"
                                 << "C.UTF-8";
        QTest::newRow("en_US") << "en-US en"
                               << "en_US.UTF-8";
        QTest::newRow("en_GB, then German") << "en-GB en de"
                                            << "en_GB.UTF-8";
    }
    void englishAsItAlwaysRead() {
        QFETCH(QString, uiLanguages);
        QFETCH(QString, messages);
        speak(uiLanguages, messages);
        QCOMPARE(overwriteQuestion("/d/a.md").text,
                 QString("The destination file '/d/a.md' already exisits, overwrite?"));
        const auto ending = [](ChangeEnd end, qint64 count) {
            ChangeReport r;
            r.end = end;
            r.count = count;
            return endingMessage(r)->text;
        };
        QCOMPARE(ending(ChangeEnd::Completed, 0), QString("Conversion complete. "));
        QCOMPARE(ending(ChangeEnd::Completed, 1),
                 QString("Conversion complete. 1 file extensions changed."));
        QCOMPARE(ending(ChangeEnd::Completed, 2),
                 QString("Conversion complete. 2 file extensions changed."));
        QCOMPARE(ending(ChangeEnd::Cancelled, 0), QString("Conversion cancelled. "));
        QCOMPARE(ending(ChangeEnd::Cancelled, 1),
                 QString("Conversion cancelled. 1 file extensions changed."));
        QCOMPARE(ending(ChangeEnd::NothingChanged, 0), QString("No file extensions changed."));
        const Message error = errorMessage({EROFS, systemErrorText(EROFS)});
        QCOMPARE(error.text, QString("Error 30: Read-only file system"));
        QCOMPARE(error.caption, QString("Error"));
    }

    // Qt's own words in the boxes, the progress window, the open-file dialog and the fields'
    // menu, and in each box an Alt key of its own for every button.
    void qtSpeaksIt_data() {
        QTest::addColumn<QString>("uiLanguages");
        for (const char* code : {"de", "fr", "es", "ja", "he"})
            QTest::newRow(code) << code;
    }
    void qtSpeaksIt() {
        QFETCH(QString, uiLanguages);
        speak(uiLanguages, "C.UTF-8");
        QtMessageBox box;
        const Buttons question = buttonsOfNextBox([&] { box.show("?", MessageBox::YesNoWarning); });
        const Buttons closing =
            buttonsOfNextBox([&] { box.show(".", MessageBox::OkOnly | MessageBox::WithUndo); });
        QCOMPARE(question.texts.size(), 2);
        QCOMPARE(closing.texts.size(), 2);
        // "OK" is OK in many languages, "No" in Spanish; "Yes" and "Undo" are English only.
        QVERIFY2(!question.texts.contains("&Yes"), qPrintable(question.texts.join(' ')));
        QVERIFY2(!closing.texts.contains("&Undo"), qPrintable(closing.texts.join(' ')));
        for (const Buttons& b : {question, closing})
            QVERIFY2(b.keys[0] != b.keys[1] || b.keys[0].isEmpty(), qPrintable(b.texts.join(' ')));
        QVERIFY(!closing.keys[0].isEmpty() || !closing.keys[1].isEmpty()); // Undo has its key

        QProgressDialog progress;
        QVERIFY(progress.findChild<QPushButton*>()->text() != "Cancel");
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons && buttons->button(QDialogButtonBox::Open));
        QVERIFY(buttons->button(QDialogButtonBox::Open)->text() != "&Open");
        QLineEdit field;
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QVERIFY(!menu->actions().isEmpty());
        QVERIFY(!menu->actions().constFirst()->text().startsWith("&Undo"));
    }

    // A warning on standard error in the window's language: settings that are not valid.
    void warningsInTheLanguage_data() {
        QTest::addColumn<QString>("uiLanguages");
        QTest::addColumn<QString>("problem");
        QTest::newRow("de") << "de"
                            << "die Datei ist ungültig";
        QTest::newRow("ja") << "ja"
                            << "ファイルの内容が正しくありません";
        QTest::newRow("he") << "he"
                            << "הקובץ אינו תקין";
        QTest::newRow("it, not shipped") << "it"
                                         << "the file is not valid";
    }
    void warningsInTheLanguage() {
        QFETCH(QString, uiLanguages);
        QDir(config_.path()).mkpath("Morvane");
        QFile file(config_.filePath("Morvane/Morvane.json"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{ not json") > 0);
        file.close();
        speak(uiLanguages, "C.UTF-8");
        QTEST(SettingsStore().readProblem(), "problem");
    }

    // What the record of a change, the Trash and a change without its record tell, in the
    // window's language from end to end: the system's reason too, paths isolated in Hebrew.
    void refusalsInTheLanguage_data() {
        QTest::addColumn<QString>("uiLanguages");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text"); // {p}: the record, the Trash or the state folder
        const auto row = [](const char* language, const char* fault, const QString& text) {
            QTest::addRow("%s, %s", language, fault) << language << fault << text;
        };
        row("de", "foreign record",
            "das Änderungsprotokoll {p} wird übergangen: es stammt nicht von Morvane");
        row("he", "foreign record",
            "המערכת מתעלמת מיומן השינויים \u2068{p}\u2069: הוא אינו של Morvane");
        row("fr", "linked record",
            "le journal {p} est ignoré\u00a0: il ne peut pas être lu\u00a0: Trop de niveaux de "
            "liens symboliques");
        row("he", "linked record",
            "המערכת מתעלמת מיומן השינויים \u2068{p}\u2069: לא ניתן לקרוא אותו: יותר מדי רמות של "
            "קישורים סמליים");
        row("it", "linked record",
            "ignoring the journal {p}: it cannot be read: Too many levels of symbolic links");
        row("de", "Trash under a file",
            "Fehler 20: Ist kein Verzeichnis (der Papierkorb unter „{p}“)");
        row("he", "Trash under a file", "שגיאה 20: אינו תיקייה (האשפה ב־\"\u2068{p}\u2069\")");
        row("it", "Trash under a file", "Error 20: Not a directory (the Trash at '{p}')");
        row("ja", "status unreadable",
            "変更記録 {p} は保持されません: ファイルの状態を読み込めません");
        row("es", "status unreadable",
            "no se conserva el registro {p}: no se puede leer el estado de un archivo");
    }
    void refusalsInTheLanguage() {
        QFETCH(QString, uiLanguages);
        QFETCH(QString, fault);
        QFETCH(QString, text);
        for (const char* code : {"de", "fr"})
            if (!QFile::exists(QString("/usr/share/locale/%1/LC_MESSAGES/libc.mo").arg(code)))
                MORVANE_SKIP("the C library's translations are not installed (libc-l10n)");
        speak(uiLanguages, "C.UTF-8");
        QTemporaryDir tmp;
        const QString state = tmp.path() + "/state", record = state + "/changes/1-1";
        QString said, at = record;
        if (fault.endsWith("record")) {
            QVERIFY(QDir().mkpath(state + "/changes"));
            // A link in a record's place, even to a file, is never followed.
            write(fault == "foreign record" ? record : tmp.path() + "/a", "not a record");
            if (fault == "linked record") QVERIFY(QFile::link(tmp.path() + "/a", record));
            FileJournal j(state);
            j.load();
            said = j.problem();
        } else if (fault == "Trash under a file") {
            write(tmp.path() + "/file", "a file where the data folder would be");
            at = tmp.path() + "/file/data/Trash";
            const QByteArray data = qgetenv("XDG_DATA_HOME");
            qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.path() + "/file/data"));
            const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", data); });
            try {
                posix::trashFolderFor(tmp.path());
                QFAIL("a Trash was made under a file");
            } catch (const Failure& f) {
                said = errorMessage(f).text;
            }
        } else {
            // The status call as the change puts the file on record fails, once.
            write(tmp.path() + "/a.txt", "a");
            StatusFailsOnce fs;
            fs.fails = true;
            ScriptedBox box;
            FileJournal j(state);
            changeAndReport({tmp.path() + "/a.txt", "txt", "md", false, false}, fs, box,
                            noProgress(), &j);
            said = j.problem();
            at = state;
        }
        QCOMPARE(said, QString(text).replace("{p}", at));
    }

    // Each text's plural form as its language has it, for the counts where forms differ.
    void plurals_data() {
        QTest::addColumn<QString>("uiLanguages");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("en 1") << "en" << qint64(1) << "Undo cancelled. 1 file restored.";
        QTest::newRow("en 0") << "en" << qint64(0) << "Undo cancelled. 0 files restored.";
        QTest::newRow("de 1") << "de" << qint64(1)
                              << "Rückgängigmachen abgebrochen. 1 Datei wiederhergestellt.";
        QTest::newRow("de 2") << "de" << qint64(2)
                              << "Rückgängigmachen abgebrochen. 2 Dateien wiederhergestellt.";
        QTest::newRow("fr 0, singular in French")
            << "fr" << qint64(0) << "Annulation interrompue. 0 fichier restauré.";
        QTest::newRow("fr 2") << "fr" << qint64(2)
                              << "Annulation interrompue. 2 fichiers restaurés.";
        QTest::newRow("he 1") << "he" << qint64(1) << "הביטול הופסק. שוחזר 1 קובץ.";
        QTest::newRow("he 3") << "he" << qint64(3) << "הביטול הופסק. שוחזרו 3 קבצים.";
        QTest::newRow("en past an int")
            << "en" << qint64(5000000001) << "Undo cancelled. 5000000001 files restored.";
        QTest::newRow("de past an int, ending in 1")
            << "de" << qint64(3000000001)
            << "Rückgängigmachen abgebrochen. 3000000001 Dateien wiederhergestellt.";
    }
    void plurals() {
        QFETCH(QString, uiLanguages);
        QFETCH(qint64, count);
        speak(uiLanguages, "C.UTF-8");
        ChangeReport r;
        r.of = ChangeReport::Of::Undo;
        r.end = ChangeEnd::Cancelled;
        r.count = count;
        QTEST(endingMessage(r)->text, "text");
    }

private:
    QTemporaryDir config_;
};

QTEST_MAIN(tst_language)
#include "tst_language.moc"
