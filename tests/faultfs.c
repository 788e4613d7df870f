// faultfs BACKING MOUNTPOINT [--chmod-errno=N] [--utimens-errno=N] [--eio=NAME] [--casefold]
//         [--rename-delay-ms=N]
//
// A pass-through of BACKING at MOUNTPOINT that fails where the tests ask it to, and with
// --casefold looks names up ignoring ASCII case while keeping their spelling, as FAT and
// NTFS do; with --rename-delay-ms every rename takes that long, as on a slow share. Runs in
// the foreground, single-threaded, until unmounted.
#define _GNU_SOURCE
#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

static char backing[PATH_MAX];
static int chmodErrno, utimensErrno, casefold, renameDelayMs;
static const char* eioName;

// The descriptor lives in the low 32 bits of fh; this bit marks a file whose reads fail.
#define EIO_FLAG (1ULL << 32)
#define FD(fi) ((int)((fi)->fh & 0xffffffffu))

// Real inode numbers, and no caching: names can change case behind a cached entry. An open
// file that is unlinked stays as a hidden .fuse_hidden* file until closed, since the kernel
// asks for fstat() and fchmod() of it by path.
static void* fs_init(struct fuse_conn_info* conn, struct fuse_config* cfg) {
    (void)conn;
    cfg->use_ino = 1;
    cfg->nullpath_ok = 1;
    cfg->entry_timeout = cfg->attr_timeout = cfg->negative_timeout = 0;
    return NULL;
}

// Maps a path of the mount to its backing path. With --casefold every component takes
// the spelling of the backing entry equal to it ignoring case (an exact match wins); a
// component without one keeps its own spelling, so creating it makes that name.
static int resolve(const char* path, char out[PATH_MAX]) {
    if (snprintf(out, PATH_MAX, "%s%s", backing, path) >= PATH_MAX) return -ENAMETOOLONG;
    if (!casefold) return 0;
    struct stat st;
    for (char* slash = out + strlen(backing); *slash == '/';) {
        char* name = slash + 1;
        char* end = strchrnul(name, '/');
        if (end == name) break;
        char saved = *end;
        *end = '\0';
        if (lstat(out, &st) != 0) {
            *slash = '\0';
            DIR* dir = opendir(*out ? out : "/");
            *slash = '/';
            for (struct dirent* e; dir && (e = readdir(dir));) {
                if (strcasecmp(e->d_name, name) == 0) {
                    memcpy(name, e->d_name, end - name); // ASCII case: same length
                    break;
                }
            }
            if (dir) closedir(dir);
        }
        *end = saved;
        slash = end;
    }
    return 0;
}

#define RESOLVE(var, path)                                                                         \
    char var[PATH_MAX];                                                                            \
    do {                                                                                           \
        int r_ = resolve(path, var);                                                               \
        if (r_) return r_;                                                                         \
    } while (0)

static int ok(int res) {
    return res == -1 ? -errno : 0;
}

static int fs_getattr(const char* path, struct stat* st, struct fuse_file_info* fi) {
    if (fi) return ok(fstat(FD(fi), st));
    RESOLVE(p, path);
    return ok(lstat(p, st));
}

// Folders are read through the handle: with nullpath_ok the path may be missing here.
static int fs_opendir(const char* path, struct fuse_file_info* fi) {
    RESOLVE(p, path);
    DIR* dir = opendir(p);
    fi->fh = (uintptr_t)dir;
    return dir ? 0 : -errno;
}

static int fs_readdir(const char* path, void* buf, fuse_fill_dir_t fill, off_t off,
                      struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
    (void)path, (void)off, (void)flags;
    DIR* dir = (DIR*)(uintptr_t)fi->fh;
    rewinddir(dir);
    for (struct dirent* e; (e = readdir(dir));) {
        struct stat st = {.st_ino = e->d_ino, .st_mode = (mode_t)e->d_type << 12};
        if (fill(buf, e->d_name, &st, 0, 0)) break;
    }
    return 0;
}

