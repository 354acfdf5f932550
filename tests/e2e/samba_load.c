/* Load generator for an SMB server: many sessions, each holding many files
 * open, until told to let go.
 *
 *   load [options] -u USER%PASS [-u USER%PASS ...]
 *     -s HOST      server (default 127.0.0.1)
 *     -S SHARE     share (default docs)
 *     -c N         connections, one session each (default 10)
 *     -f M         files held open per connection (default 100)
 *     -m MODE      r, rw or mix (even files rw, odd files r; default mix)
 *     -p PREFIX    folder in the share for the files (default load)
 *     -r READY     created once every file is open
 *     -R RELEASE   the files are held until this exists
 *     -t SECONDS   hold at most this long (default 600)
 *
 * Connection i logs on as the (i mod number of -u) account A and opens
 * PREFIX-A/cNNNN/fNNNNN.txt, creating folders and files as needed (a folder
 * per account, as the server's default directory mask lets only its creator
 * add to it). READY gets
 * "pid connections files" once all opens succeeded. SIGTERM/SIGINT also let
 * go. Exit: 0 held and closed, 2 setup or open failed, 1 bad arguments.
 *
 * One process holds all connections: each SMBCCTX has its own server cache,
 * so N contexts give N TCP connections and N sessions. Only the per-context
 * function pointers are used; the legacy smbc_* calls would go through the
 * single global context that smbc_set_context() installs. */
#include <errno.h>
#include <fcntl.h>
#include <libsmbclient.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

struct account {
    char user[128];
    char password[128];
};

static volatile sig_atomic_t g_stop;

static void on_signal(int sig) {
    (void)sig;
    g_stop = 1;
}

static void auth(SMBCCTX* ctx, const char* srv, const char* shr, char* wg, int wglen, char* un, int unlen, char* pw,
                 int pwlen) {
    (void)srv;
    (void)shr;
    (void)wg;
    (void)wglen;
    const struct account* a = smbc_getOptionUserData(ctx);
    snprintf(un, (size_t)unlen, "%s", a->user);
    snprintf(pw, (size_t)pwlen, "%s", a->password);
}

static int exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

static double now_s(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + ts.tv_nsec / 1e9;
}

static void usage(void) {
    fprintf(stderr,
            "usage: load [-s HOST] [-S SHARE] [-c N] [-f M] [-m r|rw|mix] [-p PREFIX] "
            "-r READY -R RELEASE [-t SECONDS] -u USER%%PASS [-u USER%%PASS...]\n");
}

static SMBCCTX* new_context(struct account* a) {
    SMBCCTX* ctx = smbc_new_context();
    if (!ctx)
        return NULL;
    smbc_setOptionUserData(ctx, a);
    smbc_setFunctionAuthDataWithContext(ctx, auth);
    smbc_setOptionProtocols(ctx, "SMB2_02", "SMB3_11");
    /* A failed logon must fail, not fall back to an anonymous session. */
    smbc_setOptionNoAutoAnonymousLogin(ctx, 1);
    smbc_setOptionUseKerberos(ctx, 0);
    smbc_setOptionFallbackAfterKerberos(ctx, 1);
    smbc_setTimeout(ctx, 60000);
    if (!smbc_init_context(ctx)) {
        smbc_free_context(ctx, 1);
        return NULL;
    }
    return ctx;
}

static int make_dir(SMBCCTX* ctx, const char* url) {
    if (smbc_getFunctionMkdir(ctx)(ctx, url, 0755) == 0 || errno == EEXIST)
        return 0;
    fprintf(stderr, "load: mkdir %s: %s\n", url, strerror(errno));
    return -1;
}

