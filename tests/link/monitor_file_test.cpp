// Monitor sets on disk and the associated program's aliases, through the
// dialog's flows with scripted answers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "link/monitor_file.h"
#include "link/monitor_messages.h"
#include "model/messages.h"
#include "support/model_builders.h"
#include "support/scripted_prompts.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Messages = std::vector<std::string>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

void WriteRaw(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

class MonitorFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmorin-mld-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        ResetModel(*model);
        state.set[0][0] = {93, 1, 1};  // CNTE1 as a word, sent
        state.set[3][7] = {15, 0, 0};  // V01 in the last row of the last map
        state.image.SetByte(92, 0x34);
        state.image.SetByte(255, 0xAB);
    }
    void TearDown() override { fs::remove_all(dir); }

    // A source file using e1 and s1 under the user's names "marcha" and "motor".
    std::string WriteProgram(const std::string& name) {
        auto program = std::make_unique<ProgramModel>();
        ResetModel(*program);
        testing::PutRung(*program, 1);
        SetFieldText(program->aliases[testing::E1].alias, "marcha");
        SetFieldText(program->aliases[testing::S1].alias, "motor");
        EXPECT_TRUE(WriteSourceFile(*program, (dir / name).string()).ok);
        return (dir / name).string();
    }
    std::optional<MonitorLoad> Load(const std::string& path, MonitorState& into, ProgramModel& names) {
        prompts.fileAnswers = {path};
        prompts.messages.clear();
        return LoadMonitorSet(prompts, into, names, dir.string());
    }

    fs::path dir;
    std::unique_ptr<ProgramModel> model = std::make_unique<ProgramModel>();
    MonitorState state;
    testing::ScriptedPrompts prompts;
};

TEST_F(MonitorFileTest, SavedSetIs1038BytesAndRecuperarGivesBackSetImageAndProgram) {
    const std::string program = WriteProgram("prensa.v2.ldr");
    prompts.fileAnswers = {program, (dir / "turno").string()};  // saved without extension
    ASSERT_TRUE(AssociateProgram(prompts, state, *model, dir.string()));
    ASSERT_TRUE(SaveMonitorSet(prompts, state, dir.string()));

    const Bytes file = EncodeMonitorFile(state.set, state.image.Snapshot(), program);
    std::ifstream in(dir / "turno.mld", std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), file);
    ASSERT_EQ(file.size(), 1038u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 22), Text(std::string("~VLO| 100r03 \n\x5D\0\0\0\1\1\0\0", 22)));
    EXPECT_EQ(file[270 + 92], 0x34);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[526])), program);

    // A fresh application: default names, empty monitor state.
    MonitorState loaded;
    auto fresh = std::make_unique<ProgramModel>();
    ResetModel(*fresh);
    const std::optional<MonitorLoad> load = Load((dir / "turno.mld").string(), loaded, *fresh);
    ASSERT_TRUE(load && load->association);
    EXPECT_EQ(loaded.set, state.set);
    EXPECT_EQ(loaded.image.Snapshot(), state.image.Snapshot());
    EXPECT_EQ(loaded.programPath, program);
    EXPECT_EQ(load->association->programName, "prensa");
    EXPECT_EQ(FieldText(fresh->monitorNames[testing::S1]), "motor");

    // A program that is gone is reported; the set still loads.
    fs::remove(program);
    ASSERT_TRUE(Load((dir / "turno.mld").string(), loaded, *fresh));
    EXPECT_EQ(prompts.messages, Messages{msg::AssociatedOpenError});

    prompts.fileAnswers = {(dir / "missing" / "a.mld").string()};
    EXPECT_FALSE(SaveMonitorSet(prompts, state, dir.string()));
    EXPECT_EQ(prompts.messages.back(), msg::FileOpenError);
}

