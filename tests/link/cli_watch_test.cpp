// velmorin-cli watch and write against velmorin-sim: the variable monitor's
// poll cycle and write exchange as a terminal command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/monitor_file.h"
#include "support/child_process.h"
#include "support/sim_process.h"

namespace velmorin {
namespace {

using testing::ProgramRun;
using testing::SimProcess;

ProgramRun Cli(std::vector<std::string> args) { return testing::RunProgram(VELMORIN_CLI_PATH, args); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// Everything after the timestamp of a CSV row or a line.
std::string AfterTime(const std::string& line) { return line.substr(std::string("2026-01-01 00:00:00.000").size()); }

TEST(CommandLineWatch, ValuesSetInTheControllerAreLoggedAndWrittenValuesLand) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    const std::string port = sim.device();
    ASSERT_TRUE(sim.Command("on E1") && sim.Command("set V01 42") && sim.Command("set CNTE1 4660"));

    const ProgramRun csv = Cli({"watch", "--port", port, "--cycles", "1", "--csv", "E1", "v01", "CNTE1", "14:w"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::string> rows = Lines(csv.out);
    ASSERT_EQ(rows.size(), 2u) << csv.out;
    EXPECT_EQ(rows[0], "hora,E1,V01,CNTE1,14:w");
    EXPECT_EQ(AfterTime(rows[1]), ",1,42,4660,42");

    const ProgramRun written = Cli({"write", "--port", port, "V02=200", "cnte2=1234"});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(sim.Command("get V02 CNTE2").value_or(""), "V02 = 200\nCNTE2 = 1234\n");

    // A value the row cannot hold stops the command before anything is sent.
    const ProgramRun tooBig = Cli({"write", "--port", port, "V03=7", "V02=300"});
    EXPECT_EQ(tooBig.status, 2);
    EXPECT_NE(tooBig.err.find("Edición de datos inválido"), std::string::npos) << tooBig.err;
    EXPECT_EQ(sim.Command("get V03").value_or(""), "V03 = 0\n");

    // A map of a monitor set, named as the set's rows are.
    MonitorState state;
    state.set[1][0] = {15, 0, 0};  // V01
    state.set[1][3] = {93, 1, 0};  // CNTE1
    const std::string set = std::filesystem::path(port).parent_path() / "maps.mld";
    ASSERT_TRUE(WriteMonitorFile(set, state).ok);
    const ProgramRun mapped = Cli({"watch", "--port", port, "--cycles", "2", "--set", set, "--map", "2"});
    EXPECT_EQ(mapped.status, 0) << mapped.err;
    const std::vector<std::string> lines = Lines(mapped.out);
    ASSERT_EQ(lines.size(), 2u) << mapped.out;
    EXPECT_EQ(AfterTime(lines[1]), " V01=42 CNTE1=4660");
    const ProgramRun emptyMap = Cli({"watch", "--port", port, "--cycles", "1", "--set", set});
    EXPECT_EQ(emptyMap.status, 1);
    EXPECT_NE(emptyMap.err.find("No hay variables para recibir"), std::string::npos) << emptyMap.err;
    std::ofstream(set, std::ios::trunc) << "~VLM| 100r02 \n";
    const ProgramRun notASet = Cli({"watch", "--port", port, "--cycles", "1", "--set", set});
    EXPECT_EQ(notASet.status, 1);
    EXPECT_NE(notASet.err.find("No es un archivo monitor Ladder Vadri"), std::string::npos) << notASet.err;
}

TEST(CommandLineWatch, ASilentControllerFailsBothCommands) {
    SimProcess sim({"--fault", "silent"});
    ASSERT_TRUE(sim.ready()) << sim.err();
    const ProgramRun written = Cli({"write", "--port", sim.device(), "V02=1", "V03=2"});
    EXPECT_EQ(written.status, 1);
    EXPECT_EQ(written.err, "Hubo error en el envio de datos\n");

    const ProgramRun watched = Cli({"watch", "--port", sim.device(), "--cycles", "1", "E1"});
    EXPECT_EQ(watched.status, 1);
    ASSERT_EQ(Lines(watched.out).size(), 1u) << watched.out;
    EXPECT_EQ(AfterTime(Lines(watched.out)[0]), " sin respuesta");
    EXPECT_EQ(watched.err, "Sin respuesta del PLC\n");

    const ProgramRun noPort = Cli({"watch", "--port", "/nonexistent/tty", "E1"});
    EXPECT_EQ(noPort.status, 1);
    EXPECT_EQ(noPort.err, "Error -1 - 0 en comunicación (/nonexistent/tty: No existe el fichero o el directorio)\n");
    const ProgramRun unknown = Cli({"watch", "--port", sim.device(), "X9"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("Variable desconocida: X9"), std::string::npos);
}

}  // namespace
}  // namespace velmorin
