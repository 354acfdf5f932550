// Texts the monitor writes to the error log when an enumeration fails.
#pragma once

#include <cstdint>
#include <string>

std::string session_failure_message(std::uint32_t status);
std::string open_file_failure_message(std::uint32_t status);
// For an open that comes without a path or a user.
std::string incomplete_open_message(std::uint32_t id, bool path_empty, bool user_empty);
std::string share_call_failure_message(std::uint32_t status);
std::string share_refresh_failure_message(std::uint32_t status);
