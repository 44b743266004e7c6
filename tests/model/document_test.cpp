#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../support/scripted_prompts.h"
#include "model/document.h"
#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedPrompts;

// A horizontal wire in an element column marks "the old diagram".
constexpr int MarkRow = 2;
constexpr int MarkColumn = 3;

bool Marked(const ProgramModel& model) { return model.grid.at(MarkRow, MarkColumn).shape == KindHorizontal; }
void Mark(ProgramModel& model) { model.grid.at(MarkRow, MarkColumn).shape = KindHorizontal; }

class TempDir {
public:
    TempDir() {
        std::random_device seed;
        path_ = fs::temp_directory_path() / ("velmorin-doc-" + std::to_string(seed()) + std::to_string(seed()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    bool empty() const { return fs::is_empty(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

struct HookLog {
    std::vector<std::string> events;
    std::vector<std::string> titles;
    std::vector<std::string> recent;
};

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        DocumentHooks hooks;
        hooks.titleChanged = [this](const std::string& title) { log.titles.push_back(title); };
        hooks.recentFileAdded = [this](const std::string& path) { log.recent.push_back(path); };
        hooks.viewReset = [this] { log.events.push_back("view"); };
        hooks.monitorCleared = [this] { log.events.push_back("monitor"); };
        hooks.markedCellCleared = [this] { log.events.push_back("marked"); };
        hooks.diagnosticsCleared = [this] { log.events.push_back("diagnostics"); };
        hooks.redrawRequested = [this] { log.events.push_back("redraw"); };
        doc.SetHooks(hooks);
        doc.SetStartDirectory(dir.path().string());
    }

    // A saved diagram with the mark: `doc` holds it, unmodified, with a path.
    std::string SavedMarkedDiagram(const std::string& name = "old.ldr") {
        const std::string path = dir.file(name);
        Mark(doc.model());
        ScriptedPrompts save;
        save.fileAnswers.push_back(path);
        EXPECT_TRUE(doc.SaveDocumentAs(save));
        log = {};
        return path;
    }

    // A second source file on disk, without the mark.
    std::string OtherDiagram() {
        ProgramModel other;
        ResetModel(other);
        other.grid.at(5, 1).shape = KindVertical;
        const std::string path = dir.file("other.ldr");
        EXPECT_TRUE(WriteSourceFile(other, path).ok);
        return path;
    }

    TempDir dir;
    Document doc;
    HookLog log;
    ScriptedPrompts prompts;
};

TEST_F(DocumentTest, StartsAsAResetUnnamedDiagram) {
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_FALSE(doc.modified());
    EXPECT_TRUE(doc.title().empty());
    EXPECT_EQ(doc.model().grid.at(1, 0).shape, KindCornerDownRight);
    EXPECT_EQ(doc.model().grid.at(1, 9).shape, KindCornerDownLeft);
}

TEST_F(DocumentTest, DiscardQuestionOnlyWhenModified) {
    EXPECT_TRUE(doc.ConfirmDiscard(prompts));
    EXPECT_TRUE(prompts.questions.empty());

    doc.SetModified(true);
    prompts.yesNoAnswers = {false, true};
    EXPECT_FALSE(doc.ConfirmDiscard(prompts));
    EXPECT_TRUE(doc.ConfirmDiscard(prompts));
    ASSERT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(prompts.questions[0].text, "El diagrama fue editado. Descarta los cambios?");
    EXPECT_EQ(prompts.questions[0].caption, "Descartar");
    // Asking changes nothing by itself.
    EXPECT_TRUE(doc.modified());
}

TEST_F(DocumentTest, NewResetsEveryPartInOrderAndForgetsThePath) {
    SavedMarkedDiagram();
    ASSERT_TRUE(doc.NewDocument(prompts));
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_FALSE(Marked(doc.model()));
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_FALSE(doc.modified());
    EXPECT_TRUE(doc.title().empty());
    EXPECT_EQ(log.events, (std::vector<std::string>{"view", "monitor", "marked", "diagnostics"}));
}

TEST_F(DocumentTest, NewOnAModifiedDiagram) {
    const std::string path = SavedMarkedDiagram();
    doc.SetModified(true);

    prompts.yesNoAnswers = {false};
    EXPECT_FALSE(doc.NewDocument(prompts));
    EXPECT_TRUE(Marked(doc.model()));
    EXPECT_EQ(doc.currentPath(), path);
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(log.events.empty());

    prompts.yesNoAnswers = {true};
    EXPECT_TRUE(doc.NewDocument(prompts));
    EXPECT_FALSE(Marked(doc.model()));
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(prompts.questions.size(), 2u);
}

TEST_F(DocumentTest, OpenShowsTheSourceFileDialog) {
    prompts.fileAnswers = {std::nullopt};
    EXPECT_FALSE(doc.OpenDocument(prompts));
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    const FileDialogRequest& request = prompts.fileRequests[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.title, "Abrir archivo fuente");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].name, "Fuente Ladder");
    EXPECT_EQ(request.filters[0].pattern, "*.ldr");
    EXPECT_EQ(request.filters[1].name, "Todos los archivos");
    EXPECT_EQ(request.filters[1].pattern, "*.*");
    EXPECT_EQ(request.presetName, "*.ldr");
    EXPECT_EQ(request.directory, dir.path().string());
}

TEST_F(DocumentTest, OpenAnsweredNoChangesNothingAndShowsNoDialog) {
    const std::string path = SavedMarkedDiagram();
    doc.SetModified(true);
    prompts.yesNoAnswers = {false};
    EXPECT_FALSE(doc.OpenDocument(prompts));
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_TRUE(Marked(doc.model()));
    EXPECT_EQ(doc.currentPath(), path);
    EXPECT_EQ(doc.title(), "old.ldr");
    EXPECT_TRUE(doc.modified());
}

TEST_F(DocumentTest, OpenAnsweredYesThenCancelledKeepsTheOldDiagram) {
    const std::string path = SavedMarkedDiagram();
    doc.SetModified(true);
    prompts.yesNoAnswers = {true};
    prompts.fileAnswers = {std::nullopt};
    EXPECT_FALSE(doc.OpenDocument(prompts));
    EXPECT_TRUE(Marked(doc.model()));
    EXPECT_EQ(doc.currentPath(), path);
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(log.events.empty());
}

TEST_F(DocumentTest, OpenAnsweredYesLoadsWithoutAskingAgain) {
    SavedMarkedDiagram();
    const std::string other = OtherDiagram();
    doc.SetModified(true);
    prompts.yesNoAnswers = {true};
    prompts.fileAnswers = {other};
    ASSERT_TRUE(doc.OpenDocument(prompts));
    EXPECT_EQ(prompts.questions.size(), 1u);
    EXPECT_FALSE(Marked(doc.model()));
    EXPECT_EQ(doc.model().grid.at(5, 1).shape, KindVertical);
    EXPECT_EQ(doc.currentPath(), other);
    EXPECT_FALSE(doc.modified());
}

TEST_F(DocumentTest, SuccessfulLoadSetsTitlePathAndRecentList) {
    const std::string other = OtherDiagram();
    ASSERT_TRUE(doc.LoadDocument(prompts, other));
    EXPECT_EQ(doc.title(), "other.ldr");
    EXPECT_EQ(log.titles, (std::vector<std::string>{"other.ldr"}));
    EXPECT_EQ(log.recent, (std::vector<std::string>{other}));
    EXPECT_EQ(doc.currentPath(), other);
    EXPECT_FALSE(doc.modified());
    // Reset first, the new diagram drawn last.
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.front(), "view");
    EXPECT_EQ(log.events.back(), "redraw");
}

TEST_F(DocumentTest, LoadFromTheRecentListAsksAndNoKeepsEverything) {
    const std::string path = SavedMarkedDiagram();
    const std::string other = OtherDiagram();
    doc.SetModified(true);
    prompts.yesNoAnswers = {false};
    EXPECT_FALSE(doc.LoadDocument(prompts, other));
    EXPECT_TRUE(Marked(doc.model()));
    EXPECT_EQ(doc.currentPath(), path);
    EXPECT_EQ(doc.title(), "old.ldr");
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(log.recent.empty());

    prompts.yesNoAnswers = {true};
    EXPECT_TRUE(doc.LoadDocument(prompts, other));
    EXPECT_EQ(doc.currentPath(), other);
}

TEST_F(DocumentTest, FailedLoadLeavesAResetDiagramWithoutPath) {
    SavedMarkedDiagram();
    const std::string bogus = dir.file("bogus.ldr");
    std::ofstream(bogus) << "not a ladder source\n";

    EXPECT_FALSE(doc.LoadDocument(prompts, bogus));
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{msg::NotSourceFile}));
    EXPECT_FALSE(Marked(doc.model()));
    EXPECT_EQ(doc.model().grid.at(1, 0).shape, KindCornerDownRight);
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_FALSE(doc.modified());
    // The title keeps the last file that did load.
    EXPECT_EQ(doc.title(), "old.ldr");
    EXPECT_TRUE(log.titles.empty());
    EXPECT_TRUE(log.recent.empty());
}

