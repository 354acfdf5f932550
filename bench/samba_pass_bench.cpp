// What one monitoring pass costs the Samba backend with 100 sessions and
// 2,000 opens: the sessions and open-file enumerations (2048-byte replies)
// over one status report, against producing that report with smbstatus.
//
// The report is synthesized in smbstatus's shape, or read from the file
// FILVANE_BENCH_SAMBA_REPORT. The floor runs the real
// `smbstatus -s $FILVANE_BENCH_SMB_CONF --json --resolve-uids` (skipped when
// that is not set).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "netmgmt/samba_backend.h"

using namespace netmgmt;
using namespace netmgmt::samba;

namespace {

constexpr int kSessions = 100;
constexpr int kOpensPerSession = 20;

std::string server_id(int pid) {
    return "{\"pid\": \"" + std::to_string(pid) +
           "\", \"task_id\": \"0\", \"vnn\": \"4294967295\", \"unique_id\": \"1234567890123\"}";
}

std::string synthesized_report() {
    std::ostringstream j;
    j << "{\"timestamp\": \"2026-12-07T19:57:28.348315+0000\", \"version\": \"4.17.12-Debian\", "
         "\"smb_conf\": \"/etc/samba/smb.conf\", \"sessions\": {";
    for (int s = 0; s < kSessions; ++s)
        j << (s ? ", " : "") << "\"" << 1000 + s << "\": {\"session_id\": \"" << 1000 + s
          << "\", \"server_id\": " << server_id(20000 + s) << ", \"uid\": " << 2000 + s
          << ", \"gid\": 100, \"username\": \"用户" << s << "\", \"groupname\": \"users\", "
          << "\"remote_machine\": \"192.0.2." << s << "\", \"hostname\": \"ipv4:192.0.2." << s
          << ":50000\", \"session_dialect\": \"SMB3_11\", \"encryption\": {\"cipher\": \"-\", \"degree\": "
             "\"none\"}, \"signing\": {\"cipher\": \"AES-128-GMAC\", \"degree\": \"partial\"}}";
    j << "}, \"tcons\": {";
    for (int s = 0; s < kSessions; ++s)
        j << (s ? ", " : "") << "\"" << 5000 + s
          << "\": {\"service\": \"共享\", \"server_id\": " << server_id(20000 + s) << ", \"tcon_id\": \"" << 5000 + s
          << "\", \"session_id\": \"" << 1000 + s << "\", \"machine\": \"192.0.2." << s
          << "\", \"connected_at\": \"2026-12-07T19:57:26.354831+00:00\", \"encryption\": {\"cipher\": \"-\", "
             "\"degree\": \"none\"}, \"signing\": {\"cipher\": \"-\", \"degree\": \"none\"}}";
    j << "}, \"open_files\": {";
    for (int s = 0, n = 0; s < kSessions; ++s) {
        for (int f = 0; f < kOpensPerSession; ++f, ++n) {
            const std::string name = "部门" + std::to_string(s) + "/报告 " + std::to_string(f) + ".docx";
            j << (n ? ", " : "") << "\"/srv/共享/" << name << "\": {\"service_path\": \"/srv/共享\", \"filename\": \""
              << name << "\", \"fileid\": {\"devid\": 65024, \"inode\": " << 100000 + n
              << ", \"extid\": 0}, \"num_pending_deletes\": 0, \"opens\": {\"" << 20000 + s << "/" << f + 5
              << "\": {\"server_id\": " << server_id(20000 + s) << ", \"username\": \"用户" << s
              << "\", \"uid\": " << 2000 + s << ", \"share_file_id\": \"" << f + 5
              << "\", \"sharemode\": {\"hex\": \"0x00000003\", \"READ\": true, \"WRITE\": true, \"DELETE\": "
                 "false, \"text\": \"RW\"}, \"access_mask\": {\"hex\": \"0x0012019f\", \"READ_DATA\": true, "
                 "\"WRITE_DATA\": true, \"APPEND_DATA\": true, \"READ_EA\": true, \"WRITE_EA\": true, "
                 "\"EXECUTE\": false, \"READ_ATTRIBUTES\": true, \"WRITE_ATTRIBUTES\": true, \"DELETE_CHILD\": "
                 "false, \"DELETE\": false, \"READ_CONTROL\": true, \"WRITE_DAC\": false, \"SYNCHRONIZE\": true, "
                 "\"ACCESS_SYSTEM_SECURITY\": false, \"text\": \"RW\"}, \"caching\": {\"READ\": false, "
                 "\"WRITE\": false, \"HANDLE\": false, \"hex\": \"0x00000000\", \"text\": \"\"}, \"oplock\": {}, "
                 "\"lease\": {}, \"opened_at\": \"2026-12-07T19:57:26.832649+00:00\"}}}";
        }
    }
    j << "}}";
    return j.str();
}

std::string report() {
    if (const char* path = std::getenv("FILVANE_BENCH_SAMBA_REPORT")) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    return synthesized_report();
}

// Hands out one report per pass, as smbstatus does on a quiet server: the
// same data, a new timestamp.
struct FixedSource : SambaSource {
    std::string text = report();
    std::string texts[2] = {text, retimed(text)};
    int pass = 0;
    static std::string retimed(std::string t) {
        const auto at = t.find("\"timestamp\": \"") + 14;
        t[at + 18] = t[at + 18] == '0' ? '1' : '0';  // a second digit
        return t;
    }
    void next_pass() { pass ^= 1; }
    Fetched status_report() override { return {kSuccess, texts[pass]}; }
    Fetched config_report() override { return {kSuccess, "[global]\n[共享]\n\tpath = /srv/共享\n"}; }
    std::string host_name() override { return "bench"; }
    std::uint32_t credentials(Credentials&) override { return kAccessDenied; }
    std::uint32_t close_file(std::uint32_t, const Credentials&) override { return kAccessDenied; }
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
    auto source = std::make_shared<FixedSource>();
    SambaNetManagement backend(source, std::make_shared<OpenIdRegistry>());
    std::size_t sessions = 0, opens = 0;
    for (auto _ : state) {
        source->next_pass();
        sessions = drain([&](std::uint32_t& r) { return backend.enum_sessions(2048, r); });
        opens = drain([&](std::uint32_t& r) { return backend.enum_open_files(2048, r); });
    }
    state.counters["sessions"] = static_cast<double>(sessions);
    state.counters["opens"] = static_cast<double>(opens);
    state.counters["report_bytes"] = static_cast<double>(source->text.size());
}
BENCHMARK(BM_SambaBackendPass)->Unit(benchmark::kMillisecond);

void BM_SambaParseReportOnly(benchmark::State& state) {
    const std::string text = report();
    for (auto _ : state)
        benchmark::DoNotOptimize(parse_status_report(text));
}
BENCHMARK(BM_SambaParseReportOnly)->Unit(benchmark::kMillisecond);

// The floor: producing the report, one smbstatus run per pass.
void BM_SmbstatusReport(benchmark::State& state) {
    const char* conf = std::getenv("FILVANE_BENCH_SMB_CONF");
    if (!conf) {
        state.SkipWithError("FILVANE_BENCH_SMB_CONF not set");
        return;
    }
    const std::string command = std::string("smbstatus -s '") + conf + "' --json --resolve-uids </dev/null";
    std::size_t bytes = 0;
    for (auto _ : state) {
        FILE* p = popen(command.c_str(), "r");
        if (!p) {
            state.SkipWithError("popen failed");
            return;
        }
        char buffer[65536];
        bytes = 0;
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;)
            bytes += n;
        if (pclose(p) != 0) {
            state.SkipWithError("smbstatus failed");
            return;
        }
    }
    state.counters["report_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SmbstatusReport)->Unit(benchmark::kMillisecond);

}  // namespace
