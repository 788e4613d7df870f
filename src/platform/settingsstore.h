#pragma once

#include <QSettings>
#include <QString>

namespace morvane {

// The per-user store of the program's remembered texts, section "General". On Linux it is
// $XDG_CONFIG_HOME/Morvane/Morvane.json (else ~/.config/...): a JSON file, written whole or
// not at all.
class SettingsStore {
public:
    SettingsStore();
    // The stored text, or fallback when the key is absent (or the store could not be read).
    QString read(const QString& key, const QString& fallback) const;
    void write(const QString& key, const QString& value);
    // Puts the writes on disk. False, with the reason, when they could not be stored; the
    // previous file then stays as it was.
    bool save(QString* why = nullptr);
    // Empty when the store was read (or is absent); otherwise why it was ignored.
    QString readProblem() const { return readProblem_; }
    QString fileName() const { return settings_.fileName(); }

private:
    bool replaceUnreadable(QString* why);

    QSettings settings_;
    QString readProblem_;
};

// The file format behind the store on this system.
QSettings::Format settingsFormat();

} // namespace morvane
