// The diagrams behind the golden cases. Each source file under golden/ must
// be what its diagram here encodes; with VELMORIN_WRITE_GOLDEN=1 in the
// environment the test writes the sources instead (the expected listing and
// image of a case are checked by hand, never generated).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "model/source_file.h"
#include "test_diagram.h"

namespace velmorin::testing {
namespace {

struct GoldenSource {
    const char* name;
    std::function<void(Diagram&)> draw;
};

// Seven contacts and a coil: 16 bytes a row.
void FullRows(Diagram& d, int rows) {
    for (int row = 1; row <= rows; ++row) d.Row(row, "ld:e1 ld:e2 ld:e3 ld:e4 ld:e5 ld:e6 ld:e7 out:s1");
}

const std::vector<GoldenSource>& Sources() {
    static const std::vector<GoldenSource> sources = {
        {"rung", [](Diagram& d) { d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}).Block(1, {"end"}); }},
        {"parallel_loads",
         [](Diagram& d) { d.Block(0, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", "ld:e2 ┘"}).Block(1, {"end"}); }},
        {"parallel_chains",
         [](Diagram& d) { d.Block(0, {"ld:e1 ld:e2 ┬ ─ ─ ─ ─ out:s1", "ld:e3 ld:e4 ┘"}).Block(1, {"end"}); }},
        {"series_andp",
         [](Diagram& d) { d.Block(0, {"ld:e1 ─ ┬ ld:e2 ─ ─ ─ out:s1", "ld:e4 ld:e5 ┘"}).Block(1, {"end"}); }},
        {"branch_out_mixed",
         [](Diagram& d) {
             d.Block(0, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", ". ├ ld:e2 ─ ─ ─ ─ out:s2", ". └ ─ ─ ─ ─ ─ out:s3"});
             d.Block(1, {"end"});
         }},
        {"branch_out_coils",
         [](Diagram& d) {
             d.Block(0, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", ". ├ ─ ─ ─ ─ ─ out:s2", ". └ ─ ─ ─ ─ ─ out:s3"});
             d.Block(1, {"end"});
         }},
        {"short_circuit", [](Diagram& d) { d.Block(0, {"─ ld:e1 ┐", "─ ─ ┘"}).Block(1, {"end"}); }},
        {"two_row_counters",
         [](Diagram& d) {
             d.Block(0, {"ld:e1 ctv:cnt1 . . ┌ ld:e3 ctv:cnt2 .", "ld:e2 ▽ . . ├ ld:e4 ▽ .", "─ ─ ─ ─ ┘"});
             d.Block(1, {"ld:e1 ─ ┬ ld:e2 ─ ─ ─ ctv:cnt3", "ld:e4 ld:e5 ┘ . . . ┌ ▽", "ld:e6 ─ ─ ─ ─ ─ ┘"});
             d.Block(2, {"end"});
         }},
        {"two_row_timer",
         [](Diagram& d) { d.Block(0, {"ld:e1 ─ ─ tp=3:tp2:2.3", "ldn:e2 ─ ─ ▽"}).Block(1, {"end"}); }},
        {"jumps_and_calls",
         [](Diagram& d) {
             d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"});
             d.Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s1"});
             d.Block(2, {"gosub:@3", "end"});
             d.Block(3, {"ld:e3 ─ ─ ─ ─ ─ ─ out:s2", "rjp"});
         }},
        {"self_jump", [](Diagram& d) { d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@0"}).Block(1, {"end"}); }},
        {"call_nesting",
         [](Diagram& d) {
             for (int block = 0; block < 6; ++block) d.Row(BlockFirstRow(block), "gosub:@" + std::to_string(block + 1));
             d.Block(6, {"rjp"}).Block(7, {"end"});
         }},
        {"call_without_return",
         [](Diagram& d) {
             d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"}).Block(1, {"end"}).Block(2, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s1"});
         }},
        {"last_instruction", [](Diagram& d) { d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:v02"}); }},
        {"reverse_flow", [](Diagram& d) { d.Block(0, {"ld:e1 │"}).Block(1, {"end"}); }},
        {"bridge",
         [](Diagram& d) {
             d.Block(0, {"ld:e1 ┬ ─ ─ ld:e4 ┬ ─ out:s1", ". └ ld:e3 ┐ . │ . .", "ld:e2 ─ ─ ┴ ld:e5 ┘ . ."});
             d.Block(1, {"end"});
         }},
        {"join_failed", [](Diagram& d) { d.Block(0, {"ld:e1 ┬ out:s1 ┬", ". └ out:s2 ┘"}).Block(1, {"end"}); }},
        {"tmp_cnt_unresolved", [](Diagram& d) { d.Block(0, {"ld:e1 ctv:cnt1", ". ▽"}).Block(1, {"end"}); }},
        {"code_overflow",
         [](Diagram& d) {
             FullRows(d, 15);
             d.Row(61, "ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:1").Row(62, "ld:e2 ld:e3 ld:e4 nota ─ ─ ─ tp:tp2:1");
             d.Block(16, {"end"});
         }},
        {"every_instruction",
         [](Diagram& d) {
             d.Block(0, {"ld:e1 ldn:e2 ─ ─ ─ ─ ─ rst:3:s1", "ld:e3 ─ ─ ─ ─ ─ ─ set:s2",
                         "ld:e4 ─ ─ ─ ─ ─ ─ setb:s3", "ldi:200 ─ ─ ─ ─ ─ ─ out:s4"});
             d.Block(1, {"ld:e5 ─ ─ ─ ─ ─ ─ tpv:tpv2", "ld:e6 ─ ─ ─ ─ ─ ─ tpvf:tpvf2",
                         "ld:e7 ─ ─ ─ ─ ─ ─ tp:tp4:999.9", "ld:e8 ─ ─ ─ ─ ─ ─ tpf:tpf2:99.99"});
             d.Block(2, {"ld:v01 osc:1:25 ─ ─ ─ ─ ─ out:v02", "ld:re01 ─ ─ ─ ─ ─ ─ rct",
                         "ld:re16 ─ ─ ─ ─ ─ ─ rtp", "ld:cnt2 ─ ─ ─ ─ ─ ─ not:v46"});
             d.Block(3, {"ldiv:9:v10 setif1:v11:e1 xor:s1 clrif1:v12:tpf1 nota ─ ─ out:v13",
                         "ld:e1 ─ ─ ─ ─ ─ ─ if1:@4", "ld:e2 ─ ─ ─ ─ ─ ─ if0:@4", "ld:e3 ─ ─ ─ ─ ─ ─ jp0:@4"});
             d.Block(4, {"ld:e4 ─ ─ ─ ─ ─ ─ ifv1:v20:@5", "ld:e5 ─ ─ ─ ─ ─ ─ jpv1:tp1:@5", "gosub:@6",
                         "ld:e6 ─ ─ ─ ─ ─ ─ jp1:@5"});
             d.Block(5, {"ld:e7 pulso=1 ─ ─ ─ ─ ─ out:s5", "goto:@6"});
             d.Block(6, {"ld:e8 ─ ─ ─ ─ ─ ─ ctv:cnt3", "ld:e1 ─ ─ ─ ─ ─ ─ ▽", "rjp"});
             d.Block(7, {"end"});
             d.Alias("e1", "marcha").Alias("s1", "motor");
         }},
    };
    return sources;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(GoldenSources, EachSourceFileIsItsDiagram) {
    const std::filesystem::path root = std::filesystem::path(VELMORIN_TEST_DATA) / "golden";
    const bool write = std::getenv("VELMORIN_WRITE_GOLDEN") != nullptr;
    for (const GoldenSource& source : Sources()) {
        Diagram d;
        source.draw(d);
        const std::filesystem::path path = root / source.name / (std::string(source.name) + ".ldr");
        if (write) {
            std::filesystem::create_directories(path.parent_path());
            ASSERT_TRUE(WriteSourceFile(d.model(), path.string())) << path;
            continue;
        }
        EXPECT_EQ(ReadBytes(path), EncodeSourceFile(d.model())) << path;
    }
}

}  // namespace
}  // namespace velmorin::testing
