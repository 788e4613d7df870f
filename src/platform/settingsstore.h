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
    // Puts the writes on disk, without waiting long for the lock beside the file. False, with
    // the reason, when they could not be stored; the previous file then stays as it was, as
    // does a file that could not be read.
    bool save(QString* why = nullptr);
    // Empty when the store was read (or is absent); otherwise why it was ignored.
    QString readProblem() const { return readProblem_; }
    QString fileName() const { return settings_.fileName(); }

private:
    // On Linux QSettings only names the file: its writes wait on the lock without limit, and
    // it remembers a file it once failed to read as valid and empty.
    QSettings settings_;
    QSettings::SettingsMap values_;
    QString readProblem_;
    bool unreadable_ = false; // there, but not read whole: never replaced
};

// The file format behind the store on this system.
QSettings::Format settingsFormat();

} // namespace morvane
