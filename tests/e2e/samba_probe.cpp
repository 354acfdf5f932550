// Prints what the system's network-management backend answers, so shell
// tests can check it against a real server. Texts are printed as UTF-8.
//
//   netmgmt_probe [--server NAME] shares|sessions|opens [PREFERRED [PASSES]]
//   netmgmt_probe [--server NAME] close ID [PATH USER]
//   netmgmt_probe [--server NAME] disconnect USER COMPUTER
//
// --server watches another server instead of the local one.
//
// close asks about the open ID with the path and user given (UTF-8), or, as
// the main window does, with those of its row in a fresh listing.
//
// disconnect ends the session of USER from COMPUTER (UTF-8), as its row
// names them, and prints "disconnect STATUS".
//
// Each reply prints "reply STATUS RECORDS RESUME", each record one line of
// tab-separated fields, each pass ends with "end STATUS".
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/code_page.h"
#include "netmgmt/enumerate.h"
#include "netmgmt/net_management.h"

namespace {

std::string utf8(const std::string& cell) { return codepage::gbk_to_utf8(cell); }

void print(const netmgmt::ShareInfo& r) {
    std::printf(
        "share\t%s\t%s\t%u\t%s\n", utf8(r.name).c_str(), utf8(r.path).c_str(), r.current_uses, utf8(r.remark).c_str());
}

void print(const netmgmt::SessionInfo& r) {
    std::printf("session\t%s\t%s\t%u\t%u\t%u\n", utf8(r.user).c_str(), utf8(r.computer).c_str(), r.opens,
                r.seconds_connected, r.seconds_idle);
}

void print(const netmgmt::OpenFileInfo& r) {
    std::printf("open\t%u\t%u\t%s\t%s\n", r.id, r.permissions, utf8(r.path).c_str(), utf8(r.user).c_str());
}

template <class Enumerate>
std::uint32_t pass(Enumerate enumerate, std::uint32_t preferred) {
    std::uint32_t status = netmgmt::enumerate_all(
        [&](std::uint32_t& resume) {
            auto reply = enumerate(preferred, resume);
            std::printf("reply %u %zu %u\n", reply.status, reply.records.size(), resume);
            return reply;
        },
        [](const auto& records, bool) {
            for (const auto& r : records)
                print(r);
        });
    std::printf("end %u\n", status);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string server;
    if (argc > 2 && std::string(argv[1]) == "--server") {
        server = argv[2];
        argc -= 2;
        argv += 2;
    }
    if (argc < 2) {
        std::fprintf(
            stderr,
            "usage: netmgmt_probe [--server NAME] shares|sessions|opens [PREFERRED [PASSES]] | close ID [PATH USER]"
            " | disconnect USER COMPUTER\n");
        return 1;
    }
    auto net = netmgmt::make_system_net_management(server);
    const std::string what = argv[1];
    if (what == "close" && (argc == 3 || argc == 5)) {
        netmgmt::OpenFileInfo asked;
        asked.id = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
        if (argc == 5) {
            asked.path = codepage::utf8_to_cell(argv[3]);
            asked.user = codepage::utf8_to_cell(argv[4]);
        } else {
            netmgmt::enumerate_all([&](std::uint32_t& resume) { return net->enum_open_files(8192, resume); },
                                   [&](const std::vector<netmgmt::OpenFileInfo>& records, bool) {
                                       for (const auto& r : records)
                                           if (r.id == asked.id)
                                               asked = r;
                                   });
        }
        std::printf("close %u\n", net->close_open_file(asked));
        return 0;
    }
    if (what == "disconnect" && argc == 4) {
        netmgmt::SessionInfo asked;
        asked.user = codepage::utf8_to_cell(argv[2]);
        asked.computer = codepage::utf8_to_cell(argv[3]);
        std::printf("disconnect %u\n", net->disconnect_session(asked));
        return 0;
    }
    const auto preferred = static_cast<std::uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 8192);
    const int passes = argc > 3 ? std::atoi(argv[3]) : 1;
    for (int i = 0; i < passes; ++i) {
        if (what == "shares")
            pass([&](std::uint32_t p, std::uint32_t& r) { return net->enum_shares(p, r); }, preferred);
        else if (what == "sessions")
            pass([&](std::uint32_t p, std::uint32_t& r) { return net->enum_sessions(p, r); }, preferred);
        else if (what == "opens")
            pass([&](std::uint32_t p, std::uint32_t& r) { return net->enum_open_files(p, r); }, preferred);
        else
            return 1;
        std::fflush(stdout);
    }
    return 0;
}
