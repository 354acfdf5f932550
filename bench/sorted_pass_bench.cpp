// The main window's side of a pass at 10,000 opens with 1% of them changing
// and some coming and going: the recorded edits applied to the window's one
// copy of the rows (unsorted), the copy's order then sorted by user
// (sorted), and the same with the find box narrowing the list to about a
// tenth of its rows ("user7": users 7, 70-79 and 700-799 of 1,000; sorted
// and filtered). The list-view control holds no rows: it is told the count
// and asks for the cells of the rows in view, so no cell is sent to it.
#include <benchmark/benchmark.h>

#include "../tests/support/fake_net.h"
#include "monitor/monitor_pass.h"
#include "monitor/recorded_list.h"
#include "monitor/shown_rows.h"

namespace {

void fill(FakeNet& net) {
    for (std::uint32_t i = 0; i < 10000; ++i)
        net.open_files.push_back({i, 1,
                                  "D:\\共享\\文件夹" + std::to_string(i % 50) + "\\报告" + std::to_string(i) + ".doc",
                                  "user" + std::to_string(i % 1000)});
}

void run(benchmark::State& state, bool sorted, const std::string& find = "") {
    FakeNet net;
    fill(net);
    net.per_reply = 30;
    RecordedList sessions, open_files;
    MonitorPass pass(net, sessions, open_files,
                     {[](const std::string&) { return true; }, [](const std::string&) {}, steady_seconds, {}});
    pass.run({"D:\\共享"});
    ShownRows shown({kOpenId});
    if (sorted)
        shown.sort_by(kOpenUser);
    shown.find(find);
    shown.apply(open_files.take_edits());
    std::uint32_t tick = 0, next_id = 10000;
    for (auto _ : state) {
        ++tick;
        for (std::size_t i = tick % 100; i < net.open_files.size(); i += 100)
            net.open_files[i].permissions ^= 0x22;                                      // 1% change mode
        net.open_files.erase(net.open_files.begin() + static_cast<long>(tick % 5000));  // one goes, one comes
        net.open_files.push_back(
            {next_id, 1, "D:\\共享\\新" + std::to_string(next_id) + ".doc", "user" + std::to_string(next_id % 1000)});
        ++next_id;
        pass.run({"D:\\共享"});
        sessions.take_edits();
        shown.apply(open_files.take_edits());
        state.counters["rows_shown"] = static_cast<double>(shown.count());
    }
}

void BM_WindowPassUnsorted(benchmark::State& state) { run(state, false); }
void BM_WindowPassSortedByUser(benchmark::State& state) { run(state, true); }
void BM_WindowPassSortedAndFiltered(benchmark::State& state) { run(state, true, "user7"); }

}  // namespace

BENCHMARK(BM_WindowPassUnsorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowPassSortedByUser)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowPassSortedAndFiltered)->Unit(benchmark::kMillisecond);
