// Runs one of Samba's tools as a child process: no terminal, stdin from
// /dev/null, a time limit after which its whole process group is killed.
#pragma once

#include <string>
#include <vector>

namespace netmgmt {
namespace samba {

struct ProcessResult {
    enum Outcome {
        Ran,       // started and ended within the time limit
        Missing,   // no such program
        TimedOut,  // killed at the time limit
        Failed,    // could not be started, or did not end normally
    };
    Outcome outcome = Failed;
    int exit_code = -1;  // exit status when it ran, else -1
    std::string out;
    std::string err;
};

ProcessResult run_process(const std::vector<std::string>& argv, int timeout_ms);

}  // namespace samba
}  // namespace netmgmt
