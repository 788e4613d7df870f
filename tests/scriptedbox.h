#pragma once

// A message box that answers by intent from a script instead of a modal loop, and remembers
// what it was shown, in the words the window would use.
#include "apptitle.h"
#include "messages.h"

#include <QHash>
#include <QStringList>
#include <functional>

struct ScriptedBox : morvane::MessageBox {
    struct Shown {
        QString prompt;
        int style;
        QString caption;
    };
    QList<Shown> shown;
    QHash<QString, int> answers; // by the bare name of the target asked about; Yes otherwise
    std::function<void()> onPrompt;
    int closing = Ok; // the answer to a closing box (Undo where it offers it)

    bool askOverwrite(const QString& target) override {
        record(morvane::overwriteQuestion(target));
        if (onPrompt) onPrompt();
        return answers.value(target.mid(target.lastIndexOf(QLatin1Char('/')) + 1), Yes) == Yes;
    }
    bool reportEnding(const morvane::ChangeReport& report) override {
        const std::optional<morvane::Message> m = morvane::endingMessage(report);
        if (!m) return false;
        record(*m);
        return (m->style & WithUndo) && closing == Undo;
    }
    void reportError(const morvane::Failure& failure) override {
        record(morvane::errorMessage(failure));
    }
    bool askRecovery(qint64 changed, qint64 total) override {
        record(morvane::recoveryQuestion(changed, total));
        return true;
    }
    bool askFinishUndo(qint64 done, qint64 total) override {
        record(morvane::finishUndoQuestion(done, total));
        return true;
    }
    QStringList texts() const {
        QStringList t;
        for (const Shown& s : shown)
            t.append(s.prompt);
        return t;
    }

private:
    void record(const morvane::Message& m) {
        shown.append(
            {m.text, m.style, m.caption.isEmpty() ? morvane::applicationTitle() : m.caption});
    }
};
