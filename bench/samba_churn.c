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
#include <libsmbclient.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/wait.h>
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

static const struct account* g_account;

static void auth(SMBCCTX* ctx, const char* srv, const char* shr, char* wg, int wglen, char* un, int unlen, char* pw,
                 int pwlen) {
    (void)ctx;
    (void)srv;
    (void)shr;
    (void)wg;
    (void)wglen;
    snprintf(un, (size_t)unlen, "%s", g_account->user);
    snprintf(pw, (size_t)pwlen, "%s", g_account->password);
}

static double now_s(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + ts.tv_nsec / 1e9;
}

static void pause_s(double seconds) {
    for (double end = now_s() + seconds; !g_stop && now_s() < end;)
        usleep(50000);
}

static SMBCCTX* new_context(void) {
    SMBCCTX* ctx = smbc_new_context();
    if (!ctx)
        return NULL;
    smbc_setFunctionAuthDataWithContext(ctx, auth);
    smbc_setOptionProtocols(ctx, "SMB2_02", "SMB3_11");
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
    fprintf(stderr, "churn: mkdir %s: %s\n", url, strerror(errno));
    return -1;
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
static int churn(const char* host, const char* share, long index, long max_files, double end, const char* counts) {
    srand((unsigned)(getpid() ^ (unsigned)time(NULL)));
    SMBCCTX* ctx = new_context();
    if (!ctx) {
        fprintf(stderr, "churn: context %ld: %s\n", index, strerror(errno));
        return 2;
    }
    char url[1024];
    snprintf(url, sizeof url, "smb://%s/%s/churn-%s", host, share, g_account->user);
    int rc = make_dir(ctx, url) < 0 ? 2 : 0;
    snprintf(url, sizeof url, "smb://%s/%s/churn-%s/c%04ld", host, share, g_account->user, index);
    if (rc == 0 && make_dir(ctx, url) < 0)
        rc = 2;
    SMBCFILE** held = calloc((size_t)max_files, sizeof *held);
    struct tally t = {0, 0, 0};
    smbc_open_fn open_fn = smbc_getFunctionOpen(ctx);
    smbc_close_fn close_fn = smbc_getFunctionClose(ctx);
    while (rc == 0 && held && !g_stop && now_s() < end) {
        long files = 1 + rand() % max_files;
        for (long j = 0; j < files; ++j) {
            snprintf(url, sizeof url, "smb://%s/%s/churn-%s/c%04ld/f%02ld.txt", host, share, g_account->user, index, j);
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
    struct account accounts[16];
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
    if (!counts || naccounts == 0 || conns < 1 || conns > 1000 || max_files < 1 || max_files > 99 || seconds < 1) {
        usage();
        return 1;
    }
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal;
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGINT, &sa, NULL);
    signal(SIGPIPE, SIG_IGN);

    double end = now_s() + (double)seconds;
    pid_t* children = calloc((size_t)conns, sizeof *children);
    if (!children) {
        perror("churn: calloc");
        return 2;
    }
    int rc = 0;
    for (long i = 0; i < conns; ++i) {
        pid_t pid = fork();
        if (pid == 0) {
            g_account = &accounts[i % naccounts];
            _exit(churn(host, share, i, max_files, end, counts));
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
            if (g_stop)
                for (long j = i; j < conns; ++j)
                    if (children[j] > 0)
                        kill(children[j], SIGTERM);
        if (got < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            rc = 2;
    }
    free(children);
    return rc;
}
