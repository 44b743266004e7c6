// Every case under golden/ compiled the way `velmorin-cli compile` does it,
// with a fixed date, and compared byte for byte with its expected listing
// (<case>.prg), image (<case>.bld) and report (<case>.txt). A case without
// an expected listing or image must produce none.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compiler/headless_compile.h"
#include "support/child_process.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(VELMORIN_TEST_DATA) / "golden"))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, CompilesToTheExpectedListingImageAndReport) {
    const std::string name = GetParam();
    const fs::path expected = fs::path(VELMORIN_TEST_DATA) / "golden" / name;
    const fs::path work = fs::temp_directory_path() / ("velmorin-golden-" + std::to_string(::getpid())) / name;
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy_file(expected / (name + ".ldr"), work / (name + ".ldr"));

    const HeadlessOutcome outcome = CompileFile((work / (name + ".ldr")).string(), ImageDate{6, 11, 2026});
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.report, ReadAll(expected / (name + ".txt")));
    for (const char* extension : {".prg", ".bld"}) {
        const fs::path want = expected / (name + extension);
        const fs::path got = work / (name + extension);
        ASSERT_EQ(fs::exists(got), fs::exists(want)) << name << extension;
        if (fs::exists(want)) {
            EXPECT_EQ(ReadAll(got), ReadAll(want)) << name << extension;
        }
    }
    fs::remove_all(work.parent_path());
}

// The shipped examples are golden cases too: a changed example needs its
// expected files looked at again.
TEST(GoldenExamples, EveryExampleIsAGoldenCaseWithTheSameSource) {
    int examples = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(VELMORIN_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() != ".ldr") continue;
        ++examples;
        const std::string name = "example_" + entry.path().stem().string();
        const fs::path golden = fs::path(VELMORIN_TEST_DATA) / "golden" / name / (name + ".ldr");
        ASSERT_TRUE(fs::exists(golden)) << name;
        EXPECT_EQ(ReadAll(entry.path()), ReadAll(golden)) << name;
    }
    EXPECT_GT(examples, 0);
}

// The committed examples are what the generator writes today, and without
// its folder the generator says why instead of failing on each file.
TEST(GoldenExamples, TheGeneratorWritesTheCommittedExamplesAndNeedsItsFolder) {
    const fs::path work = fs::temp_directory_path() / ("velmorin-examples-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    const testing::ProgramRun made = testing::RunProgram(VELMORIN_MAKE_EXAMPLES_PATH, {work.string()});
    EXPECT_EQ(made.status, 0) << made.err;
    int examples = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(work)) {
        ++examples;
        const fs::path committed = fs::path(VELMORIN_SOURCE_DIR) / "examples" / entry.path().filename();
        EXPECT_EQ(ReadAll(entry.path()), ReadAll(committed)) << entry.path().filename();
    }
    EXPECT_GT(examples, 0);

    const testing::ProgramRun missing = testing::RunProgram(VELMORIN_MAKE_EXAMPLES_PATH, {(work / "none").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("there is no folder " + (work / "none").string()), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("top of the source tree"), std::string::npos) << missing.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), examples);
    fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace velmorin
