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
#include <libsmbclient.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static const char* g_user;
static const char* g_password;

static void auth(SMBCCTX* ctx, const char* srv, const char* shr, char* wg, int wglen, char* un, int unlen, char* pw,
                 int pwlen) {
    (void)ctx;
    (void)srv;
    (void)shr;
    (void)wg;
    (void)wglen;
    snprintf(un, (size_t)unlen, "%s", g_user);
    snprintf(pw, (size_t)pwlen, "%s", g_password);
}

static int exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

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
    g_user = argv[1];
    g_password = argv[2];
    const char* second = argv[4];
    const char* dir = argv[5];
    char release[4096];
    snprintf(release, sizeof release, "%s/release", dir);

    SMBCCTX* ctx = smbc_new_context();
    if (!ctx)
        return 2;
    smbc_setFunctionAuthDataWithContext(ctx, auth);
    smbc_setOptionProtocols(ctx, "SMB2_02", "SMB3_11");
    smbc_setOptionNoAutoAnonymousLogin(ctx, 1);
    if (!smbc_init_context(ctx)) {
        smbc_free_context(ctx, 1);
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
    for (int k = 1; rc == 0 && !exists(release);) {
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
