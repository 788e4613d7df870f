// The text rules on paths, with both separators: Windows paths ("\") run on every system.
#include "extensionchange.h"
#include "messages.h"
#include "pathrules.h"

#include <QTest>

using namespace morvane;

class tst_pathrules : public QObject {
    Q_OBJECT
private slots:
    void extension_data();
    void extension();
    void folder_data();
    void folder();
    void target_data();
    void target();
    void stripEnclosing_data();
    void stripEnclosing();
    void leadingDot_data();
    void leadingDot();
    void namePattern_data();
    void namePattern();
    void forbiddenCharacters_data();
    void forbiddenCharacters();
};

void tst_pathrules::extension_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("extension");
    const QChar win('\\'), nix('/');
    QTest::newRow("windows plain") << "C:\\docs\\report.txt" << win << "txt";
    QTest::newRow("windows no dot") << "C:\\a\\file" << win << "";
    QTest::newRow("windows trailing dot") << "C:\\a\\file." << win << "";
    QTest::newRow("windows last of two dots") << "C:\\a\\file.tar.gz" << win << "gz";
    QTest::newRow("windows dot only in folder") << "C:\\my.dir\\file" << win << "";
    QTest::newRow("linux dot only in folder") << "/home/ann/my.dir/README" << nix << "";
    QTest::newRow("linux last of two dots") << "/home/ann/a.tar.gz" << nix << "gz";
    QTest::newRow("no folder") << "report.txt" << nix << "txt";
    QTest::newRow("empty") << "" << nix << "";
    QTest::newRow("hidden name") << "/home/ann/.bashrc" << nix << "bashrc";
    QTest::newRow("backslash is a name character on linux") << "/x/a.b\\c" << nix << "b\\c";
    QTest::newRow("pattern") << "/docs/*.txt" << nix << "txt";
}

void tst_pathrules::extension() {
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QTEST(extensionOfPath(path, sep), "extension");
}

void tst_pathrules::folder_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("folder");
    QTest::newRow("windows") << "C:\\docs\\report.txt" << QChar('\\') << "C:\\docs\\";
    QTest::newRow("linux") << "/home/ann/a.txt" << QChar('/') << "/home/ann/";
    QTest::newRow("root") << "/a.txt" << QChar('/') << "/";
    QTest::newRow("no folder") << "report.txt" << QChar('/') << "";
    QTest::newRow("trailing separator") << "/home/ann/" << QChar('/') << "/home/ann/";
}

void tst_pathrules::folder() {
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QTEST(folderOfPath(path, sep), "folder");
}

void tst_pathrules::target_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("target");
    const QChar win('\\'), nix('/');
    QTest::newRow("rename") << "C:\\docs\\report.txt"
                            << "txt"
                            << "md" << win << "C:\\docs\\report.md";
    QTest::newRow("add extension") << "C:\\docs\\readme"
                                   << ""
                                   << "txt" << win << "C:\\docs\\readme.txt";
    QTest::newRow("drop extension") << "C:\\docs\\report.txt"
                                    << "txt"
                                    << "" << win << "C:\\docs\\report";
    QTest::newRow("case only") << "C:\\a\\x.TXT"
                               << "TXT"
                               << "txt" << win << "C:\\a\\x.txt";
    QTest::newRow("double dot kept") << "C:\\docs\\report.txt"
                                     << "txt"
                                     << ".md" << win << "C:\\docs\\report..md";
    QTest::newRow("dot in folder, none in name") << "/home/ann/my.dir/NOTES"
                                                 << ""
                                                 << "md" << nix << "/home/ann/my.dir/NOTES.md";
    QTest::newRow("windows dot in folder") << "C:\\my.dir\\NOTES"
                                           << ""
                                           << "md" << win << "C:\\my.dir\\NOTES.md";
    QTest::newRow("name ending in dot") << "/x/file."
                                        << ""
                                        << "md" << nix << "/x/file.md";
    QTest::newRow("same extension") << "/x/a.txt"
                                    << "txt"
                                    << "txt" << nix << "/x/a.txt";
    QTest::newRow("last of two dots") << "/x/a.tar.gz"
                                      << "gz"
                                      << "xz" << nix << "/x/a.tar.xz";
    QTest::newRow("no folder") << "report.txt"
                               << "txt"
                               << "md" << nix << "report.md";
    // Neither a dot nor a separator: nothing to cut before the new extension.
    QTest::newRow("bare name without extension") << "README"
                                                 << ""
                                                 << "md" << nix << "README.md";
}