static int fs_releasedir(const char* path, struct fuse_file_info* fi) {
    (void)path;
    closedir((DIR*)(uintptr_t)fi->fh);
    return 0;
}

// Marks the file named by --eio, by its name in the backing folder.
static int openedAs(int fd, const char* real, struct fuse_file_info* fi) {
    if (fd == -1) return -errno;
    const char* last = strrchr(real, '/');
    fi->fh = (uint64_t)fd | (eioName && strcmp(last + 1, eioName) == 0 ? EIO_FLAG : 0);
    return 0;
}

static int fs_open(const char* path, struct fuse_file_info* fi) {
    RESOLVE(p, path);
    return openedAs(open(p, fi->flags), p, fi);
}

static int fs_create(const char* path, mode_t mode, struct fuse_file_info* fi) {
    RESOLVE(p, path);
    return openedAs(open(p, fi->flags | O_CREAT, mode), p, fi);
}

static int fs_read(const char* path, char* buf, size_t size, off_t off, struct fuse_file_info* fi) {
    (void)path;
    if (fi->fh & EIO_FLAG) return -EIO;
    ssize_t n = pread(FD(fi), buf, size, off);
    return n == -1 ? -errno : (int)n;
}

static int fs_write(const char* path, const char* buf, size_t size, off_t off,
                    struct fuse_file_info* fi) {
    (void)path;
    ssize_t n = pwrite(FD(fi), buf, size, off);
    return n == -1 ? -errno : (int)n;
}

// close() of a duplicate reports what close() of the file would, without closing it.
static int fs_flush(const char* path, struct fuse_file_info* fi) {
    (void)path;
    int fd = dup(FD(fi));
    return fd == -1 ? -errno : ok(close(fd));
}

static int fs_release(const char* path, struct fuse_file_info* fi) {
    (void)path;
    close(FD(fi));
    return 0;
}

static int fs_fsync(const char* path, int dataOnly, struct fuse_file_info* fi) {
    (void)path;
    return ok(dataOnly ? fdatasync(FD(fi)) : fsync(FD(fi)));
}

static int fs_truncate(const char* path, off_t size, struct fuse_file_info* fi) {
    if (fi) return ok(ftruncate(FD(fi), size));
    RESOLVE(p, path);
    return ok(truncate(p, size));
}

static int fs_unlink(const char* path) {
    RESOLVE(p, path);
    return ok(unlink(p));
}

static int fs_mkdir(const char* path, mode_t mode) {
    RESOLVE(p, path);
    return ok(mkdir(p, mode));
}

static int fs_rmdir(const char* path) {
    RESOLVE(p, path);
    return ok(rmdir(p));
}

static int fs_mknod(const char* path, mode_t mode, dev_t dev) {
    RESOLVE(p, path);
    return ok(mknod(p, mode, dev));
}

static int fs_rename(const char* from, const char* to, unsigned int flags) {
    if (renameDelayMs) usleep((useconds_t)renameDelayMs * 1000);
    RESOLVE(f, from);
    RESOLVE(t, to);
    const char* wanted = strrchr(to, '/') + 1;
    char* last = strrchr(t, '/') + 1;
    if (casefold && strcmp(f, t) == 0 && strcmp(last, wanted) != 0) {
        // The new name found the entry itself: only its case changes.
        if (flags & RENAME_EXCHANGE) return 0;
        strcpy(last, wanted);
    }
    return ok(renameat2(AT_FDCWD, f, AT_FDCWD, t, flags));
}

static int fs_link(const char* from, const char* to) {
    RESOLVE(f, from);
    RESOLVE(t, to);
    return ok(link(f, t));
}

static int fs_symlink(const char* target, const char* path) {
    RESOLVE(p, path);
    return ok(symlink(target, p));
}

static int fs_readlink(const char* path, char* buf, size_t size) {
    RESOLVE(p, path);
    ssize_t n = readlink(p, buf, size - 1);
    if (n == -1) return -errno;
    buf[n] = '\0';
    return 0;
}

