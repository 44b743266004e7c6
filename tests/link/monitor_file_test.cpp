// Monitor sets on disk and the associated program's aliases, through the
// dialog's flows with scripted answers.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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
using velmorin::testing::ScriptedPrompts;

const std::string Header = "~VLO| 100r03 \n";

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteRaw(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

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
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // A source file whose cells use s1 and v01, with the user's names for them.
    fs::path WriteProgram(const std::string& name) {
        auto program = std::make_unique<ProgramModel>();
        ResetModel(*program);
        testing::PutRung(*program, 1);  // ld e1 ... out s1
        SetFieldText(program->aliases[testing::S1].alias, "motor");
        SetFieldText(program->aliases[testing::E1].alias, "marcha");
        const fs::path path = dir / name;
        EXPECT_TRUE(WriteSourceFile(*program, path.string()).ok);
        return path;
    }

    fs::path dir;
    std::unique_ptr<ProgramModel> model = std::make_unique<ProgramModel>();
    MonitorState state;
    ScriptedPrompts prompts;
};

TEST_F(MonitorFileTest, ASavedSetIs1038BytesInItsLayout) {
    state.programPath = "/home/ana/prensa.ldr";
    const Bytes file = EncodeMonitorFile(state.set, state.image.Snapshot(), state.programPath);
    ASSERT_EQ(file.size(), 1038u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 14), Text(Header));
    EXPECT_EQ(Bytes(file.begin() + 14, file.begin() + 22), (Bytes{93, 0, 0, 0, 1, 1, 0, 0}));
    const size_t lastRow = 14 + 8 * 31;
    EXPECT_EQ(Bytes(file.begin() + lastRow, file.begin() + lastRow + 8), (Bytes{15, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(file[270 + 92], 0x34);
    EXPECT_EQ(file[270 + 255], 0xAB);
    EXPECT_EQ(std::string(file.begin() + 526, file.begin() + 526 + 20), state.programPath);
    EXPECT_TRUE(std::all_of(file.begin() + 546, file.end(), [](uint8_t b) { return b == 0; }));

    // A path too long for its block is left out rather than cut short.
    const Bytes longPath = EncodeMonitorFile(state.set, state.image.Snapshot(), std::string(512, 'a'));
    EXPECT_EQ(longPath.size(), 1038u);
    EXPECT_TRUE(std::all_of(longPath.begin() + 526, longPath.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(MonitorFileTest, SaveAndRecuperarGiveBackSetImageAndProgram) {
    const fs::path program = WriteProgram("prensa.v2.ldr");
    prompts.fileAnswers = {program.string()};
    ASSERT_TRUE(AssociateProgram(prompts, state, *model, dir.string()));
    prompts.fileAnswers = {(dir / "turno").string()};  // typed without extension
    ASSERT_TRUE(SaveMonitorSet(prompts, state, dir.string()));
    EXPECT_EQ(prompts.fileRequests.back().title, "Guardar archivo monitor");
    EXPECT_TRUE(prompts.fileRequests.back().confirmOverwrite);
    ASSERT_EQ(ReadAll(dir / "turno.mld").size(), 1038u);

    // A fresh application: reset names, empty monitor state.
    MonitorState loaded;
    auto fresh = std::make_unique<ProgramModel>();
    ResetModel(*fresh);
    prompts.fileAnswers = {(dir / "turno.mld").string()};
    const std::optional<MonitorLoad> load = LoadMonitorSet(prompts, loaded, *fresh, dir.string());
    ASSERT_TRUE(load);
    EXPECT_EQ(prompts.fileRequests.back().title, "Abrir archivo Monitor");
    EXPECT_EQ(prompts.fileRequests.back().filters[0].pattern, "*.mld");
    EXPECT_EQ(loaded.set, state.set);
    EXPECT_EQ(loaded.image.Snapshot(), state.image.Snapshot());
    EXPECT_EQ(loaded.programPath, program.string());
    ASSERT_TRUE(load->association);
    EXPECT_EQ(load->association->programName, "prensa");
    EXPECT_EQ(FieldText(fresh->monitorNames[testing::S1]), "motor");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MonitorFileTest, RefusedFilesLeaveTheMonitorStateUnchanged) {
    Bytes body(256 + 256 + 512, 0);
    auto withHeader = [&](const std::string& header, const Bytes& rest) {
        Bytes file = Text(header);
        file.insert(file.end(), rest.begin(), rest.end());
        return file;
    };
    auto withRow = [&](int32_t reference) {
        Bytes rest = body;
        std::memcpy(rest.data() + 8 * 9, &reference, 4);  // map 1, row 1
        return withHeader(Header, rest);
    };
    struct Case {
        const char* name;
        Bytes file;
        const char* message;
    };
    const Case cases[] = {
        {"another magic", withHeader("~VLM| 100r03 \n", body), msg::NotMonitorFile},
        {"revision 02", withHeader("~VLO| 100r02 \n", body), msg::IncompatibleVersion},
        {"revision 04", withHeader("~VLO| 100r04 \n", body), msg::IncompatibleVersion},
        {"version 099", withHeader("~VLO| 099r03 \n", body), msg::IncompatibleVersion},
        {"no bar", withHeader("~VLO 100r03 \n", body), msg::IncompatibleVersion},
        {"header only", Text(Header), msg::FileCorrupt},
        {"image cut short", withHeader(Header, Bytes(511, 0)), msg::FileCorrupt},
        {"second byte of a count state", withRow(94), msg::FileCorrupt},
        {"past the last count state", withRow(124), msg::FileCorrupt},
        {"negative reference", withRow(-1), msg::FileCorrupt},
        {"beyond the image", withRow(257), msg::FileCorrupt},
    };
    const MonitorSet before = state.set;
    const ControllerImage::Bytes imageBefore = state.image.Snapshot();
    state.programPath = "keep.ldr";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / "bad.mld";
        WriteRaw(path, c.file);
        prompts.fileAnswers = {path.string()};
        prompts.messages.clear();
        EXPECT_FALSE(LoadMonitorSet(prompts, state, *model, dir.string()));
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(state.set, before);
        EXPECT_EQ(state.image.Snapshot(), imageBefore);
        EXPECT_EQ(state.programPath, "keep.ldr");
    }
    EXPECT_EQ(withRow(93).size(), 1038u);  // the same file with a row the lists show loads
    MonitorFileContents contents;
    EXPECT_TRUE(DecodeMonitorFile(withRow(93), model->monitorNames, contents).ok);
    EXPECT_EQ(contents.set[1][1].reference, 93);
}

TEST_F(MonitorFileTest, APathBlockCutShortNamesNoProgram) {
    Bytes file = EncodeMonitorFile(state.set, state.image.Snapshot(), "/x/prensa.ldr");
    MonitorFileContents contents;
    ASSERT_TRUE(DecodeMonitorFile(file, model->monitorNames, contents).ok);
    EXPECT_EQ(contents.programPath, "/x/prensa.ldr");
    file.resize(14 + 512 + 100);
    ASSERT_TRUE(DecodeMonitorFile(file, model->monitorNames, contents).ok);
    EXPECT_EQ(contents.set, state.set);
    EXPECT_EQ(contents.programPath, "");
}

TEST_F(MonitorFileTest, AFailedSaveReportsAndKeepsTheOlderFile) {
    const fs::path path = dir / "turno.mld";
    const Bytes older = Text("older");
    WriteRaw(path, older);
    // In a child whose files may not grow past 100 bytes.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ScriptedPrompts childPrompts;
        childPrompts.fileAnswers = {path.string()};
        const bool saved = SaveMonitorSet(childPrompts, state, dir.string());
        ::_exit(!saved && childPrompts.messages == std::vector<std::string>{msg::FileOpenError} ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadAll(path), older);

    prompts.fileAnswers = {(dir / "missing" / "a.mld").string()};
    EXPECT_FALSE(SaveMonitorSet(prompts, state, dir.string()));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{msg::FileOpenError});
}

TEST_F(MonitorFileTest, AsociarLendsTheProgramsAliasesToTheNamesAndTheLists) {
    const fs::path program = WriteProgram("prensa.ldr");
    std::vector<std::string> items = VariableListItems(model->monitorNames);
    prompts.fileAnswers = {program.string()};
    const std::optional<Association> association = AssociateProgram(prompts, state, *model, dir.string());
    ASSERT_TRUE(association);
    EXPECT_EQ(prompts.fileRequests.back().title, "Abrir programa asociado al Monitor");
    EXPECT_EQ(association->programName, "prensa");
    EXPECT_EQ(state.programPath, program.string());
    EXPECT_EQ(FieldText(model->monitorNames[testing::E1]), "marcha");
    EXPECT_EQ(FieldText(model->monitorNames[testing::S1]), "motor");

    ReplaceListItems(items, association->aliases);
    EXPECT_EQ(items, VariableListItems(model->monitorNames));
    EXPECT_EQ(items[1], "marcha");
    EXPECT_EQ(items[9], "motor");
    // A list that already shows something else for the index keeps it.
    std::vector<std::string> renamed = VariableListItems(model->monitorNames);
    renamed[1] = "otro";
    ReplaceListItems(renamed, association->aliases);
    EXPECT_EQ(renamed[1], "otro");
}

TEST_F(MonitorFileTest, AsociarRefusesWhatIsNotAReadableSourceFileAndChangesNothing) {
    const fs::path fifo = dir / "pipe.ldr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Bytes badCell = Text("~VLM| 100r02 |97 9\n");
    badCell.insert(badCell.end(), {98, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    WriteRaw(dir / "badcell.ldr", badCell);
    WriteRaw(dir / "new.ldr", Text("~VLM| 100r03 |97 9\n\xFF\xFF\xFF"));
    WriteRaw(dir / "text.ldr", Text("hola\n"));
    struct Case {
        fs::path path;
        const char* message;
    };
    const Case cases[] = {
        {dir / "none.ldr", msg::AssociatedOpenError},
        {fifo, msg::AssociatedOpenError},  // and it must not wait for a writer
        {dir, msg::AssociatedOpenError},
        {dir / "text.ldr", msg::NotSourceFile},
        {dir / "new.ldr", msg::IncompatibleVersion},
        {dir / "badcell.ldr", msg::FileCorrupt},
    };
    const MonitorNameTable namesBefore = model->monitorNames;
    state.programPath = "keep.ldr";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        prompts.fileAnswers = {c.path.string()};
        prompts.messages.clear();
        EXPECT_FALSE(AssociateProgram(prompts, state, *model, dir.string()));
        EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(state.programPath, "keep.ldr");
        EXPECT_EQ(model->monitorNames, namesBefore);
    }
}

TEST_F(MonitorFileTest, RecuperarKeepsTheSetWhenItsProgramIsGone) {
    state.programPath = (dir / "gone.ldr").string();
    ASSERT_TRUE(WriteMonitorFile((dir / "a.mld").string(), state).ok);
    MonitorState loaded;
    prompts.fileAnswers = {(dir / "a.mld").string()};
    const std::optional<MonitorLoad> load = LoadMonitorSet(prompts, loaded, *model, dir.string());
    ASSERT_TRUE(load);
    EXPECT_FALSE(load->association);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{msg::AssociatedOpenError});
    EXPECT_EQ(loaded.set, state.set);
    EXPECT_EQ(loaded.programPath, state.programPath);  // saved again as it was
}

// A program file can rename variables but never reshape the lists: no alias
// lands on a count state or past the named entries, none reads as the end mark.
TEST_F(MonitorFileTest, AliasesOnlyRenameNamedVariables) {
    auto record = [](uint8_t index, const char* alias) {
        SourceAlias r;
        r.index = index;
        SetFieldText(r.name, "X");
        std::memcpy(r.alias.data(), alias, std::strlen(alias) + 1);
        return r;
    };
    const std::vector<SourceAlias> records = {record(14, "bomba"), record(92, "cuenta"), record(125, "fin"),
                                              record(200, "lejos"), record(15, "\xFF")};
    const std::vector<AppliedAlias> applied = ApplyProgramAliases(records, model->aliases, model->monitorNames);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].index, 14);
    EXPECT_EQ(applied[0].name, "V01");
    EXPECT_EQ(applied[0].alias, "bomba");
    EXPECT_EQ(VariableItemCount(model->monitorNames), 109);
    EXPECT_EQ(FieldText(model->monitorNames[92]), "CNTE1");
}

TEST_F(MonitorFileTest, OnlyTheAliasSectionOfAProgramIsRead) {
    const fs::path program = WriteProgram("p.ldr");
    Bytes bytes = ReadAll(program);
    bytes.back() = 0x30;  // the label section's end mark becomes a label record cut short
    std::vector<SourceAlias> aliases;
    ASSERT_TRUE(ReadSourceAliases(bytes, aliases).ok);
    ASSERT_EQ(aliases.size(), 2u);
    EXPECT_EQ(aliases[0].index, testing::E1);
    EXPECT_EQ(FieldText(aliases[1].alias), "motor");
}

}  // namespace
}  // namespace velmorin
