/* Samba's srvsvc through its libnetapi, for the Winelib program. The C side
 * (samba_netapi_linux.c) is built by the system's C compiler and never meets
 * <windows.h>, whose types clash with Samba's; this header holds only plain
 * C types, so both sides can include it.
 *
 * Texts are UTF-8. Each list is one block the caller gives back with
 * samba_netapi_free. Every call is serialised inside: libnetapi keeps one
 * global context and is not re-entrant. Results are Windows error codes. */
#ifndef FILVANE_SAMBA_NETAPI_LINUX_H
#define FILVANE_SAMBA_NETAPI_LINUX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct samba_netapi_open {
    uint32_t id;          /* the value NetFileClose takes */
    uint32_t permissions; /* 1 read data, 2 write data */
    const char* path;     /* "C:\dir\file", as srvsvc gives it */
    const char* user;
};

struct samba_netapi_share {
    const char* name;
    const char* path; /* "C:\dir", as srvsvc gives it */
    const char* remark;
    uint32_t type;
    uint32_t current_uses;
};

struct samba_netapi_list {
    uint32_t count;
    void* items; /* struct samba_netapi_open or samba_netapi_share [count] */
};

/* The server and account of the calls that follow. A different server or
 * account drops the connection kept so far; the same ones keep it. */
uint32_t samba_netapi_use(const char* server, const char* user, const char* password);
/* Drops the connection and forgets the account, until the next use. */
void samba_netapi_forget(void);
/* NetFileEnum, level 3. */
uint32_t samba_netapi_opens(struct samba_netapi_list* out);
/* NetShareEnum, level 2. */
uint32_t samba_netapi_shares(struct samba_netapi_list* out);
/* NetShareGetInfo, level 2: one share, for those hidden from enumeration. */
uint32_t samba_netapi_share_info(const char* name, struct samba_netapi_list* out);
/* NetFileClose. */
uint32_t samba_netapi_close(uint32_t id);
void samba_netapi_free(struct samba_netapi_list* list);

/* Samba's libraries share state that is not thread-safe, the talloc stack of
 * frames both libnetapi and libsmbclient push among it: code of this process
 * that calls libsmbclient holds this lock (the one every call above takes)
 * around each call. Not re-entrant. */
void samba_library_lock(void);
void samba_library_unlock(void);

#ifdef __cplusplus
}
#endif

#endif
