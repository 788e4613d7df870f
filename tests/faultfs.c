// faultfs [OPTION...] BACKING MOUNTPOINT: BACKING passed through at MOUNTPOINT, failing where
// the tests ask. --chmod-errno=N and --utimens-errno=N fail those calls with errno N, --eio=NAME
// fails the reads of files called NAME; --casefold looks names up ignoring ASCII case but keeps
// their spelling, as FAT and NTFS do; --rename-delay-ms=N slows every rename, as a slow share
// does; --own-inodes lists inode numbers of its own, not those a status call shows, as some
// FUSE file systems and overlays do; --fail-in=FOLDER:N fails with errno N every new entry in
// FOLDER (a path of the mount, such as /.Trash-0/info): a file or folder made there, or one
// moved there, as a failing or refusing disk does; --no-exchange refuses to exchange two names,
// as many file systems do, and --no-rename-flags refuses every flag of a rename, as older
// network file systems do. Runs in the foreground, single-threaded,
// until unmounted.
#define _GNU_SOURCE
#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <getopt.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

static char backing[PATH_MAX];
static int chmodErrno, utimensErrno, casefold, renameDelayMs, ownInodes, noExchange, noFlags;
static const char* eioName;
static char failIn[PATH_MAX];
static int failInErrno;

// fh holds the descriptor in its low 32 bits, and this bit for a file whose reads fail.
#define EIO_FLAG (1ULL << 32)
#define FD(fi) ((int)((fi)->fh & 0xffffffffu))

// Real inode numbers, and no caching: names can change case behind a cached entry. An open
// file that is unlinked stays as a hidden .fuse_hidden* file until closed, since the kernel
// asks for fstat() and fchmod() of it by path. The kernel checks permissions itself
// (default_permissions), so access() never comes here.
static void* fs_init(struct fuse_conn_info* conn, struct fuse_config* cfg) {
    (void)conn;
    cfg->use_ino = cfg->nullpath_ok = 1;
    cfg->entry_timeout = cfg->attr_timeout = cfg->negative_timeout = 0;
    return NULL;
}

// The backing path of a path of the mount (none with a handle: the call then uses that).
// With --casefold every component takes the spelling of the backing entry equal to it
// ignoring case; one without keeps its own, so creating it makes that name.
static int resolve(const char* path, char out[PATH_MAX]) {
    if (snprintf(out, PATH_MAX, "%s%s", backing, path ? path : "/") >= PATH_MAX) return 0;
    for (char *name = out + strlen(backing) + 1, *end; casefold && *name; name = end + 1) {
        end = strchrnul(name, '/');
        const char saved = *end;
        struct stat st;
        *end = '\0';
        if (lstat(out, &st) != 0) { // an exact match wins
            name[-1] = '\0';
            DIR* dir = opendir(*out ? out : "/");
            name[-1] = '/';
            for (struct dirent* e; dir && (e = readdir(dir));) {
                if (strcasecmp(e->d_name, name) == 0) {
                    memcpy(name, e->d_name, end - name); // ASCII case: same length
                    break;
                }
            }
            if (dir) closedir(dir);
        }
        if (!(*end = saved)) break;
    }
    return 1;
}

// Whether a new entry at path (of the mount) is to fail: its folder is the --fail-in one.
static int refused(const char* path) {
    const char* name = strrchr(path, '/');
    const size_t folder = name == path ? 1 : (size_t)(name - path); // "/" keeps its slash
    return failInErrno && strlen(failIn) == folder && strncmp(path, failIn, folder) == 0;
}

#define RESOLVE(var, path)                                                                         \
    char var[PATH_MAX];                                                                            \
    if (!resolve(path, var)) return -ENAMETOOLONG

static int ok(int res) {
    return res == -1 ? -errno : 0;
}

// fs_NAME(PARAMS) returns CALL, which sees the backing path of `path` as p. A call on an open
// file or folder uses its handle instead: its path may be NULL (nullpath_ok).
#define PASS(name, params, call)                                                                   \
    static int fs_##name params {                                                                  \
        RESOLVE(p, path);                                                                          \
        return call;                                                                               \
    }

