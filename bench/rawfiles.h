#pragma once

// Plain system calls for making and checking folders of many small files, shared by the
// benchmark and the crash test: no toolkit in the way of what is measured.
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace rawfiles {

// Creates name (which must not exist yet) in the open folder dfd, holding data.
inline bool writeFile(int dfd, const std::string& name, const std::string& data) {
    const int fd = ::openat(dfd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = ::write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    return ::close(fd) == 0 && ok;
}

inline bool readFile(int dfd, const char* name, std::string& out) {
    const int fd = ::openat(dfd, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char b[512];
    out.clear();
    for (;;) {
        const ssize_t n = ::read(fd, b, sizeof b);
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        out.append(b, static_cast<size_t>(n));
    }
}

// The number of a name made here, prefix + six digits + "." + ext; 0 for any other name.
inline long numberOf(const char* name, char prefix, const char* ext, size_t digits = 6) {
    if (name[0] != prefix || std::strlen(name) != digits + 2 + std::strlen(ext) ||
        name[digits + 1] != '.' || std::strcmp(name + digits + 2, ext) != 0)
        return 0;
    long v = 0;
    for (size_t k = 1; k <= digits; ++k) {
        if (name[k] < '0' || name[k] > '9') return 0;
        v = v * 10 + (name[k] - '0');
    }
    return v;
}

} // namespace rawfiles
