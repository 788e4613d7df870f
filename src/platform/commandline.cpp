#include "commandline.h"

#include <QFile>
#include <QStringList>

namespace morvane {

QString commandLineText(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QFile::decodeName(argv[i])); // file names, in the system's encoding
    return args.join(QLatin1Char(' '));
}

} // namespace morvane
