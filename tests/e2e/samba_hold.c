/* Holds files open on an SMB server until told to let go, then tries each
 * handle once more, so a test can tell whether the server closed it.
 *
 *   samba_hold USER PASSWORD MODE READY RELEASE URL...
 *
 * MODE: r (read), w (write, created if missing), rw (both). All URLs are
 * opened over one connection (one session). Once they are open, READY is
 * created; the handles are held until RELEASE exists (at most 300 s). Then
 * one read (or, for w, one write) is made on each handle and "io ok: URL" or
 * "io failed: URL: <error>" is printed. Exit code: 0 all io ok, 3 some io
 * failed, 2 an open failed, 1 bad arguments. */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "smb_client_common.h"

int main(int argc, char** argv) {
    if (argc < 7) {
        fprintf(stderr, "usage: samba_hold USER PASSWORD r|w|rw READY RELEASE URL...\n");
        return 1;
    }
    struct smb_account account;
    if (smb_set_account(&account, argv[1], (int)strlen(argv[1]), argv[2]) != 0) {
        fprintf(stderr, "samba_hold: account too long\n");
        return 1;
    }
    const char* mode = argv[3];
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

    SMBCCTX* ctx = smb_new_context(&account);
    if (!ctx) {
        perror("samba_hold: context");
        return 2;
    }
    smbc_set_context(ctx);

    /* One context: all files go over one connection and one session. */
    int count = argc - 6;
    int fds[64];
    if (count > 64)
        count = 64;
    for (int i = 0; i < count; ++i) {
        const char* url = argv[6 + i];
        fds[i] = smbc_open(url, flags, 0644);
        if (fds[i] < 0) {
            fprintf(stderr, "samba_hold: open %s: %s\n", url, strerror(errno));
            return 2;
        }
        if (flags != O_RDONLY && smbc_write(fds[i], "filvane\n", 8) != 8) {
            fprintf(stderr, "samba_hold: first write %s: %s\n", url, strerror(errno));
            return 2;
        }
    }
    int ready = open(argv[4], O_CREAT | O_WRONLY, 0644);
    if (ready < 0) {
        perror(argv[4]);
        return 2;
    }
    close(ready);

    for (int waited = 0; !smb_file_exists(argv[5]) && waited < 300 * 20; ++waited)
        usleep(50000);

    int failed = 0;
    for (int i = 0; i < count; ++i) {
        char buffer[16];
        ssize_t n;
        if (flags == (O_WRONLY | O_CREAT)) {
            n = smbc_write(fds[i], "again\n", 6);
        } else {
            smbc_lseek(fds[i], 0, SEEK_SET);
            n = smbc_read(fds[i], buffer, sizeof buffer);
        }
        if (n < 0) {
            printf("io failed: %s: %s\n", argv[6 + i], strerror(errno));
            failed = 1;
        } else {
            printf("io ok: %s\n", argv[6 + i]);
            smbc_close(fds[i]);
        }
    }
    fflush(stdout);
    return failed ? 3 : 0;
}
