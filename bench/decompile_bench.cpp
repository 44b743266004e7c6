// The way back from an image to a diagram. Speed on full images: the
// densest program that compiles cleanly (the compile bench's), 63 one-row
// rungs that must share blocks, and sixteen rows of seven contacts and a
// coil. Then the long round trip: thousands of programs drawn at random
// through the editor (see tests/support/random_ladder.h), each compiled,
// recovered and compiled again; the counters give the share recovered.
//   decompile_bench [benchmark options]
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <optional>

#include "compiler/compiler.h"
#include "compiler/decompiler.h"
#include "densest_program.h"
#include "support/random_ladder.h"

namespace velmorin {
namespace {

std::optional<CodeImage> ImageOf(const ProgramModel& model) {
    const CompileOutput output = Compile(model);
    if (!output.finalImage) return std::nullopt;
    return output.image;
}

bool SameCode(const CodeImage& a, const CodeImage& b) {
    return a.codeLength == b.codeLength && std::memcmp(a.bytes.data(), b.bytes.data(), a.codeLength) == 0;
}

void DecompileImage(benchmark::State& state, const ProgramModel& model) {
    const std::optional<CodeImage> image = ImageOf(model);
    if (!image) {
        state.SkipWithError("the benchmark program no longer compiles cleanly");
        return;
    }
    bool recovered = true;
    for (auto _ : state) {
        DecompileResult r = Decompile(*image);
        recovered = recovered && static_cast<bool>(r);
        benchmark::DoNotOptimize(r.model);
    }
    if (!recovered) state.SkipWithError("the image was not recovered");
    state.counters["bytes"] = image->codeLength;
}

void BM_DecompileDensestProgram(benchmark::State& state) { DecompileImage(state, *DensestProgram()); }
BENCHMARK(BM_DecompileDensestProgram)->Unit(benchmark::kMillisecond);

// More rungs than blocks: they are packed four to a block.
void BM_DecompileSharedBlocks(benchmark::State& state) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    for (int rung = 0; rung < 63; ++rung) {
        const int row = 1 + rung;
        Put(*model, row, 1, KindContactOpen, ElementLd);
        Index(*model, row, 1, 0, rung % 8);
        Wire(*model, row, 2, 7);
        Put(*model, row, 8, KindCoil, ElementOut);
        Index(*model, row, 8, 0, 8 + rung % 6);
    }
    Put(*model, 64, 1, KindBoxOneSided, ElementEnd);
    DecompileImage(state, *model);
}
BENCHMARK(BM_DecompileSharedBlocks)->Unit(benchmark::kMillisecond);

void BM_DecompileFullRows(benchmark::State& state) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    for (int row = 1; row <= 16; ++row) {
        for (int column = 1; column <= 7; ++column) {
            Put(*model, row, column, KindContactOpen, ElementLd);
            Index(*model, row, column, 0, column - 1);
        }
        Put(*model, row, 8, KindCoil, ElementOut);
        Index(*model, row, 8, 0, 8);
    }
    DecompileImage(state, *model);
}
BENCHMARK(BM_DecompileFullRows)->Unit(benchmark::kMillisecond);

// The share recovered over programs drawn at random: `range(0)` drawn rung
// by rung and as many scribbled (fewer: every click goes through the whole
// editing session with its undo history).
void BM_RoundTripShare(benchmark::State& state) {
    int64_t compiled = 0, recovered = 0;
    for (auto _ : state) {
        for (int64_t n = 1; n <= state.range(0); ++n) {
            const uint32_t seed = static_cast<uint32_t>(n) + 100000;
            for (bool scribbled : {false, true}) {
                if (scribbled && n % 4 != 0) continue;
                auto model = std::make_unique<ProgramModel>();
                ResetModel(*model);
                if (scribbled) {
                    testing::ScribbleProgram(*model, seed, 50 + static_cast<int>(seed % 400));
                } else {
                    testing::RandomLadder(*model, seed).Draw(1 + static_cast<int>(seed % 30));
                }
                const std::optional<CodeImage> image = ImageOf(*model);
                if (!image) continue;
                ++compiled;
                const DecompileResult back = Decompile(*image);
                if (!back) continue;
                const std::optional<CodeImage> again = ImageOf(*back.model);
                if (again && SameCode(*again, *image)) ++recovered;
            }
        }
    }
    state.counters["compiled"] = static_cast<double>(compiled);
    state.counters["recovered"] = static_cast<double>(recovered);
    state.counters["share_pct"] = compiled == 0 ? 0.0 : 100.0 * static_cast<double>(recovered) / compiled;
}
BENCHMARK(BM_RoundTripShare)->Arg(4000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace velmorin

BENCHMARK_MAIN();
