#pragma once

#include <QString>
#include <QtGlobal>

namespace morvane {

// What a change reports while it runs, and how it is asked to stop. Called on the thread
// that runs the change, for every file: an implementation keeps each call cheap. This one
// reports nowhere and never stops.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void reading(qint64 found) { Q_UNUSED(found) } // names found while listing
    virtual void changing(qint64 number, qint64 total, const QString& path) {
        Q_UNUSED(number)
        Q_UNUSED(total)
        Q_UNUSED(path)
    }
    // Whether the next changing() should be given the file's path: a folder run makes the
    // path of a file only when it is to be shown, and passes a null text otherwise.
    virtual bool wantsPath() const { return false; }
    virtual void copying(qint64 done, qint64 size) {
        Q_UNUSED(done)
        Q_UNUSED(size)
    }
    virtual bool cancelled() const { return false; }
};

inline Progress& noProgress() {
    static Progress none;
    return none;
}

} // namespace morvane