int main(int argc, char** argv) {
    const char* host = "127.0.0.1";
    const char* share = "docs";
    const char* prefix = "load";
    const char* mode = "mix";
    const char* ready = NULL;
    const char* release = NULL;
    long conns = 10, files = 100, hold = 600;
    struct account accounts[16];
    int naccounts = 0;

    int opt;
    while ((opt = getopt(argc, argv, "s:S:c:f:m:p:r:R:t:u:")) != -1) {
        switch (opt) {
        case 's':
            host = optarg;
            break;
        case 'S':
            share = optarg;
            break;
        case 'c':
            conns = strtol(optarg, NULL, 10);
            break;
        case 'f':
            files = strtol(optarg, NULL, 10);
            break;
        case 'm':
            mode = optarg;
            break;
        case 'p':
            prefix = optarg;
            break;
        case 'r':
            ready = optarg;
            break;
        case 'R':
            release = optarg;
            break;
        case 't':
            hold = strtol(optarg, NULL, 10);
            break;
        case 'u': {
            const char* sep = strchr(optarg, '%');
            if (!sep || naccounts == 16 || (size_t)(sep - optarg) >= sizeof accounts[0].user ||
                strlen(sep + 1) >= sizeof accounts[0].password) {
                usage();
                return 1;
            }
            snprintf(accounts[naccounts].user, sizeof accounts[0].user, "%.*s", (int)(sep - optarg), optarg);
            snprintf(accounts[naccounts].password, sizeof accounts[0].password, "%s", sep + 1);
            ++naccounts;
            break;
        }
        default:
            usage();
            return 1;
        }
    }
    if (!ready || !release || naccounts == 0 || conns < 1 || conns > 10000 || files < 0 || files > 100000 || hold < 1 ||
        (strcmp(mode, "r") && strcmp(mode, "rw") && strcmp(mode, "mix"))) {
        usage();
        return 1;
    }
    unlink(ready);

    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal;
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGINT, &sa, NULL);
    signal(SIGPIPE, SIG_IGN);

    SMBCCTX** ctx = calloc((size_t)conns, sizeof *ctx);
    SMBCFILE** fh = calloc((size_t)(conns * files) + 1, sizeof *fh);
    if (!ctx || !fh) {
        perror("load: calloc");
        return 2;
    }

    int rc = 0;
    long opened = 0;
    char url[1024];
    double t0 = now_s();
    for (long i = 0; i < conns && !g_stop; ++i) {
        ctx[i] = new_context(&accounts[i % naccounts]);
        if (!ctx[i]) {
            fprintf(stderr, "load: context %ld: %s\n", i, strerror(errno));
            rc = 2;
            goto out;
        }
        /* Folders are made by each connection for itself: the first request
         * also opens the session, so a logon failure shows here. */
        const char* user = accounts[i % naccounts].user;
        snprintf(url, sizeof url, "smb://%s/%s/%s-%s", host, share, prefix, user);
        if (make_dir(ctx[i], url) < 0) {
            rc = 2;
            goto out;
        }
        snprintf(url, sizeof url, "smb://%s/%s/%s-%s/c%04ld", host, share, prefix, user, i);
        if (make_dir(ctx[i], url) < 0) {
            rc = 2;
            goto out;
        }
        smbc_open_fn open_fn = smbc_getFunctionOpen(ctx[i]);
        for (long j = 0; j < files && !g_stop; ++j) {
            int rw = strcmp(mode, "rw") == 0 || (strcmp(mode, "mix") == 0 && j % 2 == 0);
            snprintf(url, sizeof url, "smb://%s/%s/%s-%s/c%04ld/f%05ld.txt", host, share, prefix, user, i, j);
            SMBCFILE* f = open_fn(ctx[i], url, O_CREAT | (rw ? O_RDWR : O_RDONLY), 0644);
            if (!f) {
                fprintf(stderr, "load: open %s: %s\n", url, strerror(errno));
                rc = 2;
                goto out;
            }
            fh[i * files + j] = f;
            ++opened;
        }
    }
    if (g_stop) {
        rc = 2;
        goto out;
    }

    {
        /* Written then renamed, so a watcher never reads a partial file. */
        char tmp[4096];
        snprintf(tmp, sizeof tmp, "%s.tmp", ready);
        FILE* r = fopen(tmp, "w");
        if (!r || fprintf(r, "%ld %ld %ld\n", (long)getpid(), conns, opened) < 0 || fclose(r) != 0 ||
            rename(tmp, ready) != 0) {
            perror(ready);
            rc = 2;
            goto out;
        }
    }
    fprintf(stderr, "load: %ld connections, %ld files open in %.1f s\n", conns, opened, now_s() - t0);

    for (double end = now_s() + (double)hold; !g_stop && !exists(release) && now_s() < end;)
        usleep(50000);

out:
    for (long i = 0; i < conns; ++i) {
        if (!ctx[i])
            continue;
        smbc_close_fn close_fn = smbc_getFunctionClose(ctx[i]);
        for (long j = 0; j < files; ++j)
            if (fh[i * files + j])
                close_fn(ctx[i], fh[i * files + j]);
        smbc_free_context(ctx[i], 1);
    }
    free(fh);
    free(ctx);
    return rc;
}
