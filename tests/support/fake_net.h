// A scripted network-management source for the core's tests: the records of
// the next enumerations, paged by a fixed count per reply, and failures to
// inject.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "netmgmt/net_management.h"

class FakeNet : public netmgmt::NetManagement {
public:
    std::vector<netmgmt::ShareInfo> shares;
    std::vector<netmgmt::SessionInfo> sessions;
    std::vector<netmgmt::OpenFileInfo> open_files;
    std::size_t per_reply = 1000;  // records per reply before kMoreData
    // Failure of the n-th call of an enumeration (0: the first); none when status is 0.
    std::uint32_t session_failure = 0, open_file_failure = 0, share_failure = 0;
    int fail_at_call = 0;
    std::vector<std::uint32_t> closed;
    std::vector<netmgmt::OpenFileInfo> asked_to_close;
    std::uint32_t close_result = 0;
    std::vector<netmgmt::SessionInfo> asked_to_disconnect;
    std::uint32_t disconnect_result = 0;
    bool ends_connection = false;  // as Samba's disconnect does
    int session_calls = 0, open_file_calls = 0, share_calls = 0;
    std::optional<std::uint64_t> token;  // the change token; none: cannot tell

    // For tests that change the data while another thread enumerates.
    std::mutex mutex;
    // Makes each session enumeration take this long, as a slow server would.
    std::atomic<int> session_delay_ms{0};

    netmgmt::Reply<netmgmt::ShareInfo> enum_shares(std::uint32_t, std::uint32_t& resume) override {
        std::lock_guard<std::mutex> lock(mutex);
        return page(shares, resume, share_failure, share_calls);
    }
    netmgmt::Reply<netmgmt::SessionInfo> enum_sessions(std::uint32_t, std::uint32_t& resume) override {
        if (session_delay_ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(session_delay_ms.load()));
        std::lock_guard<std::mutex> lock(mutex);
        return page(sessions, resume, session_failure, session_calls);
    }
    netmgmt::Reply<netmgmt::OpenFileInfo> enum_open_files(std::uint32_t, std::uint32_t& resume) override {
        std::lock_guard<std::mutex> lock(mutex);
        return page(open_files, resume, open_file_failure, open_file_calls);
    }
    std::uint32_t close_open_file(const netmgmt::OpenFileInfo& asked) override {
        std::lock_guard<std::mutex> lock(mutex);
        closed.push_back(asked.id);
        asked_to_close.push_back(asked);
        return close_result;
    }

    std::optional<std::uint64_t> change_token() override {
        std::lock_guard<std::mutex> lock(mutex);
        return token;
    }

    std::uint32_t disconnect_session(const netmgmt::SessionInfo& asked) override {
        std::lock_guard<std::mutex> lock(mutex);
        asked_to_disconnect.push_back(asked);
        return disconnect_result;
    }
    bool disconnect_ends_connection() const override { return ends_connection; }

    struct GivenAccount {
        std::string user, password;
        bool remember = false;
    };
    std::vector<GivenAccount> accounts_given;
    std::uint32_t account_result = 0;  // what use_account answers
    std::uint32_t use_account(const std::string& user, const std::string& password, bool remember) override {
        std::lock_guard<std::mutex> lock(mutex);
        accounts_given.push_back({user, password, remember});
        return account_result;
    }

private:
    template <class Record>
    netmgmt::Reply<Record> page(const std::vector<Record>& all, std::uint32_t& resume, std::uint32_t failure,
                                int& calls) {
        int call = resume == 0 ? 0 : static_cast<int>(resume / per_reply);
        ++calls;
        netmgmt::Reply<Record> reply;
        if (failure != 0 && call == fail_at_call) {
            reply.status = failure;
            return reply;
        }
        std::size_t begin = resume;
        std::size_t end = begin + per_reply < all.size() ? begin + per_reply : all.size();
        reply.records.assign(all.begin() + static_cast<long>(begin), all.begin() + static_cast<long>(end));
        resume = static_cast<std::uint32_t>(end);
        reply.status = end < all.size() ? netmgmt::kMoreData : netmgmt::kSuccess;
        return reply;
    }
};