TEST_F(DocumentTest, AFileDamagedHalfWayLeavesNoneOfItsRecords) {
    SavedMarkedDiagram();
    // A good coil record, then a cell outside the grid.
    const std::string damaged = dir.file("damaged.ldr");
    std::ofstream(damaged, std::ios::binary) << "~VLM| 100r02 |97 9\n"
                                             << std::string{'\x05', '\x04', '\x16', '\x0B', '\x08'}
                                             << std::string{'\x05', '\x0C', '\x0D', '\xFF'};

    EXPECT_FALSE(doc.LoadDocument(prompts, damaged));
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{msg::FileCorrupt}));
    EXPECT_FALSE(Marked(doc.model()));
    EXPECT_EQ(doc.model().grid.at(5, 4).shape, ShapeEmpty);
    EXPECT_EQ(doc.model().grid.at(5, 4).element, ElementNone);
    EXPECT_EQ(doc.model().grid.at(5, 0).shape, KindCornerDownRight);
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_FALSE(doc.modified());
}

TEST_F(DocumentTest, SaveOfANewDiagramAsksForANameAndCancelWritesNothing) {
    Mark(doc.model());
    doc.SetModified(true);
    prompts.fileAnswers = {std::nullopt};
    EXPECT_FALSE(doc.SaveDocument(prompts));
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    const FileDialogRequest& request = prompts.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Guardar archivo fuente");
    EXPECT_EQ(request.presetName, "*.ldr");
    EXPECT_EQ(request.defaultExtension, "ldr");
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(request.directory, dir.path().string());
    EXPECT_EQ(request.filters.size(), 2u);

    EXPECT_TRUE(dir.empty());
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_TRUE(log.recent.empty());
    EXPECT_TRUE(log.titles.empty());
}

