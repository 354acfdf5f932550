// Runs one of Samba's tools as a child process: no terminal, stdin from
// /dev/null, a time limit after which its whole process group is killed.
#pragma once

#include <string>
#include <vector>

namespace netmgmt {
namespace samba {

struct ProcessResult {
    bool ran = false;    // started and ended within the time limit
    int exit_code = -1;  // exit status when it ran, else -1
    std::string out;
    std::string err;
};

// `secret`, when not empty, is readable by the child as /dev/fd/3 (a pipe, so
// it never lands in a file, the command line or the environment).
ProcessResult run_process(const std::vector<std::string>& argv, int timeout_ms, const std::string& secret = {});

}  // namespace samba
}  // namespace netmgmt