TEST_F(MonitorFileTest, RefusedFilesLeaveTheMonitorStateUnchanged) {
    const Bytes body(256 + 256 + 512, 0);
    auto file = [&](const std::string& header, Bytes rest, int32_t reference = 0) {
        std::memcpy(rest.data() + 8 * 9, &reference, 4);  // map 1, row 1
        Bytes out = Text(header);
        out.insert(out.end(), rest.begin(), rest.end());
        return out;
    };
    const std::string header = "~VLO| 100r03 \n";
    const std::pair<Bytes, const char*> cases[] = {
        {file("~VLM| 100r03 \n", body), msg::NotMonitorFile},
        {file("~VLO| 100r02 \n", body), msg::IncompatibleVersion},
        {file("~VLO| 099r03 \n", body), msg::IncompatibleVersion},
        {file("~VLO 100r03 \n", body), msg::IncompatibleVersion},
        {file(header, Bytes(511, 0)), msg::FileCorrupt},  // the image cut short
        {file(header, body, 94), msg::FileCorrupt},       // a count state's second byte
        {file(header, body, 124), msg::FileCorrupt},      // past TPE12
        {file(header, body, -1), msg::FileCorrupt},
    };
    state.programPath = "keep.ldr";
    const ControllerImage::Bytes image = state.image.Snapshot();
    const MonitorSet set = state.set;
    for (const auto& [bytes, message] : cases) {
        WriteRaw(dir / "bad.mld", bytes);
        EXPECT_FALSE(Load((dir / "bad.mld").string(), state, *model));
        EXPECT_EQ(prompts.messages, Messages{message});
        EXPECT_TRUE(state.set == set && state.image.Snapshot() == image && state.programPath == "keep.ldr");
    }
    // Accepted: a row the lists show, and a path block cut short, which names no program.
    MonitorFileContents contents;
    EXPECT_TRUE(DecodeMonitorFile(file(header, body, 93), model->monitorNames, contents).ok);
    const Bytes cut = file(header, Bytes(body.begin(), body.end() - 1), 95);
    ASSERT_TRUE(DecodeMonitorFile(cut, model->monitorNames, contents).ok);
    EXPECT_EQ(contents.set[1][1].reference, 95);
    EXPECT_EQ(contents.programPath, "");
}

TEST_F(MonitorFileTest, AsociarLendsAliasesToNamedVariablesOnly) {
    std::vector<std::string> items = VariableListItems(model->monitorNames);
    prompts.fileAnswers = {WriteProgram("prensa.ldr")};
    const std::optional<Association> association = AssociateProgram(prompts, state, *model, dir.string());
    ASSERT_TRUE(association);
    EXPECT_EQ(prompts.fileRequests.back().title, "Abrir programa asociado al Monitor");
    EXPECT_EQ(state.programPath, (dir / "prensa.ldr").string());
    ReplaceListItems(items, association->aliases);
    EXPECT_EQ(items, VariableListItems(model->monitorNames));
    EXPECT_EQ(items[1], "marcha");
    EXPECT_EQ(items[9], "motor");

    // No alias lands on a count state or past the named entries, and none
    // reads as the table's end mark: the lists keep their shape.
    auto record = [](uint8_t index, const char* alias) {
        SourceAlias r{index, {}, {}};
        std::memcpy(r.alias.data(), alias, std::strlen(alias) + 1);
        return r;
    };
    const std::vector<SourceAlias> records = {record(14, "bomba"), record(92, "x"), record(125, "x"),
                                              record(15, "\xFF")};
    const std::vector<AppliedAlias> applied = ApplyProgramAliases(records, model->aliases, model->monitorNames);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].name, "V01");
    EXPECT_EQ(VariableItemCount(model->monitorNames), 109);
}

TEST_F(MonitorFileTest, AsociarReadsOnlyARegularSourceFilesAliasSection) {
    const fs::path fifo = dir / "pipe.ldr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteRaw(dir / "bad.ldr", Text(std::string("~VLM| 100r02 |97 9\n\x62\1\0\xFF\xFF\xFF\xFF", 26)));
    WriteRaw(dir / "new.ldr", Text("~VLM| 100r03 |97 9\n"));
    WriteRaw(dir / "text.ldr", Text("hola\n"));
    const std::pair<fs::path, const char*> cases[] = {
        {dir / "none.ldr", msg::AssociatedOpenError},
        {fifo, msg::AssociatedOpenError},  // refused, not waited on
        {dir, msg::AssociatedOpenError},
        {dir / "text.ldr", msg::NotSourceFile},
        {dir / "new.ldr", msg::IncompatibleVersion},
        {dir / "bad.ldr", msg::FileCorrupt},  // a cell on row 98
    };
    const MonitorNameTable names = model->monitorNames;
    for (const auto& [path, message] : cases) {
        prompts.fileAnswers = {path.string()};
        prompts.messages.clear();
        EXPECT_FALSE(AssociateProgram(prompts, state, *model, dir.string()));
        EXPECT_EQ(prompts.messages, Messages{message}) << path;
        EXPECT_TRUE(state.programPath.empty() && model->monitorNames == names);
    }
    // The label section is not read: a broken one does not matter.
    const std::string program = WriteProgram("p.ldr");
    std::fstream(program, std::ios::in | std::ios::out | std::ios::binary).seekp(-1, std::ios::end).put(0x30);
    std::vector<SourceAlias> aliases;
    ASSERT_TRUE(ReadAssociatedAliases(program, aliases).ok);
    EXPECT_EQ(aliases.size(), 2u);
}

}  // namespace
}  // namespace velmorin
