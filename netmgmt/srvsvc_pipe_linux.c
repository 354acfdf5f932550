#include "netmgmt/srvsvc_pipe_linux.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <libsmbclient.h>

#include "netmgmt/samba_netapi_linux.h"

enum {
    kAccessDenied = 5,
    kNotEnoughMemory = 8,
    kBadNetPath = 53,
    kInvalidParameter = 87,
    kLogonFailure = 1326,
    kTimeoutMs = 5000,
};

struct srvsvc_pipe {
    SMBCCTX* context;
    SMBCFILE* file;
    char* user;
    char* password;
};

static void give_account(SMBCCTX* ctx, const char* server, const char* share, char* workgroup, int workgroup_size,
                         char* user, int user_size, char* password, int password_size) {
    (void)server;
    (void)share;
    (void)workgroup;
    (void)workgroup_size;
    const struct srvsvc_pipe* pipe = smbc_getOptionUserData(ctx);
    snprintf(user, (size_t)user_size, "%s", pipe->user);
    snprintf(password, (size_t)password_size, "%s", pipe->password);
}

/* What an errno from libsmbclient means for the caller: a refused logon, or
 * a server that could not be reached (the caller tells the two apart where
 * libsmbclient cannot). */
static uint32_t code_of(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return kLogonFailure;
    case ENOMEM:
        return kNotEnoughMemory;
    default:
        return kBadNetPath;
    }
}

static void wipe(char* text) {
    if (!text)
        return;
    volatile char* p = text;
    while (*p)
        *p++ = '\0';
    free(text);
}

static void close_pipe(struct srvsvc_pipe* pipe) {
    if (!pipe)
        return;
    if (pipe->file)
        smbc_getFunctionClose(pipe->context)(pipe->context, pipe->file);
    if (pipe->context)
        smbc_free_context(pipe->context, 1);
    free(pipe->user);
    wipe(pipe->password);
    free(pipe);
}

static uint32_t open_pipe(const char* server, const char* user, const char* password, struct srvsvc_pipe** out) {
    *out = NULL;
    if (!server || !*server || !user || !password)
        return kInvalidParameter;
    struct srvsvc_pipe* pipe = calloc(1, sizeof *pipe);
    if (!pipe)
        return kNotEnoughMemory;
    pipe->user = strdup(user);
    pipe->password = strdup(password);
    pipe->context = smbc_new_context();
    if (!pipe->user || !pipe->password || !pipe->context) {
        close_pipe(pipe);
        return kNotEnoughMemory;
    }
    SMBCCTX* ctx = pipe->context;
    smbc_setOptionUserData(ctx, pipe);
    smbc_setFunctionAuthDataWithContext(ctx, give_account);
    smbc_setOptionProtocols(ctx, "SMB2_02", "SMB3_11");
    /* A refused account must fail, not fall back to an anonymous session. */
    smbc_setOptionNoAutoAnonymousLogin(ctx, 1);
    smbc_setOptionUseKerberos(ctx, 0);
    smbc_setOptionFallbackAfterKerberos(ctx, 1);
    smbc_setTimeout(ctx, kTimeoutMs);
    if (!smbc_init_context(ctx)) {
        const uint32_t code = errno == ENOMEM ? kNotEnoughMemory : kAccessDenied;
        /* smbc_init_context frees nothing on failure. */
        close_pipe(pipe);
        return code;
    }
    const size_t url_size = strlen(server) + sizeof "smb:///IPC$/srvsvc";
    char* url = malloc(url_size);
    if (!url) {
        close_pipe(pipe);
        return kNotEnoughMemory;
    }
    snprintf(url, url_size, "smb://%s/IPC$/srvsvc", server);
    errno = 0;
    pipe->file = smbc_getFunctionOpen(ctx)(ctx, url, O_RDWR, 0);
    const int error = errno;
    free(url);
    if (!pipe->file) {
        close_pipe(pipe);
        return code_of(error);
    }
    *out = pipe;
    return 0;
}

static uint32_t write_pipe(struct srvsvc_pipe* pipe, const void* data, size_t size) {
    const char* from = data;
    while (size > 0) {
        const ssize_t n = smbc_getFunctionWrite(pipe->context)(pipe->context, pipe->file, from, size);
        if (n <= 0)
            return code_of(n < 0 ? errno : EIO);
        from += n;
        size -= (size_t)n;
    }
    return 0;
}

static uint32_t read_pipe(struct srvsvc_pipe* pipe, void* data, size_t size, size_t* got) {
    const ssize_t n = smbc_getFunctionRead(pipe->context)(pipe->context, pipe->file, data, size);
    if (n <= 0)
        return code_of(n < 0 ? errno : EIO);
    *got = (size_t)n;
    return 0;
}

/* Each call under the lock libnetapi's calls take: another thread's libnetapi
 * call in between would free Samba's stack frames out of order. */
void srvsvc_pipe_close(struct srvsvc_pipe* pipe) {
    samba_library_lock();
    close_pipe(pipe);
    samba_library_unlock();
}

uint32_t srvsvc_pipe_open(const char* server, const char* user, const char* password, struct srvsvc_pipe** out) {
    samba_library_lock();
    const uint32_t code = open_pipe(server, user, password, out);
    samba_library_unlock();
    return code;
}

uint32_t srvsvc_pipe_write(struct srvsvc_pipe* pipe, const void* data, size_t size) {
    samba_library_lock();
    const uint32_t code = write_pipe(pipe, data, size);
    samba_library_unlock();
    return code;
}

uint32_t srvsvc_pipe_read(struct srvsvc_pipe* pipe, void* data, size_t size, size_t* got) {
    samba_library_lock();
    const uint32_t code = read_pipe(pipe, data, size, got);
    samba_library_unlock();
    return code;
}