// Marks the file named by --eio, by its name in the backing folder.
static int openedAs(int fd, const char* real, struct fuse_file_info* fi) {
    if (fd == -1) return -errno;
    fi->fh =
        (uint64_t)fd | (eioName && strcmp(strrchr(real, '/') + 1, eioName) == 0 ? EIO_FLAG : 0);
    return 0;
}

typedef struct fuse_file_info Fi;
PASS(getattr, (const char* path, struct stat* st, Fi* fi),
     ok(fi ? fstat(FD(fi), st) : lstat(p, st)))
PASS(truncate, (const char* path, off_t n, Fi* fi), ok(fi ? ftruncate(FD(fi), n) : truncate(p, n)))
PASS(chown, (const char* path, uid_t u, gid_t g, Fi* fi),
     ok(fi ? fchown(FD(fi), u, g) : lchown(p, u, g)))
PASS(chmod, (const char* path, mode_t mode, Fi* fi),
     chmodErrno ? -chmodErrno : ok(fi ? fchmod(FD(fi), mode) : chmod(p, mode)))
PASS(utimens, (const char* path, const struct timespec tv[2], Fi* fi),
     utimensErrno ? -utimensErrno
                  : ok(fi ? futimens(FD(fi), tv) : utimensat(AT_FDCWD, p, tv, AT_SYMLINK_NOFOLLOW)))
PASS(open, (const char* path, Fi* fi), openedAs(open(p, fi->flags), p, fi))
PASS(create, (const char* path, mode_t mode, Fi* fi),
     refused(path) ? -failInErrno : openedAs(open(p, fi->flags | O_CREAT, mode), p, fi))
PASS(unlink, (const char* path), ok(unlink(p)))
PASS(mkdir, (const char* path, mode_t mode), refused(path) ? -failInErrno : ok(mkdir(p, mode)))
PASS(rmdir, (const char* path), ok(rmdir(p)))
PASS(mknod, (const char* path, mode_t mode, dev_t dev),
     refused(path) ? -failInErrno : ok(mknod(p, mode, dev)))
PASS(symlink, (const char* target, const char* path),
     refused(path) ? -failInErrno : ok(symlink(target, p)))
PASS(statfs, (const char* path, struct statvfs* st), ok(statvfs(p, st)))

static int fs_readlink(const char* path, char* buf, size_t size) {
    RESOLVE(p, path);
    const ssize_t n = readlink(p, buf, size - 1);
    if (n == -1) return -errno;
    buf[n] = '\0';
    return 0;
}

static int fs_link(const char* from, const char* to) {
    if (refused(to)) return -failInErrno;
    RESOLVE(f, from);
    RESOLVE(t, to);
    return ok(link(f, t));
}

