// netapi32 on Windows. NetFileGetInfo and NetFileClose are looked up at run
// time, so a system that lacks them reports a failure instead of refusing to
// start.
#include <windows.h>
#include <lm.h>

#include "common/code_page.h"
#include "netmgmt/net_management.h"

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
    Reply<ShareInfo> enum_shares(std::uint32_t preferred, std::uint32_t& resume) override {
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0, handle = resume;
        NET_API_STATUS status = NetShareEnum(nullptr, 2, &buffer, preferred, &read, &total, &handle);
        resume = handle;
        return take<SHARE_INFO_2, ShareInfo>(status, buffer, read, [](const SHARE_INFO_2& s) {
            return ShareInfo{cell(s.shi2_netname), cell(s.shi2_path), s.shi2_current_uses, cell(s.shi2_remark)};
        });
    }

    Reply<SessionInfo> enum_sessions(std::uint32_t preferred, std::uint32_t& resume) override {
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0, handle = resume;
        WCHAR empty[1] = {0};
        NET_API_STATUS status = NetSessionEnum(empty, empty, empty, 502, &buffer, preferred, &read, &total, &handle);
        resume = handle;
        return take<SESSION_INFO_502, SessionInfo>(status, buffer, read, [](const SESSION_INFO_502& s) {
            return SessionInfo{cell(s.sesi502_username), cell(s.sesi502_cname), s.sesi502_num_opens, s.sesi502_time,
                               s.sesi502_idle_time};
        });
    }

    Reply<OpenFileInfo> enum_open_files(std::uint32_t preferred, std::uint32_t& resume) override {
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0;
        DWORD_PTR handle = resume;
        NET_API_STATUS status = NetFileEnum(nullptr, nullptr, nullptr, 3, &buffer, preferred, &read, &total, &handle);
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
        NET_API_STATUS status = get_info(nullptr, asked.id, 3, &buffer);
        auto now = take<FILE_INFO_3, OpenFileInfo>(status, buffer, buffer ? 1 : 0, open_file_of);
        if (status != NERR_Success)
            return status;
        if (now.records.size() != 1 || now.records[0].path != asked.path || now.records[0].user != asked.user)
            return kFileChanged;
        return close(nullptr, asked.id);
    }

private:
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
};

}  // namespace

std::unique_ptr<NetManagement> make_system_net_management() { return std::make_unique<Netapi32>(); }

}  // namespace netmgmt
