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
 *     -b N -B BUSY while BUSY exists, N opens change each second: half of
 *                  them close, and those closed the second before come back
 *                  in their mode; the walk strides over the connections
 *     -l LOG       with -b: one line per second, "TIME closed reopened"
 *
 * Connection i logs on as the (i mod number of -u) account A and opens
 * PREFIX-A/cNNNN/fNNNNN.txt, creating folders and files as needed (a folder
 * per account, as the server's default directory mask lets only its creator
 * add to it). READY gets
 * "pid connections files" once all opens succeeded. SIGTERM/SIGINT also let
 * go. SIGUSR1 while holding closes the first connection's first file, and
 * the next SIGUSR1 opens it again in the other mode (rw <-> r), so one open
 * changes while the others stay still. Exit: 0 held and closed, 2 setup or
 * open failed, 1 bad arguments.
 *
 * One process holds all connections: each SMBCCTX has its own server cache,
 * so N contexts give N TCP connections and N sessions. Only the per-context
 * function pointers are used; the legacy smbc_* calls would go through the
 * single global context that smbc_set_context() installs. */
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "smb_client_common.h"

static volatile sig_atomic_t flip_asked = 0;

static void ask_flip(int sig) {
    (void)sig;
    flip_asked = 1;
}

/* Closes the open file *F, or opens URL again in the mode it did not have. */
static int flip(SMBCCTX* ctx, SMBCFILE** f, const char* url, int* rw) {
    if (*f) {
        smbc_getFunctionClose(ctx)(ctx, *f);
        *f = NULL;
        return 0;
    }
    *rw = !*rw;
    *f = smbc_getFunctionOpen(ctx)(ctx, url, *rw ? O_RDWR : O_RDONLY, 0);
    if (*f)
        return 0;
    fprintf(stderr, "load: reopen %s: %s\n", url, strerror(errno));
    return -1;
}

/* One open of the busy walk: the K-th open strides over the connections, so
 * each second's changes are spread over all clients. */
struct busy_open {
    long conn, file;
};

static struct busy_open busy_open_at(long k, long conns, long files) {
    struct busy_open o = {k % conns, (k / conns) % files};
    return o;
}

static void open_url(char* url, size_t size, const char* host, const char* share, const char* prefix, const char* user,
                     long conn, long file) {
    snprintf(url, size, "smb://%s/%s/%s-%s/c%04ld/f%05ld.txt", host, share, prefix, user, conn, file);
}

static int open_rw(const char* mode, long file) {
    return strcmp(mode, "rw") == 0 || (strcmp(mode, "mix") == 0 && file % 2 == 0);
}

static void usage(void) {
    fprintf(stderr,
            "usage: load [-s HOST] [-S SHARE] [-c N] [-f M] [-m r|rw|mix] [-p PREFIX] "
            "-r READY -R RELEASE [-t SECONDS] [-b N -B BUSY [-l LOG]] -u USER%%PASS [-u USER%%PASS...]\n");
}