static int fs_rename(const char* from, const char* to, unsigned int flags) {
    if (renameDelayMs) usleep((useconds_t)renameDelayMs * 1000);
    if (refused(to)) return -failInErrno;
    if ((noExchange && (flags & RENAME_EXCHANGE)) || (noFlags && flags)) return -EINVAL;
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

PASS(opendir, (const char* path, Fi* fi), (fi->fh = (uintptr_t)opendir(p)) ? 0 : -errno)

static int count(ssize_t n) {
    return n == -1 ? -errno : (int)n;
}

PASS(read, (const char* path, char* buf, size_t size, off_t off, Fi* fi),
     (fi->fh & EIO_FLAG) ? -EIO : count(pread(FD(fi), buf, size, off)))
PASS(write, (const char* path, const char* buf, size_t size, off_t off, Fi* fi),
     count(pwrite(FD(fi), buf, size, off)))
// close() of a duplicate reports what close() of the file would, without closing it.
PASS(flush, (const char* path, Fi* fi), ok(close(dup(FD(fi)))))
PASS(release, (const char* path, Fi* fi), ok(close(FD(fi))))
PASS(fsync, (const char* path, int dataOnly, Fi* fi),
     ok(dataOnly ? fdatasync(FD(fi)) : fsync(FD(fi))))
PASS(releasedir, (const char* path, Fi* fi), ok(closedir((DIR*)(uintptr_t)fi->fh)))

static int fs_readdir(const char* path, void* buf, fuse_fill_dir_t fill, off_t off, Fi* fi,
                      enum fuse_readdir_flags flags) {
    (void)path, (void)off, (void)flags;
    DIR* dir = (DIR*)(uintptr_t)fi->fh;
    rewinddir(dir);
    for (struct dirent* e; (e = readdir(dir));) {
        const ino_t ino = ownInodes ? e->d_ino ^ (1ULL << 40) : e->d_ino; // never d_ino
        struct stat st = {.st_ino = ino, .st_mode = (mode_t)e->d_type << 12};
        if (fill(buf, e->d_name, &st, 0, 0)) break;
    }
    return 0;
}

#define OP(name) .name = fs_##name
static const struct fuse_operations ops = {
    OP(init),  OP(getattr), OP(opendir), OP(readdir), OP(releasedir), OP(open),     OP(create),
    OP(read),  OP(write),   OP(flush),   OP(release), OP(fsync),      OP(truncate), OP(unlink),
    OP(mkdir), OP(rmdir),   OP(mknod),   OP(rename),  OP(link),       OP(symlink),  OP(readlink),
    OP(chmod), OP(chown),   OP(utimens), OP(statfs)};

int main(int argc, char* argv[]) {
    // The numbers are errno values, or milliseconds for the delay; no fault takes 0. A --fail-in
    // folder is the text before the last colon.
    static const struct option options[] = {{"chmod-errno", 1, 0, 1},
                                            {"utimens-errno", 1, 0, 2},
                                            {"rename-delay-ms", 1, 0, 3},
                                            {"eio", 1, 0, 'e'},
                                            {"fail-in", 1, 0, 'f'},
                                            {"casefold", 0, &casefold, 1},
                                            {"own-inodes", 0, &ownInodes, 1},
                                            {"no-exchange", 0, &noExchange, 1},
                                            {"no-rename-flags", 0, &noFlags, 1},
                                            {0}};
    int* numbers[] = {NULL, &chmodErrno, &utimensErrno, &renameDelayMs};
    for (int o; (o = getopt_long(argc, argv, "", options, NULL)) != -1;) {
        const char* colon = o == 'f' ? strrchr(optarg, ':') : NULL;
        if (o == 'e')
            eioName = optarg;
        else if (colon && colon - optarg < PATH_MAX && (failInErrno = atoi(colon + 1)) > 0)
            memcpy(failIn, optarg, (size_t)(colon - optarg));
        else if (o == 'f' || o == '?' || (o && (*numbers[o] = atoi(optarg)) <= 0)) {
            fprintf(stderr, "faultfs: bad option %s\n", argv[optind - 1]);
            return 2;
        }
    }
    if (argc - optind != 2 || !realpath(argv[optind], backing)) {
        fprintf(stderr, "usage: faultfs [--chmod-errno=N] [--utimens-errno=N] [--eio=NAME] "
                        "[--casefold] [--rename-delay-ms=N] [--own-inodes] [--fail-in=FOLDER:N] "
                        "[--no-exchange] [--no-rename-flags] "
                        "BACKING MOUNTPOINT\n");
        return 2;
    }
    if (strcmp(backing, "/") == 0) backing[0] = '\0'; // paths of the mount already begin with "/"
    umask(0); // the modes asked for through the mount were already masked by the caller
    char* fuseArgs[] = {
        argv[0],          "-f", "-s", "-o", "fsname=faultfs,subtype=faultfs,default_permissions",
        argv[optind + 1], NULL};
    return fuse_main(6, fuseArgs, &ops, NULL);
}
