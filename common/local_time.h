// The local wall-clock time, broken down as the programs print it.
#pragma once

#include <functional>

struct LocalTime {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
    int hour = 0;   // 0-23
    int minute = 0;
    int second = 0;
};

// Reads the system's local time (one implementation per build).
LocalTime current_local_time();

// Injected where tests need to pin the time.
using Clock = std::function<LocalTime()>;