int main(int argc, char** argv) {
    const char* host = "127.0.0.1";
    const char* share = "docs";
    const char* prefix = "load";
    const char* mode = "mix";
    const char* ready = NULL;
    const char* release = NULL;
    const char* busy_flag = NULL;
    const char* busy_log = NULL;
    long busy = 0;
    long conns = 10, files = 100, hold = 600;
    struct smb_account accounts[16];
    int naccounts = 0;

    int opt;
    while ((opt = getopt(argc, argv, "s:S:c:f:m:p:r:R:t:u:b:B:l:")) != -1) {
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
        case 'b':
            busy = strtol(optarg, NULL, 10);
            break;
        case 'B':
            busy_flag = optarg;
            break;
        case 'l':
            busy_log = optarg;
            break;
        case 'u':
            if (naccounts == 16 || smb_parse_account(optarg, &accounts[naccounts]) != 0) {
                usage();
                return 1;
            }
            ++naccounts;
            break;
        default:
            usage();
            return 1;
        }
    }
    if (!ready || !release || naccounts == 0 || conns < 1 || conns > 10000 || files < 0 || files > 100000 || hold < 1 ||
        busy < 0 || busy > conns * files || (busy > 0 && !busy_flag) ||
        (strcmp(mode, "r") && strcmp(mode, "rw") && strcmp(mode, "mix"))) {
        usage();
        return 1;
    }
    unlink(ready);

    smb_catch_stop();

    SMBCCTX** ctx = calloc((size_t)conns, sizeof *ctx);
    SMBCFILE** fh = calloc((size_t)(conns * files) + 1, sizeof *fh);
    if (!ctx || !fh) {
        perror("load: calloc");
        return 2;
    }

    int rc = 0;
    long opened = 0;
    char url[1024];
    double t0 = smb_now_s();
    for (long i = 0; i < conns && !smb_stop; ++i) {
        ctx[i] = smb_new_context(&accounts[i % naccounts]);
        if (!ctx[i]) {
            fprintf(stderr, "load: context %ld: %s\n", i, strerror(errno));
            rc = 2;
            goto out;
        }
        /* Folders are made by each connection for itself: the first request
         * also opens the session, so a logon failure shows here. */
        const char* user = accounts[i % naccounts].user;
        snprintf(url, sizeof url, "smb://%s/%s/%s-%s", host, share, prefix, user);
        if (smb_make_dir(ctx[i], url, "load") < 0) {
            rc = 2;
            goto out;
        }
        snprintf(url, sizeof url, "smb://%s/%s/%s-%s/c%04ld", host, share, prefix, user, i);
        if (smb_make_dir(ctx[i], url, "load") < 0) {
            rc = 2;
            goto out;
        }
        smbc_open_fn open_fn = smbc_getFunctionOpen(ctx[i]);
        for (long j = 0; j < files && !smb_stop; ++j) {
            int rw = open_rw(mode, j);
            open_url(url, sizeof url, host, share, prefix, user, i, j);
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
    if (smb_stop) {
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
    fprintf(stderr, "load: %ld connections, %ld files open in %.1f s\n", conns, opened, smb_now_s() - t0);

    signal(SIGUSR1, ask_flip);
    {
        char flip_url[1024];
        int rw = strcmp(mode, "r") != 0;
        open_url(flip_url, sizeof flip_url, host, share, prefix, accounts[0].user, 0, 0);
        /* The busy walk: [closed_from, next) are closed, oldest first. The
         * flipped file (the first) is left to SIGUSR1. */
        const long total = conns * files;
        long next = 1, closed_from = 1;
        double tick = smb_now_s();
        FILE* log = busy_log ? fopen(busy_log, "a") : NULL;
        if (busy_log && !log) {
            perror(busy_log);
            rc = 2;
        }
        for (double end = smb_now_s() + (double)hold;
             !rc && !smb_stop && !smb_file_exists(release) && smb_now_s() < end;) {
            if (flip_asked && files > 0) {
                flip_asked = 0;
                if (flip(ctx[0], &fh[0], flip_url, &rw) != 0) {
                    rc = 2;
                    break;
                }
            }
            if (busy > 0 && smb_now_s() >= tick + 1.0) {
                tick += 1.0;
                long reopened = 0, closed = 0;
                for (; closed_from < next && !rc; ++closed_from) {
                    struct busy_open o = busy_open_at(closed_from % total, conns, files);
                    if (o.conn == 0 && o.file == 0)
                        continue; /* SIGUSR1's */
                    open_url(url, sizeof url, host, share, prefix, accounts[o.conn % naccounts].user, o.conn, o.file);
                    fh[o.conn * files + o.file] = smbc_getFunctionOpen(ctx[o.conn])(
                        ctx[o.conn], url, open_rw(mode, o.file) ? O_RDWR : O_RDONLY, 0);
                    if (!fh[o.conn * files + o.file]) {
                        fprintf(stderr, "load: reopen %s: %s\n", url, strerror(errno));
                        rc = 2;
                    }
                    ++reopened;
                }
                /* Without BUSY the closed ones still come back. */
                for (; closed < busy / 2 && !rc && smb_file_exists(busy_flag); ++next) {
                    struct busy_open o = busy_open_at(next % total, conns, files);
                    if (o.conn == 0 && o.file == 0)
                        continue;
                    SMBCFILE** f = &fh[o.conn * files + o.file];
                    smbc_getFunctionClose(ctx[o.conn])(ctx[o.conn], *f);
                    *f = NULL;
                    ++closed;
                }
                if (log && (closed || reopened)) {
                    fprintf(log, "%.3f %ld %ld\n", smb_now_s(), closed, reopened);
                    fflush(log);
                }
                continue;
            }
            usleep(50000);
        }
        if (log)
            fclose(log);
    }

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
