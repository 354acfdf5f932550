/* What the test and benchmark SMB clients share: accounts, a logged-on
 * libsmbclient context, and the small waits and signals they run by. */
#ifndef SMB_CLIENT_COMMON_H
#define SMB_CLIENT_COMMON_H

#include <libsmbclient.h>
#include <signal.h>

struct smb_account {
    char user[128];
    char password[128];
};

/* Set by SIGTERM and SIGINT once smb_catch_stop() has run. */
extern volatile sig_atomic_t smb_stop;

/* Keeps the first USER_LENGTH bytes of USER and PASSWORD; -1 when either
 * does not fit. */
int smb_set_account(struct smb_account* account, const char* user, int user_length, const char* password);

/* Parses USER%PASS; 0 on success, -1 when it does not fit. */
int smb_parse_account(const char* arg, struct smb_account* account);

/* Stop on SIGTERM or SIGINT, and a closed pipe must not kill the client. */
void smb_catch_stop(void);

/* A context logged on as ACCOUNT (kept, not copied) over SMB2 or 3, never
 * anonymously; NULL with errno set when it cannot be made. */
SMBCCTX* smb_new_context(const struct smb_account* account);

/* Makes the folder at URL, or finds it there; TAG starts the error line. */
int smb_make_dir(SMBCCTX* ctx, const char* url, const char* tag);

int smb_file_exists(const char* path);
double smb_now_s(void);

#endif
