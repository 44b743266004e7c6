// The live budget: a compilation in memory on a copy of the diagram. Its
// counts must be those of `velmorin-cli compile` on the same file, and it must
// leave the diagram and the disk as they were.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/headless_compile.h"
#include "compiler/program_budget.h"
#include "model/source_file.h"
#include "test_diagram.h"

namespace velmorin::testing {
namespace {

namespace fs = std::filesystem;

struct Uses {
    int timers = 0;
    int counters = 0;
};

// Worked out from each diagram: the distinct timer outputs (Tpv, Tpvf, Tp,
// Tpf) and counter outputs that the emitted instructions name, whether as
// the box itself or as an operand of a contact or a jump.
const std::map<std::string, Uses> GoldenUses = {
    {"branch_out_coils", {}},
    {"branch_out_mixed", {}},
    {"bridge", {}},
    {"call_nesting", {}},
    {"call_without_return", {}},
    {"code_overflow", {1, 0}},  // the code ends before the second timer
    {"every_instruction", {6, 2}},
    {"example_counter", {0, 1}},
    {"example_jump", {}},
    {"example_latch", {}},
    {"example_timer", {1, 0}},
    {"join_failed", {}},
    {"jumps_and_calls", {}},
    {"last_instruction", {}},
    {"parallel_chains", {}},
    {"parallel_loads", {}},
    {"reverse_flow", {}},
    {"rung", {}},
    {"self_jump", {}},
    {"series_andp", {}},
    {"short_circuit", {}},
    {"tmp_cnt_unresolved", {0, 1}},
    {"two_row_counters", {0, 3}},
    {"two_row_timer", {1, 0}},
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(ProgramBudget, CountsMatchTheCommandLineCompilerOnEveryGoldenCase) {
    const fs::path golden = fs::path(VELMORIN_TEST_DATA) / "golden";
    const fs::path work = fs::temp_directory_path() / ("velmorin-budget-" + std::to_string(::getpid()));
    int cases = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(golden)) {
        if (!entry.is_directory()) continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++cases;
        const auto uses = GoldenUses.find(name);
        ASSERT_NE(uses, GoldenUses.end()) << "a new golden case: add its timers and counters to the table";

        fs::remove_all(work);
        fs::create_directories(work);
        const fs::path source = work / (name + ".ldr");
        fs::copy_file(entry.path() / (name + ".ldr"), source);
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        ASSERT_TRUE(ReadSourceFile(*model, source.string()).ok);

        const ProgramBudget budget = MeasureBudget(*model);
        // Measured in memory: the folder holds the source alone.
        EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 1);

        const HeadlessOutcome cli = CompileFile(source.string(), ImageDate{6, 11, 2026});
        std::vector<std::string> expected = Lines(cli.report);
        ASSERT_FALSE(expected.empty());
        const std::string totals = expected.back();
        expected.pop_back();
        EXPECT_EQ(totals, std::to_string(budget.errors) + " errores, " + std::to_string(budget.warnings) +
                              " warnings, " + std::to_string(budget.codeBytes) + " bytes");
        std::vector<std::string> listed;
        for (const DiagnosticEntry& d : budget.diagnostics) listed.push_back(FormatDiagnosticLine(*model, d));
        EXPECT_EQ(listed, expected);
        EXPECT_FALSE(budget.nothingToCompile);
        EXPECT_EQ(budget.timers, uses->second.timers);
        EXPECT_EQ(budget.counters, uses->second.counters);
    }
    fs::remove_all(work);
    EXPECT_EQ(cases, static_cast<int>(GoldenUses.size()));
}

TEST(ProgramBudget, ATimerOrCounterNamedSeveralTimesCountsOnce) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:2.5"})
        .Block(1, {"ld:tp1 and:cnt2 ─ ─ ─ ─ ─ out:s1", "ld:tp1 ─ ─ ─ ─ ─ ─ ctv:cnt2", "ld:e2 ─ ─ ─ ─ ─ ─ ▽"})
        .Block(2, {"ld:tpf2 ─ ─ ─ ─ ─ ─ out:s2"})
        .Block(3, {"end"});
    const ProgramBudget budget = MeasureBudget(d.model());
    EXPECT_EQ(budget.errors, 0);
    EXPECT_EQ(budget.timers, 2);  // tp1 and tpf2
    EXPECT_EQ(budget.counters, 1);
    EXPECT_EQ(BudgetText(budget), "Código " + std::to_string(budget.codeBytes) +
                                      "/256 bytes · Temp. 2/12 · Cont. 1/4 · Errores 0 · Warnings 0");
}

TEST(ProgramBudget, LeavesTheDiagramAsItWas) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"}).Block(2, {"end"});
    ProgramModel& model = d.model();
    // The compilation clears the referenced marks and writes code addresses: on its own copy only.
    model.labels[2].referenced = 7;
    model.labels[2].codeAddress = 0x55;
    const ProgramBudget budget = MeasureBudget(model);
    EXPECT_EQ(budget.errors, 0);
    EXPECT_GT(budget.codeBytes, 0);
    EXPECT_EQ(model.labels[2].referenced, 7);
    EXPECT_EQ(model.labels[2].codeAddress, 0x55);
}

TEST(ProgramBudget, AnEmptyDiagramUsesNothing) {
    Diagram d;
    BudgetMeter meter;
    // A meter that measured a program before forgets it.
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:2.5"});
    EXPECT_EQ(meter.Measure(d.model()).timers, 1);
    Diagram empty;
    const ProgramBudget& budget = meter.Measure(empty.model());
    EXPECT_TRUE(budget.nothingToCompile);
    EXPECT_EQ(budget, ProgramBudget{});
    EXPECT_EQ(BudgetText(budget), "Código 0/256 bytes · Temp. 0/12 · Cont. 0/4 · Errores 0 · Warnings 0");
}

}  // namespace
}  // namespace velmorin::testing
