#include "smb_client_common.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

volatile sig_atomic_t smb_stop;

static void on_signal(int sig) {
    (void)sig;
    smb_stop = 1;
}

int smb_set_account(struct smb_account* account, const char* user, int user_length, const char* password) {
    if (user_length < 0 || (size_t)user_length >= sizeof account->user || strlen(password) >= sizeof account->password)
        return -1;
    snprintf(account->user, sizeof account->user, "%.*s", user_length, user);
    snprintf(account->password, sizeof account->password, "%s", password);
    return 0;
}

int smb_parse_account(const char* arg, struct smb_account* account) {
    const char* sep = strchr(arg, '%');
    return sep ? smb_set_account(account, arg, (int)(sep - arg), sep + 1) : -1;
}

void smb_catch_stop(void) {
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal;
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGINT, &sa, NULL);
    signal(SIGPIPE, SIG_IGN);
}

static void auth(SMBCCTX* ctx, const char* srv, const char* shr, char* wg, int wglen, char* un, int unlen, char* pw,
                 int pwlen) {
    (void)srv;
    (void)shr;
    (void)wg;
    (void)wglen;
    const struct smb_account* a = smbc_getOptionUserData(ctx);
    snprintf(un, (size_t)unlen, "%s", a->user);
    snprintf(pw, (size_t)pwlen, "%s", a->password);
}

SMBCCTX* smb_new_context(const struct smb_account* account) {
    SMBCCTX* ctx = smbc_new_context();
    if (!ctx)
        return NULL;
    /* libsmbclient hands the pointer back to auth() untouched. */
    smbc_setOptionUserData(ctx, (void*)account);
    smbc_setFunctionAuthDataWithContext(ctx, auth);
    smbc_setOptionProtocols(ctx, "SMB2_02", "SMB3_11");
    /* A failed logon must fail, not fall back to an anonymous session. */
    smbc_setOptionNoAutoAnonymousLogin(ctx, 1);
    smbc_setOptionUseKerberos(ctx, 0);
    smbc_setOptionFallbackAfterKerberos(ctx, 1);
    smbc_setTimeout(ctx, 60000);
    if (!smbc_init_context(ctx)) {
        int err = errno;
        smbc_free_context(ctx, 1);
        errno = err;
        return NULL;
    }
    return ctx;
}

int smb_make_dir(SMBCCTX* ctx, const char* url, const char* tag) {
    if (smbc_getFunctionMkdir(ctx)(ctx, url, 0755) == 0 || errno == EEXIST)
        return 0;
    fprintf(stderr, "%s: mkdir %s: %s\n", tag, url, strerror(errno));
    return -1;
}

int smb_file_exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

double smb_now_s(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + ts.tv_nsec / 1e9;
}
