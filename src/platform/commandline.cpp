#include "commandline.h"

#include <QFile>
#include <QStringList>

namespace morvane {

QString commandLineText(int argc, char** argv, bool* exact) {
    QStringList args;
    bool same = true;
    for (int i = 1; i < argc; ++i) {
        args.append(QFile::decodeName(argv[i])); // file names, in the system's encoding
        same = same && QFile::encodeName(args.constLast()) == argv[i];
    }
    if (exact) *exact = same;
    return args.join(QLatin1Char(' '));
}

} // namespace morvane