static int fs_chmod(const char* path, mode_t mode, struct fuse_file_info* fi) {
    if (chmodErrno) return -chmodErrno;
    if (fi) return ok(fchmod(FD(fi), mode));
    RESOLVE(p, path);
    return ok(chmod(p, mode));
}

static int fs_chown(const char* path, uid_t uid, gid_t gid, struct fuse_file_info* fi) {
    if (fi) return ok(fchown(FD(fi), uid, gid));
    RESOLVE(p, path);
    return ok(lchown(p, uid, gid));
}

static int fs_utimens(const char* path, const struct timespec tv[2], struct fuse_file_info* fi) {
    if (utimensErrno) return -utimensErrno;
    if (fi) return ok(futimens(FD(fi), tv));
    RESOLVE(p, path);
    return ok(utimensat(AT_FDCWD, p, tv, AT_SYMLINK_NOFOLLOW));
}

static int fs_statfs(const char* path, struct statvfs* st) {
    RESOLVE(p, path);
    return ok(statvfs(p, st));
}

static int fs_access(const char* path, int mask) {
    RESOLVE(p, path);
    return ok(access(p, mask));
}

static const struct fuse_operations ops = {
    .init = fs_init,
    .getattr = fs_getattr,
    .opendir = fs_opendir,
    .readdir = fs_readdir,
    .releasedir = fs_releasedir,
    .open = fs_open,
    .create = fs_create,
    .read = fs_read,
    .write = fs_write,
    .flush = fs_flush,
    .release = fs_release,
    .fsync = fs_fsync,
    .truncate = fs_truncate,
    .unlink = fs_unlink,
    .mkdir = fs_mkdir,
    .rmdir = fs_rmdir,
    .mknod = fs_mknod,
    .rename = fs_rename,
    .link = fs_link,
    .symlink = fs_symlink,
    .readlink = fs_readlink,
    .chmod = fs_chmod,
    .chown = fs_chown,
    .utimens = fs_utimens,
    .statfs = fs_statfs,
    .access = fs_access,
};

static int errnoOption(const char* arg, const char* name, int* out) {
    size_t n = strlen(name);
    if (strncmp(arg, name, n) != 0) return 0;
    char* end;
    long v = strtol(arg + n, &end, 10);
    if (*end || v <= 0 || v > 4095) {
        fprintf(stderr, "faultfs: bad errno in %s\n", arg);
        exit(2);
    }
    *out = (int)v;
    return 1;
}

int main(int argc, char* argv[]) {
    if (argc < 3) {
        fprintf(stderr, "usage: faultfs BACKING MOUNTPOINT [--chmod-errno=N] "
                        "[--utimens-errno=N] [--eio=NAME] [--casefold] [--rename-delay-ms=N]\n");
        return 2;
    }
    if (!realpath(argv[1], backing)) {
        perror(argv[1]);
        return 1;
    }
    if (strcmp(backing, "/") == 0) backing[0] = '\0'; // paths of the mount already begin with "/"
    for (int i = 3; i < argc; ++i) {
        if (strcmp(argv[i], "--casefold") == 0)
            casefold = 1;
        else if (strncmp(argv[i], "--eio=", 6) == 0)
            eioName = argv[i] + 6;
        else if (!errnoOption(argv[i], "--chmod-errno=", &chmodErrno) &&
                 !errnoOption(argv[i], "--utimens-errno=", &utimensErrno) &&
                 !errnoOption(argv[i], "--rename-delay-ms=", &renameDelayMs)) {
            fprintf(stderr, "faultfs: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    umask(0); // the modes asked for through the mount were already masked by the caller
    char* fuseArgs[] = {
        argv[0], "-f", "-s", "-o", "fsname=faultfs,subtype=faultfs,default_permissions",
        argv[2], NULL};
    return fuse_main(6, fuseArgs, &ops, NULL);
}
