// The compile driver over real files: what is written, deleted and kept,
// what the worker reports and in which order, cancelling, the locale.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <iostream>

#include "compile_helpers.h"
#include "compiler/headless_compile.h"
#include "compiler/program_image.h"
#include "model/source_file.h"

namespace velmorin::testing {
namespace {

using ::testing::ElementsAre;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

constexpr ImageDate Date{6, 11, 2026};

class CompileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir =
            std::filesystem::temp_directory_path() / ("velmorin-driver-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        // A dotted folder: outputs must stay next to the source.
        dir /= "plc.v2";
        std::filesystem::create_directories(dir);
        source = (dir / "prog.ldr").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir.parent_path()); }

    // Records every callback as text, in order.
    CompileCallbacks Recorder() {
        CompileCallbacks cb;
        cb.progress = [this](const std::string& t) { events.push_back("progress " + t); };
        cb.counts = [this](int e, int w) { events.push_back("counts " + std::to_string(e) + " " + std::to_string(w)); };
        cb.imageWritten = [this] { events.push_back("imageWritten"); };
        cb.finished = [this](bool d) { events.push_back(std::string("finished ") + (d ? "1" : "0")); };
        return cb;
    }
    void Compile(const ProgramModel& model) {
        const CompilePreparation preparation = PrepareCompile(model, source);
        ASSERT_EQ(preparation.outcome, PrepareOutcome::Started);
        run = CompileAndWrite(model, preparation.targets, Recorder(), &cancel, Date);
    }

    std::atomic<bool> cancel{false};
    CompileRun run;
    std::filesystem::path dir;
    std::string source;
    std::vector<std::string> events;
};

TEST_F(CompileFiles, EmptyDiagramIsRefusedAndTouchesNoFile) {
    WriteAll(dir / "prog.prg", "old listing");
    WriteAll(dir / "prog.bld", "old image");
    Diagram d;
    d.Block(0, {"─ ─ ┬ ─", ". . └ ─"});
    EXPECT_EQ(PrepareCompile(d.model(), source).outcome, PrepareOutcome::NothingToCompile);
    run = CompileAndWrite(d.model(), TargetsFor(source), Recorder(), &cancel, Date);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(ReadAll(dir / "prog.prg"), "old listing");
    EXPECT_EQ(ReadAll(dir / "prog.bld"), "old image");
    EXPECT_FALSE(run.output.finalImage);
    EXPECT_EQ(run.result, CompileResult::NothingToCompile);
}

TEST_F(CompileFiles, ErrorsDeleteTheListingAndKeepAnOlderImage) {
    WriteAll(dir / "prog.prg", "old listing");
    WriteAll(dir / "prog.bld", "old image");
    Diagram d;
    d.Block(0, {"ld:e1 ┬ out:s1 ┬", ". └ out:s2 ┘"}).Block(1, {"end"});
    Compile(d.model());
    EXPECT_EQ(run.output.errorCount, 2);
    EXPECT_EQ(run.result, CompileResult::Errors);
    EXPECT_FALSE(std::filesystem::exists(dir / "prog.prg"));
    EXPECT_EQ(ReadAll(dir / "prog.bld"), "old image");
    EXPECT_FALSE(run.output.finalImage);
    EXPECT_THAT(std::vector<std::string>(events.end() - 3, events.end()),
                ElementsAre("progress 1-23-03", "progress 1-23-04", "finished 1"));
}

TEST_F(CompileFiles, WarningsOnlyStillWriteTheImage) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"});
    Compile(d.model());
    EXPECT_EQ(run.output.warningCount, 1);
    EXPECT_EQ(run.result, CompileResult::Warnings);
    EXPECT_TRUE(std::filesystem::exists(dir / "prog.bld"));
    EXPECT_TRUE(run.output.finalImage);
    EXPECT_THAT(std::vector<std::string>(events.end() - 4, events.end()),
                ElementsAre("counts 0 1", "progress 0004", "imageWritten", "finished 1"));
}

