/* Holds one file open on an SMB server until told to let go, then tries the
 * handle once more, so a test can tell whether the server closed it.
 *
 *   samba_hold URL USER PASSWORD MODE READY RELEASE
 *
 * MODE: r (read), w (write, created if missing), rw (both). Once the file is
 * open, READY is created; the handle is held until RELEASE exists (at most
 * 300 s). Then one read (or, for w, one write) is made on the handle and
 * "io ok" or "io failed: <error>" is printed. Exit code: 0 io ok, 3 io failed,
 * 2 the open failed, 1 bad arguments. */
#include <errno.h>
#include <fcntl.h>
#include <libsmbclient.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char* g_user;
static const char* g_password;

static void auth(SMBCCTX* ctx, const char* srv, const char* shr, char* wg, int wglen, char* un, int unlen,
                 char* pw, int pwlen) {
    (void)ctx; (void)srv; (void)shr; (void)wg; (void)wglen;
    snprintf(un, (size_t)unlen, "%s", g_user);
    snprintf(pw, (size_t)pwlen, "%s", g_password);
}

static int exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

int main(int argc, char** argv) {
    if (argc != 7) {
        fprintf(stderr, "usage: samba_hold URL USER PASSWORD r|w|rw READY RELEASE\n");
        return 1;
    }
    const char* url = argv[1];
    const char* mode = argv[4];
    g_user = argv[2];
    g_password = argv[3];
    int flags;
    if (strcmp(mode, "r") == 0)
        flags = O_RDONLY;
    else if (strcmp(mode, "w") == 0)
        flags = O_WRONLY | O_CREAT;
    else if (strcmp(mode, "rw") == 0)
        flags = O_RDWR | O_CREAT;
    else {
        fprintf(stderr, "samba_hold: bad mode %s\n", mode);
        return 1;
    }

    SMBCCTX* ctx = smbc_new_context();
    if (!ctx) {
        perror("smbc_new_context");
        return 2;
    }
    smbc_setFunctionAuthDataWithContext(ctx, auth);
    smbc_setOptionProtocols(ctx, "SMB2_02", "SMB3_11");
    smbc_setOptionNoAutoAnonymousLogin(ctx, 1);
    if (!smbc_init_context(ctx)) {
        perror("smbc_init_context");
        return 2;
    }
    smbc_set_context(ctx);

    int fd = smbc_open(url, flags, 0644);
    if (fd < 0) {
        fprintf(stderr, "samba_hold: open %s: %s\n", url, strerror(errno));
        return 2;
    }
    if (flags != O_RDONLY && smbc_write(fd, "filvane\n", 8) != 8) {
        fprintf(stderr, "samba_hold: first write: %s\n", strerror(errno));
        return 2;
    }
    int ready = open(argv[5], O_CREAT | O_WRONLY, 0644);
    if (ready < 0) {
        perror(argv[5]);
        return 2;
    }
    close(ready);

    for (int waited = 0; !exists(argv[6]) && waited < 300 * 20; ++waited)
        usleep(50000);

    char buffer[16];
    ssize_t n;
    if (flags == (O_WRONLY | O_CREAT)) {
        n = smbc_write(fd, "again\n", 6);
    } else {
        smbc_lseek(fd, 0, SEEK_SET);
        n = smbc_read(fd, buffer, sizeof buffer);
    }
    if (n < 0) {
        printf("io failed: %s\n", strerror(errno));
        fflush(stdout);
        return 3;
    }
    printf("io ok\n");
    fflush(stdout);
    smbc_close(fd);
    return 0;
}
