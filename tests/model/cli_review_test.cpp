// velmorin-cli xref, check and aliases as a user runs them on a file: the
// JSON is read back as JSON, and the file is written only by an accepted import.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "compiler/test_diagram.h"
#include "model/source_file.h"
#include "support/child_process.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::Diagram;
using testing::ProgramRun;

class ReviewCommands : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmorin-review-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const ProgramModel& model) {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(WriteSourceFile(model, path));
        return path;
    }
    std::string WriteText(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static ProgramRun Cli(const std::vector<std::string>& args) { return testing::RunProgram(VELMORIN_CLI_PATH, args); }

    fs::path dir_;
};

// A pump that two rungs switch on, a level kept by set without rst, and a jump.
Diagram Pump() {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1", "ld:e2 ─ ─ ─ ─ ─ ─ jp1:@2"});
    d.Block(1, {"ld:e3 ─ ─ ─ ─ ─ ─ out:s1", "ld:e4 ─ ─ ─ ─ ─ ─ set:v01"});
    d.Block(2, {"ld:s1 ─ ─ ─ ─ ─ ─ out:s2", "end"});
    d.Alias("s1", "bomba");
    return d;
}

TEST_F(ReviewCommands, CrossReferenceAndObservationsOfAFileWithoutTouchingTheCompilation) {
    const std::string file = Write("bomba.ldr", Pump().model());

    const ProgramRun xref = Cli({"xref", file, "--json"});
    ASSERT_EQ(xref.status, 0) << xref.err;
    const json table = json::parse(xref.out);
    const json* pump = nullptr;
    for (const json& operand : table["operands"])
        if (operand["memory"] == "S1") pump = &operand;
    ASSERT_NE(pump, nullptr) << xref.out;
    EXPECT_EQ((*pump)["alias"], "bomba");
    EXPECT_EQ((*pump)["count"], 3);
    std::vector<std::string> uses;
    for (const json& use : (*pump)["uses"])
        uses.push_back(use["label"].get<std::string>() + " Y" + std::to_string(use["y"].get<int>()) + " X" +
                       std::to_string(use["x"].get<int>()) + " " + use["mnemonic"].get<std::string>() + " " +
                       use["role"].get<std::string>());
    EXPECT_EQ(uses,
              (std::vector<std::string>{"ETQ01 Y1 X8 OUT escribe", "ETQ02 Y1 X8 OUT escribe", "ETQ03 Y1 X1 LD lee"}));
    ASSERT_EQ(table["labels"].size(), 1u);
    EXPECT_EQ(table["labels"][0]["label"], "ETQ03");
    EXPECT_EQ(table["labels"][0]["block"], 2);
    EXPECT_EQ(table["labels"][0]["jumps"][0]["role"], "salta");

    const ProgramRun check = Cli({"check", file, "--json"});
    EXPECT_EQ(check.status, 1);
    const json found = json::parse(check.out)["observations"];
    ASSERT_EQ(found.size(), 2u) << check.out;
    EXPECT_EQ(found[0]["kind"], "duplicate-coil");
    EXPECT_EQ(found[0]["cells"].size(), 2u);
    EXPECT_EQ(found[1]["kind"], "set-without-reset");
    EXPECT_EQ(found[1]["memory"], "V01");

    const ProgramRun plain = Cli({"check", file});
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.out,
              "Bobina duplicada: S1 (bomba) se escribe con OUT en 2 lugares: ETQ01 Y1 X8, ETQ02 Y1 X8\n"
              "V01 se activa con SET y ningún RST lo desactiva: ETQ02 Y2 X8\n"
              "2 observaciones\n");

    // The observations are the editor's own: the compilation stays clean.
    const ProgramRun compiled = Cli({"compile", file, "--date", "2026-01-05"});
    EXPECT_EQ(compiled.status, 0) << compiled.out << compiled.err;
    EXPECT_EQ(compiled.out.find("Bobina"), std::string::npos);

    Diagram clean;
    clean.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1", "end"});
    const ProgramRun none = Cli({"check", Write("limpio.ldr", clean.model()), "--json"});
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(json::parse(none.out)["observations"].empty());
}

TEST_F(ReviewCommands, AliasesGoIntoTheFileOnlyWhenEveryRowIsGood) {
    const std::string file = Write("bomba.ldr", Pump().model());
    const ProgramRun exported = Cli({"aliases", file, "--csv"});
    ASSERT_EQ(exported.status, 0);
    EXPECT_EQ(exported.out.substr(0, 26), "memoria;alias\nE1;e1\nE2;e2\n");
    EXPECT_NE(exported.out.find("\nS1;bomba\n"), std::string::npos);

    const std::string original = Bytes(file);
    const std::string bad = WriteText("malo.csv", "memoria;alias\nE1;marcha\nE2;bomba\n");
    const ProgramRun refused = Cli({"aliases", file, "--import", bad});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, bad +
                               ": No se importaron los alias; el diagrama no cambió (Línea 3: el alias \"bomba\" ya "
                               "es el de S1)\n");
    EXPECT_EQ(Bytes(file), original);

    const std::string good = WriteText("bueno.csv", "memoria;alias\nE1;marcha\nS1;bomba1\nV40;libre\n");
    const ProgramRun imported = Cli({"aliases", file, "--import", good});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "3 alias leídos, " + file +
                                " escrito\nNo quedan en el archivo (el programa no usa esas memorias): V40\n");
    ProgramModel model;
    ResetModel(model);
    ASSERT_TRUE(ReadSourceFile(model, file));
    EXPECT_EQ(FieldText(model.aliases[0].alias), "marcha");
    EXPECT_EQ(FieldText(model.aliases[8].alias), "bomba1");
    const ProgramRun listed = Cli({"aliases", file});
    EXPECT_NE(listed.out.find("\nE1       marcha    1\n"), std::string::npos) << listed.out;

    const struct {
        std::vector<std::string> args;
        int status;
    } usage[] = {
        {{"xref"}, 2},
        {{"xref", file, "--csv"}, 2},
        {{"check", file, file}, 2},
        {{"aliases", file, "--csv", "--import", good}, 2},
        {{"aliases", file, "--import"}, 2},
        {{"xref", (dir_ / "nada.ldr").string()}, 1},
        {{"check", "--help"}, 0},
    };
    for (const auto& u : usage) EXPECT_EQ(Cli(u.args).status, u.status) << u.args[0] << " " << u.args.size();
}

}  // namespace
}  // namespace velmorin
