// Transfer speed against velmorin-sim on a pseudo-terminal, through the
// termios link as the editor and velmorin-cli use it. The simulator paces
// both directions at 2400 baud, so the line's own time is the floor:
//   download: 265 bytes out and 7 back = 272 bytes x 10 bits / 2400 = 1.133 s
//             (the target is at most 1.25 times that);
//   ROM query: 7 bytes out and 7 back = 58 ms (the target is under 150 ms);
//   poll cycle: two addresses an exchange, each at least 58 ms + 20 ms.
// The counter "line" is each measured time over the line's own time.
#include <benchmark/benchmark.h>

#include <chrono>

#include "link/exchanges.h"
#include "link/monitor_link.h"
#include "link/termios_link.h"
#include "link/transfer.h"
#include "support/child_process.h"
#include "support/sim_process.h"

namespace velmorin {
namespace {

constexpr double ByteSeconds = 10.0 / 2400.0;

// Time per iteration over the time the line itself takes for `bytes`.
double LineRatio(std::chrono::steady_clock::time_point start, const benchmark::State& state, int bytes) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return seconds / static_cast<double>(state.iterations()) / (bytes * ByteSeconds);
}

testing::SimProcess& Simulator() {
    static testing::SimProcess sim;
    return sim;
}

void BM_DownloadToSimulator(benchmark::State& state) {
    testing::SimProcess& sim = Simulator();
    if (!sim.ready()) return state.SkipWithError("velmorin-sim did not start");
    TermiosLink link({sim.device(), "", "", ""});
    SystemClock clock;
    DownloadRequest request;
    for (int i = 0; i < ImageSize; ++i) request.image[i] = static_cast<uint8_t>(i * 7);
    request.date = {15, 2, 2027};
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const TransferOutcome sent = SendProgram(link, clock, 0, request);
        if (sent.status != TransferStatus::Done) return state.SkipWithError(sent.message.c_str());
    }
    state.counters["line"] = LineRatio(start, state, FrameSize + ImageSize + 2 + FrameSize);
}
BENCHMARK(BM_DownloadToSimulator)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_RomQuery(benchmark::State& state) {
    testing::SimProcess& sim = Simulator();
    if (!sim.ready()) return state.SkipWithError("velmorin-sim did not start");
    TermiosLink link({sim.device(), "", "", ""});
    SystemClock clock;
    if (link.OpenPort(0) != 1) return state.SkipWithError(FormatLinkError(link.LastError()).c_str());
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const RomOutcome rom = ReadRomVersion({link, clock, 0}, 1);
        if (!rom.answered || rom.attempts != 1) return state.SkipWithError("the ROM query was not answered at once");
    }
    state.counters["line"] = LineRatio(start, state, 2 * FrameSize);
    link.ClosePort(0);
}
BENCHMARK(BM_RomQuery)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// Poll cycles of the variable monitor over a map of `rows` byte variables
// (two addresses an exchange), as "Recibir PLC" runs them after its first
// cycle. An exchange cannot be shorter than its 14 bytes on the line (58 ms)
// and the 20 ms the reply is left to settle; the counter "exchange_ms" is
// the measured time of one.
void BM_VariablePollCycle(benchmark::State& state) {
    testing::SimProcess& sim = Simulator();
    if (!sim.ready()) return state.SkipWithError("velmorin-sim did not start");
    TermiosLink link({sim.device(), "", "", ""});
    SystemClock clock;
    ControllerImage image;
    MonitorLink monitor(link, clock, 0);
    if (const Result opened = monitor.Open(); !opened) return state.SkipWithError(opened.message.c_str());
    std::vector<MonitorRow> rows;
    for (int i = 0; i < state.range(0); ++i) rows.push_back({15 + i, 0, 0});  // V01, V02, ...
    const VariablePollPlan plan = PlanVariablePoll(rows);
    monitor.channel().Publish(plan.renewed);
    PollCycle cycle(monitor.channel(), monitor.Exchanger(image), {ListPolicy::FollowEveryPair, {}});
    cycle.Start();
    int exchanges = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (;;) {
            const PollStep step = cycle.Step();
            exchanges += step.exchanged ? 1 : 0;
            if (!step.cycleEnd) continue;
            if (!step.cycleEnd->replySeen) return state.SkipWithError("the simulator did not answer");
            break;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["cycles_per_s"] = static_cast<double>(state.iterations()) / seconds;
    state.counters["exchange_ms"] = 1000.0 * seconds / exchanges;
}
BENCHMARK(BM_VariablePollCycle)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// `velmorin-cli scan` over a whole line, 255 identifiers, with one
// controller (identifier 200) on it: the bound is a minute.
void BM_ScanWholeLine(benchmark::State& state) {
    testing::SimProcess sim({"--id", "200"});
    for (auto _ : state) {
        const testing::ProgramRun run =
            testing::RunProgram(VELMORIN_CLI_PATH, {"scan", "--port", sim.device()}, {}, std::chrono::seconds(120));
        if (run.status != 0 || run.out != "200  0102\n") state.SkipWithError(("scan: " + run.out + run.err).c_str());
    }
}
BENCHMARK(BM_ScanWholeLine)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace velmorin

BENCHMARK_MAIN();
