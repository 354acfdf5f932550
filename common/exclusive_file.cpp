#include <chrono>
#include <thread>

#include "common/exclusive_file.h"

namespace {
thread_local std::uint32_t t_last_failure = 0;
}

std::uint32_t ExclusiveFile::last_failure() { return t_last_failure; }
void ExclusiveFile::note_failure(std::uint32_t code) { t_last_failure = code; }

std::unique_ptr<ExclusiveFile> ExclusiveFile::open_waiting(const std::string& path, Disposition disposition,
                                                           int wait_ms) {
    for (int waited = 0;; waited += 100) {
        bool in_use = false;
        auto file = open(path, disposition, &in_use);
        if (file || !in_use || waited >= wait_ms)
            return file;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