void tst_pathrules::target() {
    QFETCH(QString, source);
    QFETCH(QString, current);
    QFETCH(QString, next);
    QFETCH(QChar, sep);
    QTEST(targetName(source, current, next, sep), "target");
}

void tst_pathrules::stripEnclosing_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");
    QTest::newRow("enclosed") << "\"C:\\docs\\report.txt\""
                              << "C:\\docs\\report.txt";
    QTest::newRow("two before, one after") << "\"\"/x/a b.txt\""
                                           << "/x/a b.txt";
    QTest::newRow("inner quotes stay") << "\"a\" \"b\""
                                       << "a\" \"b";
    QTest::newRow("only quotes") << "\"\"\""
                                 << "";
    QTest::newRow("none") << "/x/a.txt"
                          << "/x/a.txt";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_pathrules::stripEnclosing() {
    QFETCH(QString, text);
    QTEST(StripEnclosing(text, QLatin1Char('"')), "stripped");
}

void tst_pathrules::leadingDot_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");
    QTest::newRow("one dot") << ".md"
                             << "md";
    QTest::newRow("only the first of two") << "..md"
                                           << ".md";
    QTest::newRow("lone dot") << "."
                              << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("none") << "md"
                          << "md";
    QTest::newRow("inner dot stays") << "tar.gz"
                                     << "tar.gz";
}

void tst_pathrules::leadingDot() {
    QFETCH(QString, text);
    QTEST(stripLeadingDot(text), "stripped");
}

void tst_pathrules::namePattern_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");
    QTest::newRow("star extension") << "report.txt"
                                    << "*.txt" << true;
    QTest::newRow("case-sensitive") << "report.TXT"
                                    << "*.txt" << false;
    QTest::newRow("other extension") << "report.log"
                                     << "*.txt" << false;
    QTest::newRow("last extension only") << "a.txt.bak"
                                         << "*.txt" << false;
    QTest::newRow("two dots") << "a.b.txt"
                              << "*.txt" << true;
    QTest::newRow("question mark") << "a1.txt"
                                   << "a?.txt" << true;
    QTest::newRow("question mark needs one") << "a.txt"
                                             << "a?.txt" << false;
    QTest::newRow("no extension wanted: none") << "README"
                                               << "*." << true;
    QTest::newRow("no extension wanted: has one") << "a.txt"
                                                  << "*." << false;
    QTest::newRow("no extension wanted: trailing dot") << "file."
                                                       << "*." << true;
    QTest::newRow("literal") << "a.txt"
                             << "a.txt" << true;
    QTest::newRow("star in the middle") << "abcabd.x"
                                        << "a*bd.x" << true;
    QTest::newRow("backtracking") << "aaaaaaaaaaaaaaaaaaaaaaaab"
                                  << "*a*a*a*a*a*c" << false;
    QTest::newRow("empty extension pattern") << "a.txt"
                                             << "*.txt*" << true;
}

void tst_pathrules::namePattern() {
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QTEST(matchesNamePattern(name, pattern), "matches");
}

void tst_pathrules::forbiddenCharacters_data() {
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("message");
    QTest::newRow("plain") << "md" << QChar('/') << "";
    QTest::newRow("dots and spaces are fine") << ".tar gz" << QChar('/') << "";
    QTest::newRow("slash") << "x/y" << QChar('/')
                           << "Error 22: Invalid argument: a new extension "
                              "cannot hold \"/\"";
    QTest::newRow("slash on windows too") << "x/y" << QChar('\\')
                                          << "Error 22: Invalid argument: "
                                             "a new extension cannot hold "
                                             "\"/\"";
    QTest::newRow("backslash on windows") << "x\\y" << QChar('\\')
                                          << "Error 22: Invalid argument: a new extension cannot "
                                             "hold \"\\\"";
    QTest::newRow("backslash on linux is a name character") << "x\\y" << QChar('/') << "";
    QTest::newRow("tab") << "m\td" << QChar('/')
                         << "Error 22: Invalid argument: a new extension "
                            "cannot hold U+0009";
}

void tst_pathrules::forbiddenCharacters() {
    QFETCH(QString, ext);
    QFETCH(QChar, sep);
    QFETCH(QString, message);
    const auto refused = checkNewExtension(ext, sep);
    QCOMPARE(refused ? errorText(*refused) : QString(), message);
}

QTEST_APPLESS_MAIN(tst_pathrules)
#include "tst_pathrules.moc"
