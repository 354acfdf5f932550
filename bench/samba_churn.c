/* Churn on an SMB server, as a busy office makes it: each connection opens
 * 1 to MAX files, holds them 3 to 7 s, lets go, and starts again.
 *
 *   samba_churn -c N -f MAX -d SECONDS -o COUNTS -u USER%PASS [-u USER%PASS ...]
 *     -s HOST   server (default 127.0.0.1)
 *     -S SHARE  share (default docs)
 *
 * Connection i is a process of its own with one session as account
 * (i mod number of -u), working in folder churn-USER/cNNNN. When SECONDS
 * are over (or on SIGTERM) each writes "opens holds failures" as one line
 * to COUNTS. Exit: 0 all connections ran, 2 some could not, 1 bad arguments. */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "smb_client_common.h"

static void pause_s(double seconds) {
    for (double end = smb_now_s() + seconds; !smb_stop && smb_now_s() < end;)
        usleep(50000);
}

struct tally {
    long opens, holds, failures;
};

static void write_tally(const char* path, const struct tally* t) {
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0) {
        perror(path);
        return;
    }
    char line[96];
    int n = snprintf(line, sizeof line, "%ld %ld %ld\n", t->opens, t->holds, t->failures);
    flock(fd, LOCK_EX);
    if (write(fd, line, (size_t)n) != n)
        perror(path);
    close(fd);
}

/* One connection's life; returns its exit code. */
static int churn(const struct smb_account* account, const char* host, const char* share, long index, long max_files,
                 double end, const char* counts) {
    srand((unsigned)(getpid() ^ (unsigned)time(NULL)));
    SMBCCTX* ctx = smb_new_context(account);
    if (!ctx) {
        fprintf(stderr, "churn: context %ld: %s\n", index, strerror(errno));
        return 2;
    }
    char url[1024];
    snprintf(url, sizeof url, "smb://%s/%s/churn-%s", host, share, account->user);
    int rc = smb_make_dir(ctx, url, "churn") < 0 ? 2 : 0;
    snprintf(url, sizeof url, "smb://%s/%s/churn-%s/c%04ld", host, share, account->user, index);
    if (rc == 0 && smb_make_dir(ctx, url, "churn") < 0)
        rc = 2;
    SMBCFILE** held = calloc((size_t)max_files, sizeof *held);
    struct tally t = {0, 0, 0};
    smbc_open_fn open_fn = smbc_getFunctionOpen(ctx);
    smbc_close_fn close_fn = smbc_getFunctionClose(ctx);
    while (rc == 0 && held && !smb_stop && smb_now_s() < end) {
        long files = 1 + rand() % max_files;
        for (long j = 0; j < files; ++j) {
            snprintf(url, sizeof url, "smb://%s/%s/churn-%s/c%04ld/f%02ld.txt", host, share, account->user, index, j);
            held[j] = open_fn(ctx, url, O_CREAT | (j % 2 ? O_RDONLY : O_RDWR), 0644);
            if (held[j])
                ++t.opens;
            else
                ++t.failures;
        }
        ++t.holds;
        pause_s(3.0 + (rand() % 4001) / 1000.0);
        for (long j = 0; j < files; ++j)
            if (held[j])
                close_fn(ctx, held[j]);
        memset(held, 0, (size_t)max_files * sizeof *held);
        pause_s((rand() % 1001) / 1000.0);
    }
    free(held);
    smbc_free_context(ctx, 1);
    write_tally(counts, &t);
    return rc;
}

static void usage(void) {
    fprintf(stderr, "usage: samba_churn [-s HOST] [-S SHARE] -c N -f MAX -d SECONDS -o COUNTS -u USER%%PASS...\n");
}

int main(int argc, char** argv) {
    const char* host = "127.0.0.1";
    const char* share = "docs";
    const char* counts = NULL;
    long conns = 0, max_files = 0, seconds = 0;
    struct smb_account accounts[16];
    int naccounts = 0;
    int opt;
    while ((opt = getopt(argc, argv, "s:S:c:f:d:o:u:")) != -1) {
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
            max_files = strtol(optarg, NULL, 10);
            break;
        case 'd':
            seconds = strtol(optarg, NULL, 10);
            break;
        case 'o':
            counts = optarg;
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
    if (!counts || naccounts == 0 || conns < 1 || conns > 1000 || max_files < 1 || max_files > 99 || seconds < 1) {
        usage();
        return 1;
    }
    smb_catch_stop();

    double end = smb_now_s() + (double)seconds;
    pid_t* children = calloc((size_t)conns, sizeof *children);
    if (!children) {
        perror("churn: calloc");
        return 2;
    }
    int rc = 0;
    for (long i = 0; i < conns; ++i) {
        pid_t pid = fork();
        if (pid == 0) {
            _exit(churn(&accounts[i % naccounts], host, share, i, max_files, end, counts));
        }
        if (pid < 0) {
            perror("churn: fork");
            rc = 2;
            break;
        }
        children[i] = pid;
    }
    for (long i = 0; i < conns; ++i) {
        if (children[i] <= 0)
            continue;
        int status = 0;
        pid_t got;
        while ((got = waitpid(children[i], &status, 0)) < 0 && errno == EINTR)
            if (smb_stop)
                for (long j = i; j < conns; ++j)
                    if (children[j] > 0)
                        kill(children[j], SIGTERM);
        if (got < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            rc = 2;
    }
    free(children);
    return rc;
}
