// What one monitoring pass costs the Samba backend itself with 100 sessions
// and 10,000 opens: the status tool's session and tree-connect reports
// parsed, the srvsvc opens counted per session and turned into records, and
// both enumerations paged in 2048-byte replies. The tools and the srvsvc
// call are left out (the source answers from memory); the scale script
// tests/e2e/samba_scale_e2e.sh measures the whole program.
#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>
#include <string>

#include "netmgmt/samba_backend.h"

using namespace netmgmt;
using namespace netmgmt::samba;

namespace {

constexpr int kSessions = 100;
constexpr int kOpensPerSession = 100;

std::string synthesized_sessions() {
    std::ostringstream j;
    j << R"({"timestamp": "2026-12-07T19:57:28.348315+0000", "version": "4.17.12-Debian", "sessions": {)";
    for (int s = 0; s < kSessions; ++s)
        j << (s ? ", " : "") << '"' << 1000 + s << R"(": {"session_id": ")" << 1000 + s
          << R"(", "server_id": {"pid": ")" << 20000 + s << R"(", "task_id": "0", "unique_id": "12345"}, "uid": )"
          << 2000 + s << R"(, "gid": 100, "username": "用户)" << s << R"(", "groupname": "users", "remote_machine": )"
          << R"("192.0.2.)" << s << R"(", "hostname": "ipv4:192.0.2.)" << s << R"(:50000"})";
    j << "}}";
    return j.str();
}

std::string synthesized_tree_connects() {
    std::ostringstream j;
    j << R"({"timestamp": "2026-12-07T19:57:28.348315+0000", "tcons": {)";
    for (int s = 0; s < kSessions; ++s)
        j << (s ? ", " : "") << '"' << 5000 + s << R"(": {"service": "共享", "tcon_id": ")" << 5000 + s
          << R"(", "session_id": ")" << 1000 + s
          << R"(", "machine": "192.0.2.1", "connected_at": "2026-12-07T19:57:26.354831+00:00"})";
    j << "}}";
    return j.str();
}

struct MemorySource : SambaSource {
    std::string sessions = synthesized_sessions();
    std::string connects = synthesized_tree_connects();
    std::vector<SrvsvcOpen> opens;
    MemorySource() {
        for (int s = 0; s < kSessions; ++s)
            for (int f = 0; f < kOpensPerSession; ++f)
                opens.push_back({static_cast<std::uint32_t>(20000 + s) << 16 | static_cast<std::uint32_t>(f + 1),
                                 static_cast<std::uint32_t>(f % 3 + 1),
                                 "C:\\srv\\共享\\部门" + std::to_string(s) + "\\报告 " + std::to_string(f) + ".docx",
                                 "用户" + std::to_string(s)});
    }
    Fetched sessions_report() override { return {kSuccess, sessions}; }
    Fetched tree_connects_report() override { return {kSuccess, connects}; }
    Fetched lock_listing() override { return {kFileNotFound, {}}; }
    Fetched usershares_report() override { return {kSuccess, {}}; }
    Fetched config_report() override { return {kSuccess, "[global]\n[共享]\n\tpath = /srv/共享\n"}; }
    void use_settings(const ServerSettings&) override {}
    std::uint32_t open_files(std::vector<SrvsvcOpen>& out) override {
        out = opens;
        return kSuccess;
    }
    std::uint32_t shares(std::vector<SrvsvcShare>&) override { return kSuccess; }
    std::uint32_t share(const std::string&, SrvsvcShare&) override { return kFileNotFound; }
    std::uint32_t close_file(std::uint32_t) override { return kAccessDenied; }
    std::string monitor_account() override { return "root"; }
    bool remote() override { return false; }
    std::uint32_t srvsvc_sessions(std::vector<srvsvc::Session>&) override { return kNotSupported; }
    std::uint32_t delete_session(const std::string&, const std::string&) override { return kNotSupported; }
    std::uint32_t end_process(std::uint32_t) override { return kNotSupported; }
    std::string user_name(std::uint32_t uid) override { return std::to_string(uid); }
    std::optional<std::uint64_t> state_token() override { return std::nullopt; }
};

template <class Enumerate>
std::size_t drain(Enumerate enumerate) {
    std::uint32_t resume = 0;
    std::size_t records = 0;
    for (;;) {
        auto reply = enumerate(resume);
        records += reply.records.size();
        if (reply.status != kMoreData)
            return records;
    }
}

void BM_SambaBackendPass(benchmark::State& state) {
    auto source = std::make_shared<MemorySource>();
    SambaNetManagement backend(source);
    std::size_t sessions = 0, opens = 0;
    for (auto _ : state) {
        sessions = drain([&](std::uint32_t& r) { return backend.enum_sessions(2048, r); });
        opens = drain([&](std::uint32_t& r) { return backend.enum_open_files(2048, r); });
    }
    state.counters["sessions"] = static_cast<double>(sessions);
    state.counters["opens"] = static_cast<double>(opens);
}
BENCHMARK(BM_SambaBackendPass)->Unit(benchmark::kMillisecond);

}  // namespace