TEST_F(DocumentTest, SaveAsAddsTheExtensionAndTheDiagramReadsBack) {
    Mark(doc.model());
    doc.SetModified(true);
    prompts.fileAnswers = {dir.file("motor")};
    ASSERT_TRUE(doc.SaveDocumentAs(prompts));
    const std::string expected = dir.file("motor.ldr");
    EXPECT_EQ(doc.currentPath(), expected);
    EXPECT_EQ(doc.title(), "motor.ldr");
    EXPECT_EQ(log.titles, (std::vector<std::string>{"motor.ldr"}));
    EXPECT_EQ(log.recent, (std::vector<std::string>{expected}));
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(fs::exists(dir.file("motor")));

    ProgramModel back;
    ResetModel(back);
    ASSERT_TRUE(ReadSourceFile(back, expected).ok);
    EXPECT_TRUE(Marked(back));
}

TEST_F(DocumentTest, SaveAsToANewNameLeavesTheOldFileAndMovesOn) {
    SavedMarkedDiagram();
    prompts.fileAnswers = {dir.file("copy.ldr")};
    ASSERT_TRUE(doc.SaveDocumentAs(prompts));
    EXPECT_EQ(doc.currentPath(), dir.file("copy.ldr"));
    EXPECT_TRUE(fs::exists(dir.file("old.ldr")));
}

TEST_F(DocumentTest, SaveWithAPathWritesWithoutAsking) {
    const std::string path = SavedMarkedDiagram();
    doc.model().grid.at(7, 4).shape = KindVertical;
    doc.SetModified(true);
    ASSERT_TRUE(doc.SaveDocument(prompts));
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(log.titles, (std::vector<std::string>{"old.ldr"}));

    ProgramModel back;
    ResetModel(back);
    ASSERT_TRUE(ReadSourceFile(back, path).ok);
    EXPECT_EQ(back.grid.at(7, 4).shape, KindVertical);
}

TEST_F(DocumentTest, FailedSaveReportsAndStaysModified) {
    SavedMarkedDiagram();
    doc.SetModified(true);
    prompts.fileAnswers = {dir.file("no-such-folder/motor.ldr")};
    EXPECT_FALSE(doc.SaveDocumentAs(prompts));
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{"Error al abrir el archivo"}));
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.title(), "old.ldr");
    EXPECT_TRUE(log.titles.empty());
}

TEST(DocumentNames, TitleIsTheFileName) {
    EXPECT_EQ(Document::TitleFor("/home/ana/plc/motor.ldr"), "motor.ldr");
    EXPECT_EQ(Document::TitleFor("motor.ldr"), "motor.ldr");
    EXPECT_EQ(Document::WithSourceExtension("/a.b/motor"), "/a.b/motor.ldr");
    EXPECT_EQ(Document::WithSourceExtension("/a/motor.LDR"), "/a/motor.LDR");
}

}  // namespace
}  // namespace velmorin