TEST_F(CompileFiles, CleanCompilationReportsRowByRowThenBlockByBlockAndPassAndWritesNextToTheSource) {
    Diagram d;
    d.Block(0, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", "ld:e2 ┘"}).Block(1, {"end"});
    Compile(d.model());
    std::vector<std::string> expected = {"progress 0"};
    for (int row = 0; row <= 96; ++row)
        expected.push_back("progress 0-0-" + std::string(row < 10 ? "0" : "") + std::to_string(row));
    // Block 0: pass 1 joins, restart; pass 2 joins, restart; then 1, 2, 3, 4.
    for (const char* pass : {"01", "01", "02", "01", "02", "03", "04"})
        expected.push_back(std::string("progress 1-00-") + pass);
    for (int block = 1; block < 24; ++block)
        for (const char* pass : {"01", "02", "03", "04"})
            expected.push_back("progress 1-" + std::string(block < 10 ? "0" : "") + std::to_string(block) + "-" + pass);
    expected.insert(expected.end(), {"progress 0007", "imageWritten", "finished 0"});
    EXPECT_EQ(events, expected);
    EXPECT_EQ(run.targets.listingPath, (dir / "prog.prg").string());
    EXPECT_EQ(ReadAll(dir / "prog.prg"), run.output.listing);
    EXPECT_EQ(std::filesystem::file_size(dir / "prog.bld"), 34u);
    EXPECT_TRUE(run.output.finalImage);
    EXPECT_FALSE(run.output.cancelled);
    EXPECT_EQ(run.result, CompileResult::Clean);
    EXPECT_TRUE(run.files);
}

TEST_F(CompileFiles, CancelStopsBeforeTheNextPassAndLeavesWhatWasWritten) {
    Diagram d;
    for (int block = 0; block < 5; ++block) d.Block(block, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"});
    d.Block(5, {"end"});
    ASSERT_EQ(PrepareCompile(d.model(), source).outcome, PrepareOutcome::Started);
    CompileCallbacks cb = Recorder();
    cb.progress = [&](const std::string& t) {
        events.push_back("progress " + t);
        if (t == "1-03-02") cancel.store(true);
    };
    run = CompileAndWrite(d.model(), TargetsFor(source), cb, &cancel, Date);
    EXPECT_TRUE(run.output.cancelled);
    EXPECT_EQ(run.result, CompileResult::Cancelled);
    EXPECT_FALSE(run.output.finalImage);
    // Neither the caption nor the files change after a cancel.
    EXPECT_EQ(events.back(), "progress 1-03-02");
    EXPECT_EQ(ReadAll(dir / "prog.prg"),
              "\n     ld e1 \n     out s1 \n\n     ld e1 \n     out s1 \n\n     ld e1 \n     out s1 \n");
    EXPECT_FALSE(std::filesystem::exists(dir / "prog.bld"));
}

TEST_F(CompileFiles, EveryCompilationStartsAfresh) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"}).Block(2, {"end"});
    for (int round = 0; round < 2; ++round) {
        const CompileOutput output = velmorin::Compile(d.model());
        EXPECT_EQ(output.diagnostics.size(), 0u);
        EXPECT_EQ(output.image.codeLength, 5);
        EXPECT_EQ(output.labels[2].referenced, 1);
        EXPECT_EQ(output.labels[2].codeAddress, 4);
    }
}

TEST_F(CompileFiles, HeadlessCompileFailsOnErrorsAndRefusesMissingAndEmptySources) {
    EXPECT_EQ(CompileFile((dir / "none.ldr").string(), Date).status, 1);
    Diagram empty;
    ASSERT_TRUE(WriteSourceFile(empty.model(), source));
    const HeadlessOutcome outcome = CompileFile(source, Date);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "No hay elementos para compilar");
    EXPECT_FALSE(std::filesystem::exists(dir / "prog.prg"));

    Diagram warned;
    warned.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"});
    ASSERT_TRUE(WriteSourceFile(warned.model(), source));
    EXPECT_EQ(CompileFile(source, Date).status, 0);
    Diagram failed;
    failed.Block(0, {"ld:e1 ┬ out:s1 ┬", ". └ out:s2 ┘"}).Block(1, {"end"});
    ASSERT_TRUE(WriteSourceFile(failed.model(), source));
    EXPECT_EQ(CompileFile(source, Date).status, 1);
}

