#include "netmgmt/samba_process_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace netmgmt {
namespace samba {
namespace {

long long now_ms() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0)
            close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

bool make_pipe(Fd& read_end, Fd& write_end) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    read_end.reset(fds[0]);
    write_end.reset(fds[1]);
    return true;
}

// Waits for the child until the deadline; then kills its process group.
int reap(pid_t pid, long long deadline, bool& in_time) {
    int status = 0;
    for (;;) {
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return status;
        if (r < 0 && errno != EINTR)
            return -1;
        if (now_ms() >= deadline)
            break;
        usleep(5000);
    }
    in_time = false;
    kill(-pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return -1;
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv, int timeout_ms) {
    ProcessResult result;
    const long long deadline = now_ms() + timeout_ms;
    Fd out_r, out_w, err_r, err_w;
    if (!make_pipe(out_r, out_w) || !make_pipe(err_r, err_w))
        return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_w.get(), 1);
    posix_spawn_file_actions_adddup2(&actions, err_w.get(), 2);

    // A new session: no controlling terminal to prompt on, and one process
    // group to kill. Signal state is reset from whatever Wine set up.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = -1;
    int spawned = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    out_w.reset();
    err_w.reset();
    if (spawned != 0) {
        result.outcome = spawned == ENOENT ? ProcessResult::Missing : ProcessResult::Failed;
        return result;
    }

    pollfd fds[2] = {{out_r.get(), POLLIN, 0}, {err_r.get(), POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_streams = 2;
    char buffer[65536];
    while (open_streams > 0) {
        long long left = deadline - now_ms();
        if (left <= 0)
            break;
        int n = poll(fds, 2, static_cast<int>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open_streams;
            }
        }
    }
    bool in_time = open_streams == 0;
    int status = reap(pid, in_time ? deadline : now_ms(), in_time);
    if (!in_time) {
        result.outcome = ProcessResult::TimedOut;
    } else if (status != -1 && WIFEXITED(status)) {
        result.outcome = ProcessResult::Ran;
        result.exit_code = WEXITSTATUS(status);
    }
    return result;
}

}  // namespace samba
}  // namespace netmgmt
