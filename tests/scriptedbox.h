#pragma once

// A message box that answers from a script instead of a modal loop, and remembers what
// it was shown.
#include "ports.h"

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
    QHash<QString, int> answers; // by the target named in an overwrite prompt; Yes otherwise
    std::function<void()> onPrompt;
    int closing = Ok; // the answer to a closing box (Undo where it offers it)

    int show(const QString& prompt, int style, const QString& caption = {}) override {
        shown.append({prompt, style, caption.isEmpty() ? morvane::applicationTitle() : caption});
        if (style & WithUndo) return closing;
        if (style == YesNoQuestion) return Yes;
        if (style != YesNoWarning) return Ok;
        if (onPrompt) onPrompt();
        const qsizetype from = prompt.indexOf(QLatin1Char('\'')) + 1;
        const QString target = prompt.mid(from, prompt.lastIndexOf(QLatin1Char('\'')) - from);
        return answers.value(target.mid(target.lastIndexOf(QLatin1Char('/')) + 1), Yes);
    }
    QStringList texts() const {
        QStringList t;
        for (const Shown& s : shown)
            t.append(s.prompt);
        return t;
    }
};
