#include "monitor/failure_messages.h"

#include <cstdio>

#include "monitor/open_id.h"
#include "netmgmt/net_management.h"

namespace {

struct CodeName {
    std::uint32_t code;
    const char* name;
};

std::string with_code_name(const char* prefix, std::uint32_t status, const CodeName* names, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (names[i].code == status)
            return std::string(prefix) + names[i].name;
    return std::string(prefix) + "未知";
}

std::string with_number(const char* format, std::uint32_t status) {
    char text[128];
    std::snprintf(text, sizeof text, format, static_cast<unsigned long>(status));
    return text;
}

}  // namespace

std::string session_failure_message(std::uint32_t status) {
    static const CodeName kNames[] = {
        {netmgmt::kAccessDenied, "ERROR_ACCESS_DENIED"},
        {netmgmt::kInvalidLevel, "ERROR_INVALID_LEVEL"},
        {netmgmt::kInvalidParameter, "ERROR_INVALID_PARAMETER"},
        {netmgmt::kNotEnoughMemory, "ERROR_NOT_ENOUGH_MEMORY"},
        {netmgmt::kClientNameNotFound, "NERR_ClientNameNotFound"},
        {netmgmt::kInvalidComputer, "NERR_InvalidComputer"},
        {netmgmt::kUserNotFound, "NERR_UserNotFound"},
    };
    return with_code_name("监控会话1出错!错误信息:", status, kNames, sizeof kNames / sizeof kNames[0]);
}

std::string open_file_failure_message(std::uint32_t status) {
    static const CodeName kNames[] = {
        {netmgmt::kAccessDenied, "ERROR_ACCESS_DENIED"},
        {netmgmt::kInvalidLevel, "ERROR_INVALID_LEVEL"},
        {netmgmt::kNotEnoughMemory, "ERROR_NOT_ENOUGH_MEMORY"},
        {netmgmt::kBufTooSmall, "NERR_BufTooSmall"},
    };
    return with_code_name("监控打开文件2出错!错误信息:", status, kNames, sizeof kNames / sizeof kNames[0]);
}

std::string incomplete_open_message(std::uint32_t id, bool path_empty, bool user_empty) {
    const char* what = path_empty && user_empty ? "路径和访问者都为空" : path_empty ? "路径为空" : "访问者为空";
    return "监控打开文件出错!文件标识" + open_id_text(id) + "的" + what + ",已跳过";
}

std::string share_call_failure_message(std::uint32_t status) {
    return with_number("监控共享文件夹1出错!错误代码:%lu", status);
}

std::string share_refresh_failure_message(std::uint32_t status) {
    return with_number("监控共享文件夹2出错!错误代码:%lu", status);
}
