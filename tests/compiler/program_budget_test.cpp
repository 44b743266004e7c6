// The live budget: a compilation in memory of the diagram. Its
// counts must be those of `velmorin-cli compile` on the same file, and it must
// leave the diagram and the disk as they were.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "compiler/diagnostics.h"
#include "compiler/headless_compile.h"
#include "compiler/program_budget.h"
#include "model/source_file.h"
#include "test_diagram.h"

namespace velmorin::testing {
namespace {

namespace fs = std::filesystem;

TEST(ProgramBudget, CountsMatchTheCommandLineCompilerOnEveryGoldenCase) {
    // Worked out from the diagrams: the distinct timer and counter outputs
    // the emitted instructions name, as boxes or as operands; 0 elsewhere.
    const std::map<std::string, std::pair<int, int>> timersAndCounters = {
        {"code_overflow", {1, 0}},  // the code ends before the second timer
        {"every_instruction", {6, 2}},  {"example_counter", {0, 1}},  {"example_timer", {1, 0}},
        {"tmp_cnt_unresolved", {0, 1}}, {"two_row_counters", {0, 3}}, {"two_row_timer", {1, 0}},
    };
    const fs::path work = fs::temp_directory_path() / ("velmorin-budget-" + std::to_string(::getpid()));
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(VELMORIN_TEST_DATA) / "golden")) {
        if (!entry.is_directory()) continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        fs::remove_all(work);
        fs::create_directories(work);
        const fs::path source = work / (name + ".ldr");
        fs::copy_file(entry.path() / (name + ".ldr"), source);
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        ASSERT_TRUE(ReadSourceFile(*model, source.string()).ok);

        const ProgramBudget budget = MeasureBudget(*model);
        // In memory: the folder still holds the source alone.
        EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 1);
        std::string report;
        for (const DiagnosticEntry& d : budget.diagnostics) report += FormatDiagnosticLine(*model, d) + "\n";
        report += FormatCompileTotals(budget.errors, budget.warnings, budget.codeBytes) + "\n";
        EXPECT_EQ(report, CompileFile(source.string(), ImageDate{6, 11, 2026}).report);
        const auto uses = timersAndCounters.find(name);
        const std::pair<int, int> expected = uses == timersAndCounters.end() ? std::pair(0, 0) : uses->second;
        EXPECT_EQ(std::pair(budget.timers, budget.counters), expected);
    }
    fs::remove_all(work);
}

TEST(ProgramBudget, CountsEachOutputOnceAndLeavesTheDiagramAsItWas) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:2.5"})
        .Block(1, {"ld:tp1 and:cnt2 ─ ─ ─ ─ ─ jp1:@3", "ld:tp1 ─ ─ ─ ─ ─ ─ ctv:cnt2", "ld:e2 ─ ─ ─ ─ ─ ─ ▽"})
        .Block(2, {"ld:tpf2 ─ ─ ─ ─ ─ ─ out:s2"})
        .Block(3, {"end"});
    const ProgramModel& model = d.model();
    // The labels' marks and code addresses of a compilation stay in its output.
    const std::vector<uint8_t> before = EncodeSourceFile(model);
    BudgetMeter meter;
    const ProgramBudget& budget = meter.Measure(model);
    EXPECT_EQ(BudgetText(budget), "Código " + std::to_string(budget.codeBytes) +
                                      "/256 bytes · Temp. 2/12 · Cont. 1/4 · Errores 0 · Warnings 0 · 1 observación");
    EXPECT_EQ(EncodeSourceFile(model), before);
    // The same meter on an empty diagram forgets the program before.
    EXPECT_EQ(meter.Measure(Diagram().model()), ProgramBudget{});
}

TEST(ProgramBudget, ObservationsAreCountedAtTheEndOfTheTextAndChangeNoCompilerCount) {
    const struct {
        std::vector<std::string> rows;
        size_t observations;
        std::string tail;  // after "Warnings n"
    } cases[] = {
        {{"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}, 0, ""},
        {{"ld:e1 ─ ─ ─ ─ ─ ─ set:v02"}, 1, " · 1 observación"},
        {{"ld:e1 ─ ─ ─ ─ ─ ─ out:s2", "ld:e2 ─ ─ ─ ─ ─ ─ out:s2", "ld:e3 ─ ─ ─ ─ ─ ─ set:s2"}, 2, " · 2 observaciones"},
    };
    for (const auto& c : cases) {
        Diagram d;
        for (size_t r = 0; r < c.rows.size(); ++r) d.Row(static_cast<int>(r) + 1, c.rows[r]);
        d.Block(1, {"end"});
        const ProgramBudget budget = MeasureBudget(d.model());
        EXPECT_EQ(budget.observations, FindObservations(d.model())) << c.rows.front();
        EXPECT_EQ(budget.observations.size(), c.observations) << c.rows.front();
        ProgramBudget without = budget;
        without.observations.clear();
        EXPECT_EQ(BudgetText(budget), BudgetText(without) + c.tail) << c.rows.front();
        EXPECT_EQ(BudgetText(without).find("observ"), std::string::npos);
        // The compiler's own counts are those of the same program without the remarks.
        EXPECT_EQ(budget.warnings, static_cast<int>(budget.diagnostics.size()) - budget.errors);
    }
    // An unfinished program already says what it saw.
    Diagram unfinished;
    unfinished.Block(0, {"ld:s4"});
    EXPECT_EQ(MeasureBudget(unfinished.model()).observations.size(), 1u);
}

}  // namespace
}  // namespace velmorin::testing