// A source named like one of its outputs would be overwritten by it: the
// compilation is refused before anything is written.
TEST_F(CompileFiles, ASourceNamedLikeAnOutputIsRefusedUntouched) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}).Block(1, {"end"});
    for (const char* name : {"q.prg", "q.bld"}) {
        SCOPED_TRACE(name);
        const std::string path = (dir / name).string();
        ASSERT_TRUE(WriteSourceFile(d.model(), path));
        const std::string before = ReadAll(path);
        const HeadlessOutcome outcome = CompileFile(path, Date);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.error, "Error al abrir el archivo");
        EXPECT_EQ(outcome.detail.rfind(path, 0), 0u) << outcome.detail;
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
        std::filesystem::remove(path);
    }
}

// What a compilation in a child process found wrong, as bits of its exit
// status (the child cannot report through the test framework).
enum ChildFault {
    ReportedSuccess = 1,    // status 0, or another message than "Error al abrir el archivo"
    DetailWithoutFile = 2,  // the detail names no output of the folder, or not the reason
    OldOutputsChanged = 4,  // the older image or the older listing is not as it was
    LeftoverFiles = 8,
    NotPrepared = 64,  // the case could not be set up here
};

// Runs `prepare` in a child, lays the source and an older image and listing
// when the preparation has not, compiles, and checks there what the
// compilation left.
template <typename Prepare>
int CompileInChild(const std::filesystem::path& dir, const std::string& reason, Prepare prepare) {
    const pid_t child = ::fork();
    if (child < 0) return NotPrepared;
    if (child == 0) {
        if (!prepare()) ::_exit(NotPrepared);
        const std::string oldImage = ReadAll(dir / "prog.bld");
        const std::string oldListing = ReadAll(dir / "prog.prg");
        const HeadlessOutcome outcome = CompileFile((dir / "prog.ldr").string(), Date);
        int faults = 0;
        if (outcome.status != 1 || outcome.error != "Error al abrir el archivo") faults |= ReportedSuccess;
        const std::string folder = (dir / "prog.").string();
        if (outcome.detail.rfind(folder, 0) != 0 || outcome.detail.find(": " + reason) == std::string::npos)
            faults |= DetailWithoutFile;
        if (oldImage.empty() || ReadAll(dir / "prog.bld") != oldImage || oldListing.empty() ||
            ReadAll(dir / "prog.prg") != oldListing)
            faults |= OldOutputsChanged;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name != "prog.ldr" && name != "prog.bld" && name != "prog.prg" && name != "filler")
                faults |= LeftoverFiles;
        }
        ::_exit(faults);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return NotPrepared;
    return WEXITSTATUS(status);
}

void LayProgramAndOldImage(const std::filesystem::path& dir) {
    Diagram d;
    d.Block(0, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", "ld:e2 ┘"}).Block(1, {"end"});
    WriteSourceFile(d.model(), (dir / "prog.ldr").string());
    WriteAll(dir / "prog.bld", "~VLB| 100r01 |3 01-00-2026\n\x06\x00\x0F");
    WriteAll(dir / "prog.prg", "\n     ld e1 \n     end \n\nBINARY-----\n00  06 00 \n02  0F \n");
}

// A private mount of a 64 KiB file system over the folder, filled up.
bool FullDiskOver(const std::filesystem::path& dir) {
    if (::unshare(CLONE_NEWNS) != 0) return false;
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) return false;
    LayProgramAndOldImage(dir);
    const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) return false;
    const std::vector<char> block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
    return true;
}

// Permissions do not stop root, and CI runs as root.
bool DropPrivileges() { return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0); }

