// Appending to a large day file (its size must not matter: the file is never
// read whole) and a query that lists every entry of a 100,000-entry day.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "common/exclusive_file.h"
#include "monitor/activity_log.h"
#include "query/log_query.h"
#include "query/text_to_time.h"

namespace {

const LocalTime kDay{2011, 3, 5, 9, 7, 3};
const std::string kDir = "/tmp/filvane_bench_";

EntryContent ten_sessions() {
    EntryContent content;
    content.sessions = true;
    for (int i = 0; i < 10; ++i)
        content.session_rows.push_back({"user" + std::to_string(i), "PC" + std::to_string(i), "1", "35秒", "0秒"});
    return content;
}

// A day file of about `bytes` bytes of entries, written directly.
void make_day_file(const std::string& path, std::size_t bytes, long* entries) {
    std::string entry = activity_entry(kDay, ten_sessions());
    long count = static_cast<long>(bytes / entry.size());
    std::ofstream out(path, std::ios::binary);
    out << activity_counter_line(count);
    for (long i = 0; i < count; ++i)
        out << entry;
    *entries = count;
}

void BM_AppendToDayFile(benchmark::State& state) {
    std::string dir = kDir + std::to_string(state.range(0)) + "_";
    long entries = 0;
    make_day_file(dir + activity_file_name(kDay), static_cast<std::size_t>(state.range(0)) << 20, &entries);
    ActivityLog log([] { return kDay; }, dir, 0);
    EntryContent content = ten_sessions();
    for (auto _ : state)
        benchmark::DoNotOptimize(log.append(content));
    std::remove((dir + activity_file_name(kDay)).c_str());
}

void BM_QueryListingEveryEntry(benchmark::State& state) {
    std::string path = kDir + "query.dat";
    std::string entry = activity_entry(kDay, ten_sessions());
    {
        std::ofstream out(path, std::ios::binary);
        out << activity_counter_line(state.range(0));
        for (long i = 0; i < state.range(0); ++i)
            out << entry;
    }
    QueryConditions window;
    window.start = *text_to_time("2011-3-5 0:0:0");
    window.end = *text_to_time("2011-3-5 23:59:59");
    for (auto _ : state) {
        QueryProgress progress;
        QueryResult r =
            run_log_query(ExclusiveFile::open(path, ExclusiveFile::Disposition::OpenExisting), window, progress);
        benchmark::DoNotOptimize(r.session_log.size());
    }
    std::remove(path.c_str());
}

}  // namespace

BENCHMARK(BM_AppendToDayFile)->Arg(1)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QueryListingEveryEntry)->Arg(100000)->Unit(benchmark::kMillisecond);
