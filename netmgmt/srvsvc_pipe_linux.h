/* The \PIPE\srvsvc named pipe of a server's IPC$, through libsmbclient, for
 * the Winelib program. Like the libnetapi side, the C file is built by the
 * system's C compiler, away from <windows.h>; this header holds plain C
 * types only. Results are Windows error codes. A pipe is used by one thread
 * at a time. */
#ifndef FILVANE_SRVSVC_PIPE_LINUX_H
#define FILVANE_SRVSVC_PIPE_LINUX_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct srvsvc_pipe;

/* Logs on to `server` (a host name or IPv4 address) and opens its srvsvc
 * pipe; the password is copied and kept for reconnecting. */
uint32_t srvsvc_pipe_open(const char* server, const char* user, const char* password, struct srvsvc_pipe** out);
/* Writes one whole message. */
uint32_t srvsvc_pipe_write(struct srvsvc_pipe* pipe, const void* data, size_t size);
/* Reads what the server has sent, up to `size` bytes, into `data`. */
uint32_t srvsvc_pipe_read(struct srvsvc_pipe* pipe, void* data, size_t size, size_t* got);
/* Closes the pipe and the connection; null is ignored. */
void srvsvc_pipe_close(struct srvsvc_pipe* pipe);

#ifdef __cplusplus
}
#endif

#endif
