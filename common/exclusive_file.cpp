#include <chrono>
#include <thread>

#include "common/exclusive_file.h"

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
