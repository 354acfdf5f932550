// Texts the monitor writes when an enumeration fails: the error-log lines,
// and the cause a user reads in the main window's status line.
#pragma once

#include <cstdint>
#include <string>

std::string session_failure_message(std::uint32_t status);
std::string open_file_failure_message(std::uint32_t status);
// For an open that comes without a path or a user.
std::string incomplete_open_message(std::uint32_t id, bool path_empty, bool user_empty);
std::string share_call_failure_message(std::uint32_t status);
std::string share_refresh_failure_message(std::uint32_t status);

// What a result code means to the user, with the code: "文件共享服务没有运行
// (2114)". Every code has one; those without a text of their own read
// "错误代码N".
std::string failure_cause(std::uint32_t status);
