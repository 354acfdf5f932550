// Writes what a real server answers to the srvsvc session calls, whole as
// the pipe returned it, for the codec's unit tests:
//   srvsvc_capture SERVER ACCOUNT_FILE DIR [CLIENT]
// DIR/srvsvc_bind_answer.bin, srvsvc_sessions_level0.bin and _level1.bin;
// with CLIENT also srvsvc_session_delete.bin (ends CLIENT's sessions).
// Built and run by srvsvc_capture.sh.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "netmgmt/net_management.h"
#include "netmgmt/samba_credentials.h"
#include "netmgmt/srvsvc_client_linux.h"
#include "netmgmt/srvsvc_pipe_linux.h"
#include "netmgmt/srvsvc_rpc.h"

namespace {

bool exchange(srvsvc_pipe* pipe, const std::string& request, std::string& answer) {
    return netmgmt::samba::exchange(pipe, request, answer) == 0;
}

bool save(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: srvsvc_capture SERVER ACCOUNT_FILE DIR [CLIENT]\n");
        return 2;
    }
    const std::string server = argv[1], dir = argv[3];
    std::ifstream file(argv[2]);
    std::ostringstream text;
    text << file.rdbuf();
    netmgmt::samba::Credentials account;
    if (netmgmt::samba::read_account(text.str(), account) != 0) {
        std::fprintf(stderr, "no account in %s\n", argv[2]);
        return 2;
    }
    srvsvc_pipe* pipe = nullptr;
    if (std::uint32_t code = srvsvc_pipe_open(argv[1], account.user.c_str(), account.password.c_str(), &pipe)) {
        std::fprintf(stderr, "open: %u\n", code);
        return 1;
    }
    namespace rpc = netmgmt::srvsvc;
    std::string bound, level0, level1, deleted;
    bool ok = exchange(pipe, rpc::bind_request(1), bound) && save(dir + "/srvsvc_bind_answer.bin", bound) &&
              exchange(pipe, rpc::sessions_request(2, server, 0, 0), level0) &&
              save(dir + "/srvsvc_sessions_level0.bin", level0) &&
              exchange(pipe, rpc::sessions_request(3, server, 1, 0), level1) &&
              save(dir + "/srvsvc_sessions_level1.bin", level1);
    if (ok && argc == 5)
        ok = exchange(pipe, rpc::session_delete_request(4, server, argv[4], {}), deleted) &&
             save(dir + "/srvsvc_session_delete.bin", deleted);
    srvsvc_pipe_close(pipe);
    return ok ? 0 : 1;
}
