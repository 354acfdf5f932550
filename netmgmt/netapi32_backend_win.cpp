// netapi32 on Windows. NetFileGetInfo and NetFileClose are looked up at run
// time, so a system that lacks them reports a failure instead of refusing to
// start.
#include <windows.h>
#include <lm.h>

#include "common/code_page.h"
#include "netmgmt/net_management.h"
#include "netmgmt/remote_logon_win.h"
#include "netmgmt/samba_credentials.h"
#include "netmgmt/session_levels.h"

namespace netmgmt {
namespace {

std::string cell(LPCWSTR text) {
    if (!text)
        return {};
    return codepage::utf16_to_cell(reinterpret_cast<const char16_t*>(text));
}

// Copies the records of one reply and frees its buffer on every path.
template <class Info, class Record, class Convert>
Reply<Record> take(NET_API_STATUS status, LPBYTE buffer, DWORD read, Convert convert) {
    Reply<Record> reply;
    reply.status = status;
    if (buffer) {
        if (status == NERR_Success || status == ERROR_MORE_DATA) {
            auto records = reinterpret_cast<const Info*>(buffer);
            for (DWORD i = 0; i < read; ++i)
                reply.records.push_back(convert(records[i]));
        }
        NetApiBufferFree(buffer);
    }
    return reply;
}

class Netapi32 : public NetManagement {
public:
    // netapi32 takes the server as "\\NAME", or no name for this computer.
    // Another server is reached as the user, or with the account remembered
    // for it.
    explicit Netapi32(const std::string& server)
        : server_(server.empty() ? u"" : u"\\\\" + codepage::gbk_to_utf16(server)) {
        if (!server_.empty())
            log_on_remembered(server_);
    }

    // The computer itself is always read as the user who runs Filvane.
    std::uint32_t use_account(const std::string& user, const std::string& password, bool remember) override {
        if (server_.empty())
            return kNotSupported;
        if (std::uint32_t code = samba::account_refusal({user, password}))
            return code;
        const std::u16string name = codepage::gbk_to_utf16(user), secret = codepage::gbk_to_utf16(password);
        if (std::uint32_t code = log_on(server_, name, secret))
            return code;
        return remember ? remember_logon(server_, name, secret) : kSuccess;
    }

    Reply<ShareInfo> enum_shares(std::uint32_t preferred, std::uint32_t& resume) override {
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0, handle = resume;
        NET_API_STATUS status = NetShareEnum(server(), 2, &buffer, preferred, &read, &total, &handle);
        resume = handle;
        return take<SHARE_INFO_2, ShareInfo>(status, buffer, read, [](const SHARE_INFO_2& s) {
            return ShareInfo{cell(s.shi2_netname), cell(s.shi2_path), s.shi2_current_uses, cell(s.shi2_remark)};
        });
    }

    Reply<SessionInfo> enum_sessions(std::uint32_t preferred, std::uint32_t& resume) override {
        return sessions_.enumerate(preferred, resume);
    }

    Reply<OpenFileInfo> enum_open_files(std::uint32_t preferred, std::uint32_t& resume) override {
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0;
        DWORD_PTR handle = resume;
        NET_API_STATUS status = NetFileEnum(server(), nullptr, nullptr, 3, &buffer, preferred, &read, &total, &handle);
        resume = static_cast<std::uint32_t>(handle);
        return take<FILE_INFO_3, OpenFileInfo>(status, buffer, read, open_file_of);
    }

    std::uint32_t close_open_file(const OpenFileInfo& asked) override {
        using GetInfoFn = NET_API_STATUS(WINAPI*)(LPWSTR, DWORD, DWORD, LPBYTE*);
        using CloseFn = NET_API_STATUS(WINAPI*)(LPWSTR, DWORD);
        auto get_info = netapi_entry<GetInfoFn>("NetFileGetInfo");
        auto close = netapi_entry<CloseFn>("NetFileClose");
        if (!get_info || !close)
            return ERROR_PROC_NOT_FOUND;
        LPBYTE buffer = nullptr;
        NET_API_STATUS status = get_info(server(), asked.id, 3, &buffer);
        auto now = take<FILE_INFO_3, OpenFileInfo>(status, buffer, buffer ? 1 : 0, open_file_of);
        if (status != NERR_Success)
            return status;
        if (now.records.size() != 1 || now.records[0].path != asked.path || now.records[0].user != asked.user)
            return kFileChanged;
        return close(server(), asked.id);
    }

    std::uint32_t disconnect_session(const SessionInfo& session) override {
        std::u16string client = u"\\\\" + codepage::gbk_to_utf16(session.computer);
        std::u16string user = codepage::gbk_to_utf16(session.user);
        return NetSessionDel(server(), reinterpret_cast<LPWSTR>(&client[0]), reinterpret_cast<LPWSTR>(&user[0]));
    }

private:
    Reply<SessionInfo> sessions_at(std::uint32_t level, std::uint32_t preferred, std::uint32_t& resume) {
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0, handle = resume;
        WCHAR empty[1] = {0};
        NET_API_STATUS status = NetSessionEnum(
            server_.empty() ? empty : server(), empty, empty, level, &buffer, preferred, &read, &total, &handle);
        resume = handle;
        switch (level) {
        case 502:
            return take<SESSION_INFO_502, SessionInfo>(status, buffer, read, [](const SESSION_INFO_502& s) {
                return SessionInfo{cell(s.sesi502_username), cell(s.sesi502_cname), s.sesi502_num_opens, s.sesi502_time,
                                   s.sesi502_idle_time};
            });
        case 10:
            return take<SESSION_INFO_10, SessionInfo>(status, buffer, read, [](const SESSION_INFO_10& s) {
                return SessionInfo{cell(s.sesi10_username), cell(s.sesi10_cname), 0, s.sesi10_time, s.sesi10_idle_time};
            });
        case 1:
            return take<SESSION_INFO_1, SessionInfo>(status, buffer, read, [](const SESSION_INFO_1& s) {
                return SessionInfo{
                    cell(s.sesi1_username), cell(s.sesi1_cname), s.sesi1_num_opens, s.sesi1_time, s.sesi1_idle_time};
            });
        default:
            return take<SESSION_INFO_0, SessionInfo>(status, buffer, read, [](const SESSION_INFO_0& s) {
                return SessionInfo{{}, cell(s.sesi0_cname), 0, 0, 0};
            });
        }
    }

    LPWSTR server() { return server_.empty() ? nullptr : reinterpret_cast<LPWSTR>(&server_[0]); }

    static OpenFileInfo open_file_of(const FILE_INFO_3& f) {
        return OpenFileInfo{f.fi3_id, f.fi3_permissions, cell(f.fi3_pathname), cell(f.fi3_username)};
    }

    // Looked up at run time, so a system that lacks the call reports a
    // failure instead of refusing to start.
    template <class Fn>
    static Fn netapi_entry(const char* name) {
        HMODULE module = GetModuleHandleW(L"netapi32.dll");
        FARPROC found = module ? GetProcAddress(module, name) : nullptr;
        // Through void (*)(void), the one pointer type GCC lets stand for any.
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(found));
    }

    std::u16string server_;
    SessionLevels sessions_{[this](std::uint32_t level, std::uint32_t preferred, std::uint32_t& resume) {
        return sessions_at(level, preferred, resume);
    }};
};

}  // namespace

std::unique_ptr<NetManagement> make_system_net_management(const std::string& server) {
    return std::make_unique<Netapi32>(server);
}

}  // namespace netmgmt
