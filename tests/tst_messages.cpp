// Every text a box shows, from the values it is composed of, in the boxes' own styles.
#include "language.h"
#include "messages.h"

#include <QTest>

#include <cerrno>

using namespace morvane;

Q_DECLARE_METATYPE(ChangeReport)

class tst_messages : public QObject {
    Q_OBJECT

private slots:
    // As the program does: English takes its singulars from its translation.
    void initTestCase() { useLanguage(QLocale(QLocale::English)); }

    void endings_data() {
        QTest::addColumn<ChangeReport>("report");
        QTest::addColumn<QString>("text"); // null: nothing is shown
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("caption");
        using E = ChangeEnd;
        const auto change = [](E end, qint64 count, bool undoable = false) {
            ChangeReport r;
            r.end = end;
            r.count = count;
            r.undoable = undoable;
            r.failure = {13, "Permission denied"};
            return r;
        };
        const auto undo = [&](E end, qint64 count, qint64 left = 0) {
            ChangeReport r = change(end, count);
            r.of = ChangeReport::Of::Undo;
            r.left = left;
            return r;
        };
        const int ok = MessageBox::OkOnly, error = MessageBox::OkError, u = MessageBox::WithUndo;
        QTest::newRow("single file")
            << change(E::Completed, 0, true) << "Conversion complete. " << (ok | u) << QString();
        QTest::newRow("folder") << change(E::Completed, 2)
                                << "Conversion complete. 2 file "
                                   "extensions changed."
                                << ok << QString();
        QTest::newRow("one of a folder")
            << change(E::Completed, 1) << "Conversion complete. 1 file extensions changed." << ok
            << QString();
        QTest::newRow("none") << change(E::NothingChanged, 0, true) << "No file extensions changed."
                              << (ok | u) << QString();
        QTest::newRow("cancelled")
            << change(E::Cancelled, 3, true) << "Conversion cancelled. 3 file extensions changed."
            << (ok | u) << QString();
        QTest::newRow("cancelled at once")
            << change(E::Cancelled, 0) << "Conversion cancelled. " << ok << QString();
        QTest::newRow("failed, undoable")
            << change(E::Failed, 1, true) << "Error 13: Permission denied" << (error | u)
            << "Error";
        QTest::newRow("declined") << change(E::Declined, 0) << QString() << 0 << QString();
        QTest::newRow("undone") << undo(E::Undone, 2) << "Undo complete. 2 files restored." << ok
                                << QString();
        ChangeReport gone = undo(E::FolderGone, 0);
        gone.folder = "/home/u/photos";
        QTest::newRow("folder gone")
            << gone << "The folder '/home/u/photos' is no longer there; nothing was undone." << ok
            << QString();
        QTest::newRow("not recorded")
            << undo(E::NotRecorded, 0)
            << "The last change could not be recorded, so it cannot be undone." << ok << QString();
        QTest::newRow("undone, some left")
            << undo(E::Undone, 1, 2)
            << "Undo complete. 1 file restored; 2 left as they are because they changed since."
            << ok << QString();
        QTest::newRow("one undone")
            << undo(E::Undone, 1) << "Undo complete. 1 file restored." << ok << QString();
        ChangeReport refused = undo(E::Undone, 1, 1);
        refused.refused = 4;
        refused.refusals = {{"c.md", {1, "Operation not permitted"}}, {"d.md", {5, "I/O error"}}};
        QTest::newRow("undone, some refused")
            << refused
            << "Undo complete. 1 file restored; 1 left as it is because it changed since; 4 "
               "could not be put back: 'c.md' (Operation not permitted), 'd.md' (I/O error) and 2 "
               "more."
            << ok << QString();
        ChangeReport notBack = undo(E::Undone, 3);
        notBack.replacedNotBack = 5;
        notBack.notBack = {{"a.md", {ENOENT, {}}}, {"b.md", {EEXIST, {}}}};
        QTest::newRow("replaced files not back")
            << notBack
            << "Undo complete. 3 files restored; the file that 'a.md' replaced is no longer in "
               "the Trash; the file that 'b.md' replaced stays in the Trash, as its name is "
               "taken (and 3 more)."
            << ok << QString();
        QTest::newRow("undo cancelled")
            << undo(E::Cancelled, 4) << "Undo cancelled. 4 files restored." << ok << QString();
        QTest::newRow("undo failed")
            << undo(E::Failed, 0) << "Error 13: Permission denied" << error << "Error";
        QTest::newRow("nothing to undo")
            << undo(E::NothingChanged, 0) << QString() << 0 << QString();
    }
    void endings() {
        QFETCH(ChangeReport, report);
        QFETCH(QString, text);
        const std::optional<Message> m = endingMessage(report);
        QCOMPARE(m.has_value(), !text.isNull());
        if (!m) return;
        QCOMPARE(m->text, text);
        QTEST(m->style, "style");
        QTEST(m->caption, "caption");
    }

    void questions() {
        const Message overwrite = overwriteQuestion("/d/a.md");
        QCOMPARE(overwrite.text, QString("The destination file '/d/a.md' already exisits, "
                                         "overwrite?"));
        QCOMPARE(overwrite.style, int(MessageBox::YesNoWarning));
        const Message recovery = recoveryQuestion(3, 12);
        QCOMPARE(recovery.text,
                 QString("The last change was interrupted after 3 of 12 files. Undo it?"));
        QCOMPARE(recovery.style, int(MessageBox::YesNoQuestion));
        QCOMPARE(recoveryQuestion(1, 1).text,
                 QString("The last change was interrupted after 1 of 1 file. Undo it?"));
        const Message finish = finishUndoQuestion(4, 9);
        QCOMPARE(finish.text,
                 QString("The last undo was interrupted after 4 of 9 files. Finish it?"));
        QCOMPARE(finish.style, int(MessageBox::YesNoQuestion));
    }
};

QTEST_GUILESS_MAIN(tst_messages)
#include "tst_messages.moc"
