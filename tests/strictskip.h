#pragma once

// A test that cannot have what it needs here (root, /dev/fuse, the extra fonts) skips on a
// developer's machine; on CI, which has them all (MORVANE_STRICT=1), it fails instead, so that
// a lost capability cannot hide behind a skip.
#include <QByteArray>
#include <QTest>

inline bool strictSkips() {
    return qEnvironmentVariableIntValue("MORVANE_STRICT") != 0;
}

#define MORVANE_SKIP(why)                                                                          \
    do {                                                                                           \
        if (strictSkips())                                                                         \
            QFAIL((QByteArray("would skip, but MORVANE_STRICT is set: ") + (why)).constData());    \
        QSKIP(why);                                                                                \
    } while (false)
