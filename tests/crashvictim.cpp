// The program tst_crash kills: one folder run of the Change button over an existing folder,
// every text file to md (or a copy of each), with its journal, and nothing else.
//
//   crashvictim DIR [--copy] [--journal J]
//
// Prints "started" just before the run and "finished in S s: <closing message>" after;
// exits 0 when the run completed without a question.

#include "extensionchange.h"
#include "filesystem.h"
#include "journal.h"

#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <string>

namespace {

// Answers Yes to every question (none is expected) and keeps the closing message.
class YesBox : public morvane::MessageBox {
public:
    int show(const QString& prompt, int style, const QString&) override {
        if (style == YesNoWarning) {
            ++questions;
            return Yes;
        }
        last = prompt;
        return Ok;
    }
    long questions = 0;
    QString last;
};

// The first visible text file: the file box names one file of the folder run.
std::string firstTextFile(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
        std::perror(("crashvictim: opendir " + dir).c_str());
        std::exit(2);
    }
    std::string first;
    while (const dirent* e = ::readdir(d)) {
        const size_t len = std::strlen(e->d_name);
        if (e->d_name[0] != '.' && len >= 4 && std::strcmp(e->d_name + len - 4, ".txt") == 0) {
            first = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return first.empty() ? "none.txt" : first; // the folder run only needs the folder part
}

} // namespace

int main(int argc, char** argv) {
    std::string dir, journalPath;
    bool copy = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--copy") == 0)
            copy = true;
        else if (std::strcmp(argv[i], "--journal") == 0 && i + 1 < argc)
            journalPath = argv[++i];
        else if (argv[i][0] != '-' && dir.empty())
            dir = argv[i];
        else {
            dir.clear(); // anything else: the usage line
            break;
        }
    }
    if (dir.empty()) {
        std::fprintf(stderr, "usage: crashvictim DIR [--copy] [--journal J]\n");
        return 2;
    }
    morvane::ignoreFileSizeSignal();
    const std::string first = firstTextFile(dir);
    std::printf("started\n");
    std::fflush(stdout);

    std::unique_ptr<morvane::FileJournal> journal;
    if (!journalPath.empty())
        journal = std::make_unique<morvane::FileJournal>(QFile::decodeName(journalPath.c_str()));
    morvane::ChangeRequest request;
    request.fileText = QFile::decodeName((dir + "/" + first).c_str());
    request.currentExt = QStringLiteral("txt");
    request.newExt = QStringLiteral("md");
    request.allInFolder = true;
    request.leaveCopy = copy;
    morvane::NativeFileSystem fs;
    YesBox box;
    const auto t0 = std::chrono::steady_clock::now();
    const morvane::ChangeEnd end =
        morvane::changeExtension(request, fs, box, morvane::noProgress(), journal.get());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    morvane::giveBackFreeMemory(); // as the window does after every run
    std::printf("finished in %.4f s: %s\n", seconds, box.last.toStdString().c_str());
    const bool ok =
        end == morvane::ChangeEnd::Completed || end == morvane::ChangeEnd::NothingChanged;
    return ok && box.questions == 0 ? 0 : 1;
}
