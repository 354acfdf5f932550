// One pass of the monitoring thread's own work (enumeration excluded: the
// fake answers from memory) with 1,000 sessions and 10,000 opens, in the
// steady state and with 1% of the rows changing every pass.
#include <benchmark/benchmark.h>

#include "../tests/support/fake_net.h"
#include "../tests/support/memory_list.h"
#include "monitor/monitor_pass.h"

namespace {

void fill(FakeNet& net) {
    for (std::uint32_t i = 0; i < 1000; ++i)
        net.sessions.push_back({"user" + std::to_string(i), "PC" + std::to_string(i), i % 10, 100 + i, i % 7});
    for (std::uint32_t i = 0; i < 10000; ++i)
        net.open_files.push_back({i, 1,
                                  "D:\\共享\\文件夹" + std::to_string(i % 50) + "\\报告" + std::to_string(i) + ".doc",
                                  "user" + std::to_string(i % 1000)});
}

void run(benchmark::State& state, bool churn) {
    FakeNet net;
    fill(net);
    net.per_reply = 30;  // about what a 2048-byte reply carries
    MemoryList sessions, open_files;
    MonitorPass pass(net, sessions, open_files,
                     {[](const std::string&) { return true; }, [](const std::string&) {}, steady_seconds, {}});
    pass.run({"D:\\共享"});
    std::uint32_t tick = 0;
    for (auto _ : state) {
        ++tick;
        for (auto& s : net.sessions)
            s.seconds_connected += 1;  // the times move every second
        if (churn)
            for (std::size_t i = tick % 100; i < net.open_files.size(); i += 100)
                net.open_files[i].permissions ^= 0x22;  // 1% of the opens change mode
        int before = sessions.cells_set + open_files.cells_set;
        benchmark::DoNotOptimize(pass.run({"D:\\共享"}));
        state.counters["cells_sent"] = sessions.cells_set + open_files.cells_set - before;
    }
}

void BM_PassSteadyState(benchmark::State& state) { run(state, false); }
void BM_PassOnePercentChanging(benchmark::State& state) { run(state, true); }

}  // namespace

BENCHMARK(BM_PassSteadyState)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PassOnePercentChanging)->Unit(benchmark::kMillisecond);
