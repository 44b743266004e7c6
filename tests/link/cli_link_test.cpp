// velmorin-cli's controller commands end to end: the real program, the real
// termios link and velmorin-sim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/child_process.h"
#include "support/sim_process.h"

namespace velmorin {
namespace {

using testing::ProgramRun;
using testing::RunProgram;
using testing::SimProcess;

const std::string Examples = std::string(VELMORIN_SOURCE_DIR) + "/examples/";

ProgramRun Cli(std::vector<std::string> args, std::vector<std::string> environment = {}) {
    return RunProgram(VELMORIN_CLI_PATH, args, environment);
}

std::string Folder(const SimProcess& sim) { return std::filesystem::path(sim.device()).parent_path().string(); }

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CommandLine, SendVerifyAndExtractAgainstTheSimulator) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    const ProgramRun sent = Cli({"send", Examples + "latch.ldr", "--port", sim.device()});
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(sent.out, "Envío de programa OK!\n");

    const ProgramRun same = Cli({"verify", Examples + "latch.ldr", "--port", sim.device()});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "igual\n");

    // Each differing offset with both bytes and the file's instruction there.
    const ProgramRun other = Cli({"verify", Examples + "timer.ldr", "--port", sim.device()});
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.out.find("02: archivo 19, PLC 08   02  19 00 19 00   tp      TP1, 2.5\n"), std::string::npos)
        << other.out;
    EXPECT_NE(other.out.find("bytes distintos\n"), std::string::npos);

    const std::string path = Folder(sim) + "/out.bld";
    const ProgramRun extracted = Cli({"extract", path, "--port", sim.device()});
    EXPECT_EQ(extracted.status, 0) << extracted.err;
    EXPECT_EQ(extracted.out, "Extracción de programa OK!\n");
    EXPECT_EQ(FileText(path).substr(0, 22), "~VLB| 100r01 |256 rcv ");
    const ProgramRun readBack = Cli({"verify", path, "--port", sim.device()});
    EXPECT_EQ(readBack.out, "igual\n") << readBack.err;
}

TEST(CommandLine, FailedExtractLeavesTheOutputFileAlone) {
    SimProcess sim({"--fault", "shortupload=200"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    const std::string fresh = Folder(sim) + "/fresh.bld";
    const ProgramRun failed = Cli({"extract", fresh, "--port", sim.device()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "Error al extraer programa\n");
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST(CommandLine, PanelCommandsReachTheControllerBeforeThePortCloses) {
    SimProcess sim({"--id", "12", "--rom", "0310"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    ASSERT_TRUE(sim.Command("on S2"));
    ASSERT_TRUE(sim.Command("set CNTE1 500"));
    const std::string port = sim.device();
    auto state = [&] { return sim.Command("show").value_or(""); };

    EXPECT_EQ(Cli({"run", "--mode", "total", "--all", "--port", port}).status, 0);
    EXPECT_NE(state().find("running (run mode 0)"), std::string::npos) << state();
    EXPECT_EQ(Cli({"stop", "--outputs-off", "--port", port, "--id", "12"}).status, 0);
    EXPECT_NE(state().find("stopped"), std::string::npos);
    EXPECT_NE(state().find("outputs S1..S6: 0 0 0 0 0 0"), std::string::npos);
    ASSERT_TRUE(sim.Command("set CNTE1 500"));
    EXPECT_EQ(Cli({"reset-counters", "--port", port, "--id", "12"}).status, 0);
    EXPECT_EQ(sim.Command("get CNTE1").value_or(""), "CNTE1 = 0\n");
    EXPECT_EQ(Cli({"run", "--port", port, "--id", "12"}).status, 0);
    EXPECT_NE(state().find("running (run mode 2)"), std::string::npos) << "keep variables by default";

    const ProgramRun rom = Cli({"rom", "--port", "COM2", "--id", "12"}, {"VELMORIN_COM2=" + port});
    EXPECT_EQ(rom.status, 0) << rom.err;
    EXPECT_EQ(rom.out, "0310\n");
    const ProgramRun silent = Cli({"rom", "--port", port, "--id", "13"});
    EXPECT_EQ(silent.status, 1);
    EXPECT_EQ(silent.err, "ERROR!\n");
}

TEST(CommandLine, RefusalsBeforeAndAtThePort) {
    const std::string missing = "/nonexistent/velmorin-tty";
    const ProgramRun errors = Cli(
        {"send", std::string(VELMORIN_TESTS_DIR) + "/compiler/golden/join_failed/join_failed.ldr", "--port", missing});
    EXPECT_EQ(errors.status, 1);
    EXPECT_NE(errors.err.find("Error: No se pudo unir el ramal"), std::string::npos) << errors.err;
    EXPECT_EQ(errors.err.find("comunicación"), std::string::npos) << "refused before the port is opened";

    const ProgramRun noPort = Cli({"send", Examples + "latch.ldr", "--port", missing});
    EXPECT_EQ(noPort.status, 1);
    EXPECT_EQ(noPort.err, "Error -1 - 0 en comunicación\n");

    struct Usage {
        std::vector<std::string> args;
        const char* why;
    };
    const Usage usages[] = {
        {{"send", Examples + "latch.ldr"}, "--port"},
        {{"send", Examples + "latch.ldr", "--port", missing, "--id", "0"}, "--id"},
        {{"send", Examples + "latch.ldr", "--port", missing, "--id", "256"}, "--id"},
        {{"send", Examples + "latch.ldr", "--port", missing, "--id", "7x"}, "--id"},
        {{"send", Examples + "latch.ldr", "--port", missing, "--id", "7", "--any"}, "exclude"},
        {{"send", Examples + "latch.ldr", "--port", missing, "--password", "12345"}, "--password"},
        {{"extract", "a.bld", "b.bld", "--port", missing}, "one file"},
        {{"run", "--mode", "fast", "--port", missing}, "--mode"},
        {{"stop", "--any", "--port", missing}, "unknown option"},
        {{"rom", "--port"}, "needs a value"},
    };
    for (const Usage& u : usages) {
        const ProgramRun run = Cli(u.args);
        EXPECT_EQ(run.status, 2) << u.args[0] << " " << u.why;
        EXPECT_NE(run.err.find(u.why), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("usage: velmorin-cli " + u.args[0]), std::string::npos) << run.err;
    }
    for (const char* command : {"send", "extract", "verify", "run", "stop", "reset-counters", "rom"}) {
        const ProgramRun help = Cli({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("usage: velmorin-cli ") + command, 0), 0u) << help.out;
    }
}

}  // namespace
}  // namespace velmorin
