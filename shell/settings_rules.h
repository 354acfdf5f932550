// Text rules of the stored settings: the folder list and the interval list.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One stored value is written into a 2048-byte buffer with its terminator.
constexpr std::size_t kStoredTextLimit = 2047;

// Every folder followed by "|"; nothing when the result would not fit in one
// stored value.
std::optional<std::string> join_dirs(const std::vector<std::string>& folders);

// The interval list holds "10" to "60": ShareTime "1" is index 0, "6" index 5.
// -1 for any other value (no selection).
int interval_index(long share_time);

// ShareTime for the selected item of the interval list: its first digit. No
// selection (an empty item) gives 1, the default interval.
long share_time_from_item(const std::string& item);

// Timer 1's new period after the dialog, or 0 when ShareTime is unchanged and
// the running timer is left alone.
unsigned rearm_period_ms(long before, long after);
