#include "monitor/failure_messages.h"

#include <cstdio>

#include "common/exclusive_file.h"
#include "monitor/open_id.h"
#include "netmgmt/net_management.h"

namespace {

struct CodeName {
    std::uint32_t code;
    const char* name;
};

// The causes the backends report beyond the enumeration calls' own codes:
// their error-log lines name them and say what they mean.
struct Cause {
    std::uint32_t code;
    const char* name;
    const char* text;
};

const Cause kCauses[] = {
    {netmgmt::kFileNotFound, "ERROR_FILE_NOT_FOUND", "找不到Samba的工具程序"},
    {netmgmt::kPathNotFound, "ERROR_PATH_NOT_FOUND", "找不到Samba的配置文件smb.conf"},
    {netmgmt::kBadFormat, "ERROR_BAD_FORMAT", "Samba管理员账户文件缺少username或password行"},
    {netmgmt::kInvalidData, "ERROR_INVALID_DATA", "服务器的回答无法识别"},
    {netmgmt::kHandleEof, "ERROR_HANDLE_EOF", "Samba管理员账户文件是空的"},
    {netmgmt::kNotSupported, "ERROR_NOT_SUPPORTED", "系统不支持网络管理调用"},
    {netmgmt::kBadNetPath, "ERROR_BAD_NETPATH", "无法连接文件共享服务"},
    {netmgmt::kFileTooLarge, "ERROR_FILE_TOO_LARGE", "Samba管理员账户文件过大"},
    {netmgmt::kNotRegularFile, "ERROR_DIRECTORY", "Samba管理员账户文件不是普通文件"},
    {netmgmt::kNotAuthenticated, "ERROR_NOT_AUTHENTICATED",
     "没有可用的Samba管理员账户,以root运行filvane-samba-account setup可建立"},
    {netmgmt::kInvalidOwner, "ERROR_INVALID_OWNER", "Samba管理员账户文件的所有者不是root"},
    {netmgmt::kLogonFailure, "ERROR_LOGON_FAILURE", "Samba管理员账户的用户名或密码错误"},
    {netmgmt::kExposedFile, "ERROR_INVALID_SECURITY_DESCR", "Samba管理员账户文件的权限不是600"},
    {netmgmt::kTimeout, "ERROR_TIMEOUT", "读取超时"},
    {netmgmt::kSymbolicLink, "ERROR_CANT_RESOLVE_FILENAME", "Samba管理员账户文件是符号链接"},
    {netmgmt::kServerNotStarted, "NERR_ServerNotStarted", "文件共享服务没有运行"},
    {netmgmt::kClientNameNotFound, "NERR_ClientNameNotFound", "找不到这个会话,它可能已经断开"},
    {netmgmt::kFileIdNotFound, "NERR_FileIdNotFound", "找不到这个打开文件,它可能已经关闭"},
    {file_failure::kWriteProtected, "ERROR_WRITE_PROTECT", "日志文件夹是只读的"},
    {file_failure::kDiskFull, "ERROR_DISK_FULL", "磁盘空间不足"},
    {file_failure::kSymbolicLink, "ERROR_STOPPED_ON_SYMLINK", "日志文件是符号链接,已拒绝"},
};

const Cause* cause_of(std::uint32_t status) {
    for (const Cause& c : kCauses)
        if (c.code == status)
            return &c;
    return nullptr;
}

std::string with_code_name(const char* prefix, std::uint32_t status, const CodeName* names, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (names[i].code == status)
            return std::string(prefix) + names[i].name;
    if (const Cause* c = cause_of(status))
        return std::string(prefix) + c->name + "(" + c->text + ")";
    return std::string(prefix) + "未知";
}

std::string with_number(const char* format, std::uint32_t status) {
    char text[128];
    std::snprintf(text, sizeof text, format, static_cast<unsigned long>(status));
    const Cause* c = cause_of(status);
    return c ? text + std::string("(") + c->text + ")" : text;
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

std::string failure_cause(std::uint32_t status) {
    std::string text;
    if (const Cause* c = cause_of(status))
        text = c->text;
    else if (status == netmgmt::kAccessDenied)
        text = "权限不足,需要以管理员(root)身份运行";
    else if (status == netmgmt::kNotEnoughMemory)
        text = "内存不足";
    else
        return "错误代码" + std::to_string(status);
    return text + "(" + std::to_string(status) + ")";
}
