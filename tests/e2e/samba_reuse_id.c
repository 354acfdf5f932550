/* A client that lets the server give an open's id to another file: it holds
 * FIRST open, then, each time asked, lets go of what it holds, opens and
 * closes SECOND a number of times (each open takes the server's next id) and
 * holds SECOND open.
 *
 *   samba_reuse_id USER PASSWORD FIRST_URL SECOND_URL DIR
 *
 * All over one connection (one smbd process, so one id space). DIR/held
 * appears once FIRST is open. A request is DIR/request holding a count N:
 * the client removes it, does N cycles and one open, then writes
 * DIR/done.K (K counts the requests from 1). DIR/release ends it.
 * Exit: 0 done, 2 an open failed, 1 bad arguments. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "smb_client_common.h"

static int mark(const char* dir, const char* name) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s", dir, name);
    FILE* f = fopen(path, "w");
    return f && fclose(f) == 0 ? 0 : -1;
}

/* The count of a pending request, or -1 when none is. */
static long take_request(const char* dir) {
    char path[4096];
    snprintf(path, sizeof path, "%s/request", dir);
    FILE* f = fopen(path, "r");
    if (!f)
        return -1;
    long n = -1;
    if (fscanf(f, "%ld", &n) != 1)
        n = -1;
    fclose(f);
    if (n >= 0)
        unlink(path);
    return n;
}

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: samba_reuse_id USER PASSWORD FIRST_URL SECOND_URL DIR\n");
        return 1;
    }
    struct smb_account account;
    if (smb_set_account(&account, argv[1], (int)strlen(argv[1]), argv[2]) != 0) {
        fprintf(stderr, "samba_reuse_id: account too long\n");
        return 1;
    }
    const char* second = argv[4];
    const char* dir = argv[5];
    char release[4096];
    snprintf(release, sizeof release, "%s/release", dir);

    SMBCCTX* ctx = smb_new_context(&account);
    if (!ctx) {
        perror("samba_reuse_id: context");
        return 2;
    }
    smbc_open_fn open_fn = smbc_getFunctionOpen(ctx);
    smbc_close_fn close_fn = smbc_getFunctionClose(ctx);
    int rc = 0;
    SMBCFILE* held = open_fn(ctx, argv[3], O_RDONLY, 0);
    if (!held || mark(dir, "held") != 0) {
        perror("samba_reuse_id: first open");
        rc = 2;
    }
    for (int k = 1; rc == 0 && !smb_file_exists(release);) {
        long n = take_request(dir);
        if (n < 0) {
            usleep(20000);
            continue;
        }
        close_fn(ctx, held);
        for (long i = 0; i < n && rc == 0; ++i) {
            SMBCFILE* f = open_fn(ctx, second, O_RDONLY, 0);
            if (!f)
                rc = 2;
            else
                close_fn(ctx, f);
        }
        held = rc == 0 ? open_fn(ctx, second, O_RDONLY, 0) : NULL;
        char done[32];
        snprintf(done, sizeof done, "done.%d", k++);
        if (!held || mark(dir, done) != 0) {
            perror("samba_reuse_id: second open");
            rc = 2;
        }
    }
    if (held)
        close_fn(ctx, held);
    smbc_free_context(ctx, 1);
    return rc;
}
