#include "netmgmt/samba_netapi_linux.h"

#include <pthread.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <talloc.h>

/* netapi.h uses the fixed-width types without including their header. */
#include <netapi.h>

enum {
    kAccessDenied = 5,
    kNotEnoughMemory = 8,
    kNotReady = 21,
    kInvalidParameter = 87,
    kMoreData = 234,
    kLogonFailure = 1326,
    kNetNameNotFound = 2310,
    kFileIdNotFound = 2314,
};

static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;
static struct libnetapi_ctx* g_context;
static char* g_server;
static char* g_user;
static char* g_password;

void samba_library_lock(void) { pthread_mutex_lock(&g_lock); }

void samba_library_unlock(void) { pthread_mutex_unlock(&g_lock); }

static bool same(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

static void drop_context(void) {
    if (g_context)
        libnetapi_free(g_context);
    g_context = NULL;
}

/* libnetapi keeps its connection across calls but never notices that the
 * server went away (an smbd restart): every later call fails. A fresh
 * context connects again. */
static uint32_t fresh_context(void) {
    drop_context();
    if (!g_server)
        return kNotReady;
    uint32_t rc = libnetapi_init(&g_context);
    if (rc != 0) {
        g_context = NULL;
        return rc;
    }
    libnetapi_set_debuglevel(g_context, "0");
    libnetapi_set_username(g_context, g_user);
    libnetapi_set_password(g_context, g_password);
    return 0;
}

/* An answer the server gave on purpose, as opposed to a lost connection. */
static bool is_answer(uint32_t rc) {
    return rc == 0 || rc == kAccessDenied || rc == kMoreData || rc == kLogonFailure || rc == kNetNameNotFound ||
           rc == kFileIdNotFound;
}

static char* copy(const char* text) { return text ? strdup(text) : NULL; }

uint32_t samba_netapi_use(const char* server, const char* user, const char* password) {
    if (!server || !user || !password)
        return kInvalidParameter;
    pthread_mutex_lock(&g_lock);
    uint32_t rc = 0;
    if (!same(server, g_server) || !same(user, g_user) || !same(password, g_password)) {
        drop_context();
        free(g_server);
        free(g_user);
        free(g_password);
        g_server = copy(server);
        g_user = copy(user);
        g_password = copy(password);
        if (!g_server || !g_user || !g_password)
            rc = kNotEnoughMemory;
    }
    pthread_mutex_unlock(&g_lock);
    return rc;
}

void samba_netapi_forget(void) {
    pthread_mutex_lock(&g_lock);
    drop_context();
    free(g_server);
    free(g_user);
    free(g_password);
    g_server = g_user = g_password = NULL;
    pthread_mutex_unlock(&g_lock);
}

/* One call with the lock held, made once more on a fresh connection when
 * the kept one turns out to be dead. */
typedef uint32_t (*netapi_call)(const void* argument, uint8_t** buffer, uint32_t* read);

static uint32_t call(netapi_call fn, const void* argument, uint8_t** buffer, uint32_t* read) {
    *buffer = NULL;
    *read = 0;
    uint32_t rc = g_context ? 0 : fresh_context();
    if (rc != 0)
        return rc;
    rc = fn(argument, buffer, read);
    if (is_answer(rc))
        return rc;
    if (*buffer)
        NetApiBufferFree(*buffer);
    *buffer = NULL;
    *read = 0;
    if (fresh_context() != 0)
        return rc;
    return fn(argument, buffer, read);
}

/* The records first, then their texts, in one block. */
struct packer {
    char* block;
    size_t texts_at;
};

static size_t text_size(const char* text) { return strlen(text ? text : "") + 1; }

static bool start_block(struct packer* p, size_t records, size_t texts) {
    p->block = malloc(records + texts + 1);
    p->texts_at = records;
    return p->block != NULL;
}

static const char* pack(struct packer* p, const char* text) {
    size_t n = text_size(text);
    char* at = p->block + p->texts_at;
    memcpy(at, text ? text : "", n);
    p->texts_at += n;
    return at;
}

/* libnetapi hangs the texts of each record on its context instead of on the
 * buffer, so NetApiBufferFree leaves them there and a kept context grows with
 * every listing (about 115 KB a call at 400 opens). Only texts whose parent is
 * the context are ours to free: any other owner goes with the buffer. */
static void release_text(const char* text) {
    if (text && talloc_parent(text) == (const void*)g_context)
        talloc_free((void*)text);
}

/* How one kind of answer of `read` records is copied into `out`, and how
 * its texts are given back. */
struct answer_kind {
    uint32_t (*pack)(const uint8_t* buffer, uint32_t read, struct samba_netapi_list* out);
    void (*release)(const uint8_t* buffer, uint32_t read);
};

/* One listing call under the lock, its answer copied into a block of ours
 * and libnetapi's buffer and texts given back, whatever the result. */
static uint32_t list(netapi_call fn, const void* argument, const struct answer_kind* kind,
                     struct samba_netapi_list* out) {
    out->count = 0;
    out->items = NULL;
    pthread_mutex_lock(&g_lock);
    uint8_t* buffer;
    uint32_t read;
    uint32_t rc = call(fn, argument, &buffer, &read);
    if (rc == 0)
        rc = kind->pack(buffer, read, out);
    if (buffer) {
        kind->release(buffer, read);
        NetApiBufferFree(buffer);
    }
    pthread_mutex_unlock(&g_lock);
    return rc;
}

static uint32_t file_enum(const void* unused, uint8_t** buffer, uint32_t* read) {
    (void)unused;
    uint32_t total = 0, resume = 0;
    /* Samba answers every open in one reply whatever the preferred length. */
    return NetFileEnum(g_server, NULL, NULL, 3, buffer, (uint32_t)-1, read, &total, &resume);
}

static uint32_t pack_opens(const uint8_t* buffer, uint32_t read, struct samba_netapi_list* out) {
    const struct FILE_INFO_3* files = (const struct FILE_INFO_3*)buffer;
    size_t texts = 0;
    for (uint32_t i = 0; i < read; ++i)
        texts += text_size(files[i].fi3_pathname) + text_size(files[i].fi3_username);
    struct packer p;
    if (!start_block(&p, read * sizeof(struct samba_netapi_open), texts))
        return kNotEnoughMemory;
    struct samba_netapi_open* opens = (struct samba_netapi_open*)p.block;
    for (uint32_t i = 0; i < read; ++i) {
        opens[i].id = files[i].fi3_id;
        opens[i].permissions = files[i].fi3_permissions;
        opens[i].path = pack(&p, files[i].fi3_pathname);
        opens[i].user = pack(&p, files[i].fi3_username);
    }
    out->count = read;
    out->items = p.block;
    return 0;
}

/* Newest first: talloc_parent walks back over the newer siblings of a text,
 * so giving 10,000 opens' texts back oldest first took seconds. */
static void release_opens(const uint8_t* buffer, uint32_t read) {
    const struct FILE_INFO_3* files = (const struct FILE_INFO_3*)buffer;
    for (uint32_t i = read; i-- > 0;) {
        release_text(files[i].fi3_username);
        release_text(files[i].fi3_pathname);
    }
}

static const struct answer_kind kOpens = {pack_opens, release_opens};

uint32_t samba_netapi_opens(struct samba_netapi_list* out) { return list(file_enum, NULL, &kOpens, out); }

static uint32_t pack_shares(const uint8_t* buffer, uint32_t read, struct samba_netapi_list* out) {
    const struct SHARE_INFO_2* shares = (const struct SHARE_INFO_2*)buffer;
    size_t texts = 0;
    for (uint32_t i = 0; i < read; ++i)
        texts += text_size(shares[i].shi2_netname) + text_size(shares[i].shi2_path) + text_size(shares[i].shi2_remark);
    struct packer p;
    if (!start_block(&p, read * sizeof(struct samba_netapi_share), texts))
        return kNotEnoughMemory;
    struct samba_netapi_share* items = (struct samba_netapi_share*)p.block;
    for (uint32_t i = 0; i < read; ++i) {
        items[i].name = pack(&p, shares[i].shi2_netname);
        items[i].path = pack(&p, shares[i].shi2_path);
        items[i].remark = pack(&p, shares[i].shi2_remark);
        items[i].type = shares[i].shi2_type;
        items[i].current_uses = shares[i].shi2_current_uses;
    }
    out->count = read;
    out->items = p.block;
    return 0;
}

static void release_shares(const uint8_t* buffer, uint32_t read) {
    const struct SHARE_INFO_2* shares = (const struct SHARE_INFO_2*)buffer;
    for (uint32_t i = 0; i < read; ++i) {
        release_text(shares[i].shi2_netname);
        release_text(shares[i].shi2_path);
        release_text(shares[i].shi2_remark);
        release_text(shares[i].shi2_passwd);
    }
}

static const struct answer_kind kShares = {pack_shares, release_shares};

static uint32_t share_enum(const void* unused, uint8_t** buffer, uint32_t* read) {
    (void)unused;
    uint32_t total = 0, resume = 0;
    return NetShareEnum(g_server, 2, buffer, (uint32_t)-1, read, &total, &resume);
}

uint32_t samba_netapi_shares(struct samba_netapi_list* out) { return list(share_enum, NULL, &kShares, out); }

static uint32_t share_get_info(const void* name, uint8_t** buffer, uint32_t* read) {
    uint32_t rc = NetShareGetInfo(g_server, (const char*)name, 2, buffer);
    *read = rc == 0 && *buffer ? 1 : 0;
    return rc;
}

uint32_t samba_netapi_share_info(const char* name, struct samba_netapi_list* out) {
    if (!name) {
        out->count = 0;
        out->items = NULL;
        return kInvalidParameter;
    }
    return list(share_get_info, name, &kShares, out);
}

static uint32_t file_close(const void* id, uint8_t** buffer, uint32_t* read) {
    (void)buffer;
    (void)read;
    return NetFileClose(g_server, *(const uint32_t*)id);
}

uint32_t samba_netapi_close(uint32_t id) {
    pthread_mutex_lock(&g_lock);
    uint8_t* buffer;
    uint32_t read;
    uint32_t rc = call(file_close, &id, &buffer, &read);
    pthread_mutex_unlock(&g_lock);
    return rc;
}

void samba_netapi_free(struct samba_netapi_list* list) {
    if (!list)
        return;
    free(list->items);
    list->items = NULL;
    list->count = 0;
}