// Today such a compilation cut a good older image down to a few bytes and
// still reported success. Now the outputs go through temporary files: the
// older image and listing stay byte for byte, the failure is reported with
// the file and the system's reason, and nothing is left behind. A limit
// that the listing exceeds and the image does not once replaced the image
// alone, leaving a pair that did not match: both outputs go together.
TEST_F(CompileFiles, OutputsThatCannotBeWrittenAreReportedAndTheOldOnesStay) {
    // The new image's size, from a compilation in a folder of its own.
    const std::filesystem::path scratch = dir.parent_path() / "scratch";
    std::filesystem::create_directories(scratch);
    LayProgramAndOldImage(scratch);
    ASSERT_EQ(CompileFile((scratch / "prog.ldr").string(), Date).status, 0);
    const auto imageSize = static_cast<rlim_t>(std::filesystem::file_size(scratch / "prog.bld"));
    ASSERT_GT(std::filesystem::file_size(scratch / "prog.prg"), imageSize);
    std::filesystem::remove_all(scratch);

    const struct {
        const char* name;
        const char* reason;
        std::function<bool()> prepare;
    } cases[] = {
        {"file size limit", "Fichero demasiado grande",
         [] {
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{20, 20};
             return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
         }},
        {"file size limit the listing alone exceeds", "Fichero demasiado grande",
         [imageSize] {
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{imageSize, imageSize};
             return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
         }},
        {"read-only folder", "Permiso denegado",
         [this] {
             std::filesystem::permissions(
                 dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                          std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                          std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
             return DropPrivileges();
         }},
        {"full disk", "No queda espacio en el dispositivo", [this] { return FullDiskOver(dir); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        for (const auto& entry : std::filesystem::directory_iterator(dir)) std::filesystem::remove(entry.path());
        LayProgramAndOldImage(dir);
        const int faults = CompileInChild(dir, c.reason, c.prepare);
        if (faults == NotPrepared) {
            std::cout << "[ SKIPPED  ] " << c.name << ": cannot be set up on this machine\n";
            continue;
        }
        EXPECT_EQ(faults & ReportedSuccess, 0);
        EXPECT_EQ(faults & DetailWithoutFile, 0);
        EXPECT_EQ(faults & OldOutputsChanged, 0);
        EXPECT_EQ(faults & LeftoverFiles, 0);
    }
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
}

TEST(IsoDates, AreReadStrictly) {
    const std::optional<ImageDate> date = ParseIsoDate("2026-12-06");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->day, 6);
    EXPECT_EQ(date->month0, 11);
    EXPECT_EQ(date->year, 2026);
    EXPECT_TRUE(ParseIsoDate("2024-02-29"));
    for (const char* bad :
         {"2026-13-01", "2026-00-10", "2025-02-29", "2026-04-31", "2026-1-01", "26-01-01", "2026-01-01x", ""})
        EXPECT_FALSE(ParseIsoDate(bad)) << bad;
}

// A Spanish desktop writes "25,5" with printf and reads "2.5" as 2 with
// atof; the listing, the header and the operands must not notice. When the
// machine has no such locale, one is built into a private folder.
class SpanishLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Activate()) {
            folder = std::filesystem::temp_directory_path() / ("velmorin-locale-" + std::to_string(::getpid()));
            std::filesystem::create_directories(folder);
            const std::string command =
                "localedef -i es_ES -f UTF-8 '" + (folder / "es_ES.UTF-8").string() + "' >/dev/null 2>&1";
            if (std::system(command.c_str()) == 0) {
                ::setenv("LOCPATH", folder.c_str(), 1);
                Activate();
            }
        }
        if (active.empty()) GTEST_SKIP() << "no locale with a decimal comma could be set";
        char text[16];
        std::snprintf(text, sizeof text, "%4.1f", 25.5);
        ASSERT_STREQ(text, "25,5") << active;
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }
    bool Activate() {
        for (const char* name : {"es_ES.UTF-8", "es_ES.utf8", "es_ES"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                active = name;
                return true;
            }
        }
        return false;
    }
    std::string active;
    std::filesystem::path folder;
};

TEST_F(SpanishLocale, TimesListingAndHeaderAreUnchanged) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ tp:tp1:25.5", "ld:e2 ─ ─ ─ ─ ─ ─ tpf:tpf1:2.5"}).Block(1, {"end"});
    Compiled c = CompileInMemory(d.model());
    EXPECT_THAT(c.Code(), ElementsAre(6, 0, 25, 0, 255, 0, 6, 1, 25, 4, 0xFA, 0, 15));
    EXPECT_THAT(c.Instructions(), ElementsAre("ld e1", "tp Tp1 25.5", "ld e2", "tpf Tpf1 2.50", "end"));
    const std::vector<uint8_t> file = EncodeImageFile(CodeImage{}, ImageDate{6, 11, 2026});
    EXPECT_EQ(std::string(file.begin(), file.end()), "~VLB| 100r01 |0 06-11-2026\n");
}

}  // namespace
}  // namespace velmorin::testing
