// Request numbers: 1 for the first echo request of the process, then one up
// for every request, across runs; never reset.
#pragma once

#include <atomic>
#include <cstdint>

class RequestCounter {
public:
    std::uint32_t next() { return ++last_; }

private:
    std::atomic<std::uint32_t> last_{0};
};

// The one counter of the process.
RequestCounter& process_request_counter();
