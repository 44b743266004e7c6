// velmorin-cli's controller commands end to end: the real program, the real
// termios link and velmorin-sim on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

    // A Com name in any case, as the editor's settings spell it or a user types it.
    for (const char* com : {"COM2", "com2"}) {
        const ProgramRun rom = Cli({"rom", "--port", com, "--id", "12"}, {"VELMORIN_COM2=" + port});
        EXPECT_EQ(rom.status, 0) << rom.err;
        EXPECT_EQ(rom.out, "0310\n");
    }
    const ProgramRun silent = Cli({"rom", "--port", port, "--id", "13"});
    EXPECT_EQ(silent.status, 1);
    EXPECT_EQ(silent.err, "ERROR!\n");
}

// Every refusal names the file or the device and the reason, at once: a
// pipe or a folder given as a file is not waited on, an upload does not
// replace a file that is not an image, a watch whose output goes nowhere
// ends, and a write without a value is a usage error.
TEST(CommandLine, RefusalsNameWhatFailedAndWhy) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    const std::string folder = Folder(sim), port = sim.device();
    const std::string pipe = folder + "/pipe.ldr", source = folder + "/motor.ldr";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::copy_file(Examples + "latch.ldr", source);
    const std::string sourceBytes = FileText(source);
    const std::string isPipe =
        pipe + ": Error al abrir el archivo (" + pipe + ": Es una tubería (FIFO), no un archivo)";
    const std::string noFile = ": No existe el fichero o el directorio)";

    struct Case {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> err;  // fragments of standard error
        bool outputToFull = false;     // standard output is /dev/full
    };
    const Case cases[] = {
        {{"show", pipe}, 1, {isPipe}},
        {{"compile", pipe}, 1, {isPipe}},
        {{"dump", folder}, 1, {folder + ": Error al abrir el archivo (" + folder + ": Es un directorio)"}},
        {{"send", pipe, "--port", port}, 1, {isPipe}},
        {{"verify", "/dev/null", "--port", port}, 2, {"/dev/null: Es un dispositivo, no un archivo)"}},
        // After "--" a word that looks like an option is a file.
        {{"show", "--", "-x.ldr"}, 1, {"-x.ldr: Error al abrir el archivo (", noFile}},
        {{"send", folder + "/none.bld", "--port", port}, 1, {"none.bld: Error al abrir el archivo (", noFile}},
        {{"extract", source, "--port", port}, 1, {source + ": No es un archivo binario Ladder Vadri (", "--force"}},
        {{"extract", pipe, "--port", port, "--force"}, 1, {isPipe}},
        {{"extract", folder + "/none/out.bld", "--port", port},
         1,
         {"Error al abrir el archivo (", "/none/out.bld", noFile}},
        {{"rom", "--port", folder + "/nocom"}, 1, {"Error -1 - 0 en comunicación (" + folder + "/nocom" + noFile}},
        {{"write", "--port", port, "V01"}, 2, {"'V01' has no =VALUE", "usage: velmorin-cli write"}},
        {{"watch", "--port", port, "E1"}, 1, {"velmorin-cli watch: standard output: No space left on device"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        ProgramRun run;
        if (c.outputToFull) {
            std::vector<std::string> shell = {"-c", "exec \"$0\" \"$@\" >/dev/full", VELMORIN_CLI_PATH};
            shell.insert(shell.end(), c.args.begin(), c.args.end());
            run = RunProgram("/bin/sh", shell, {}, std::chrono::seconds(10));
        } else {
            run = Cli(c.args);
        }
        EXPECT_EQ(run.status, c.status) << run.err;
        for (const std::string& fragment : c.err) EXPECT_NE(run.err.find(fragment), std::string::npos) << run.err;
    }
    EXPECT_EQ(FileText(source), sourceBytes) << "the source is not replaced by an upload";
    const ProgramRun forced = Cli({"extract", source, "--port", port, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(FileText(source).substr(0, 4), "~VLB");
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
    EXPECT_EQ(noPort.err, "Error -1 - 0 en comunicación (" + missing + ": No existe el fichero o el directorio)\n");

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
        {{"extract", "a.bld", "b.bld", "--port", missing}, "unexpected argument 'b.bld'"},
        {{"run", "--mode", "fast", "--port", missing}, "--mode: needs total, variables or keep"},
        {{"stop", "--any", "--port", missing}, "unknown option '--any'"},
        {{"rom", "--port"}, "--port needs a value"},
        {{"rom", "--port", missing, "--json=1"}, "--json takes no value"},
        {{"bogus"}, "unknown command 'bogus'"},
        {{"help", "bogus"}, "unknown command 'bogus'"},
        {{"show"}, "FILE.ldr is required"},
        {{"show", "a.ldr", "b.ldr"}, "unexpected argument 'b.ldr'"},
        {{"dump", "--json"}, "FILE.bld is required"},
        {{"decompile", "a.bld"}, "OUT.ldr is required"},
        {{"compile", "a.ldr", "--date", "2026-02-30"}, "--date: needs a date YYYY-MM-DD"},
        {{"compile", "a.ldr", "--format", "xml"}, "--format: needs text or gnu"},
        {{"compile", "a.ldr", "--json", "--format=gnu"}, "--json excludes --format"},
        {{"aliases", "a.ldr", "--csv", "--import", "n.csv"}, "--csv excludes --import"},
        {{"scan", "--port", missing, "--ids", "0-3"}, "--ids: needs identifiers 1..255"},
        {{"scan", "--ids", "1-3"}, "--port is required"},
        {{"watch", "--port", missing, "--cycles", "0", "E1"}, "--cycles: needs a number 1..1000000"},
        {{"watch", "--port", missing, "--set", "m.mld", "--map", "5"}, "--map: needs a map 1..4"},
        {{"watch", "--port", missing, "--csv", "--json", "E1"}, "--csv excludes --json"},
        {{"watch", "--port", missing, "--map", "2", "E1"}, "--map needs --set"},
        {{"watch", "--port", missing, "--set", "m.mld", "E1"}, "--set and VAR exclude each other"},
        {{"watch", "--port", missing}, "no variable to watch"},
        {{"watch", "--port", missing, "Q9"}, "(Q9)"},
        {{"write", "--port", missing}, "VAR=VALUE is required"},
        {{"write", "--port", missing, "V01=256"}, "(V01=256)"},
    };
    for (const Usage& u : usages) {
        SCOPED_TRACE(u.args[0] + " " + u.why);
        const ProgramRun run = Cli(u.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(u.why), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        const bool command = u.args[0] != "bogus";
        EXPECT_NE(run.err.find("usage: velmorin-cli " + (command ? u.args[0] : std::string("COMMAND"))),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(Cli({}).status, 2) << "no command is a usage error";

    // The simulator refuses its words the same way; a stored program it
    // cannot read is a failed job.
    const Usage simUsages[] = {
        {{"--link"}, "--link needs a value"},
        {{"--id", "7"}, "--link is required"},
        {{"--link", "/tmp/x", "--id", "0"}, "--id: needs an identifier 1..255"},
        {{"--link", "/tmp/x", "--fault", "loud"}, "--fault: unknown fault 'loud'"},
        {{"--link", "/tmp/x", "--verbose=yes"}, "--verbose takes no value"},
    };
    for (const Usage& u : simUsages) {
        SCOPED_TRACE(u.why);
        const ProgramRun run = testing::RunProgram(VELMORIN_SIM_PATH, u.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("velmorin-sim: " + std::string(u.why)), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("usage: velmorin-sim --link PATH"), std::string::npos) << run.err;
    }
    const ProgramRun noImage = testing::RunProgram(VELMORIN_SIM_PATH, {"--link", missing, "--image", missing + ".bld"});
    EXPECT_EQ(noImage.status, 1);
    EXPECT_NE(noImage.err.find("Error al abrir el archivo"), std::string::npos) << noImage.err;
    for (const char* command : {"send", "extract", "verify", "run", "stop", "reset-counters", "rom"}) {
        const ProgramRun help = Cli({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("usage: velmorin-cli ") + command, 0), 0u) << help.out;
    }
}

}  // namespace
}  // namespace velmorin
