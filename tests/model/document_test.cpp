#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
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
using Strings = std::vector<std::string>;

// A horizontal wire in an element column marks "the old diagram".
bool Marked(const ProgramModel& model) { return model.grid.at(2, 3).shape == KindHorizontal; }
void Mark(ProgramModel& model) { model.grid.at(2, 3).shape = KindHorizontal; }

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmorin-doc-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        DocumentHooks hooks;
        hooks.titleChanged = [this](const std::string& title) { titles.push_back(title); };
        hooks.recentFileAdded = [this](const std::string& path) { recent.push_back(path); };
        hooks.loadFailed = [this](const std::string& path) { failed.push_back(path); };
        hooks.viewReset = [this] { events.push_back("view"); };
        hooks.monitorCleared = [this] { events.push_back("monitor"); };
        hooks.markedCellCleared = [this] { events.push_back("marked"); };
        hooks.diagnosticsCleared = [this] { events.push_back("diagnostics"); };
        hooks.redrawRequested = [this] { events.push_back("redraw"); };
        doc.SetHooks(hooks);
        doc.SetStartDirectory(dir.string());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string File(const std::string& name) const { return (dir / name).string(); }

    // A saved diagram with the mark: `doc` holds it, unmodified, with a path.
    std::string SavedMarkedDiagram() {
        Mark(doc.model());
        ScriptedPrompts save;
        save.fileAnswers.push_back(File("old.ldr"));
        EXPECT_TRUE(doc.SaveDocumentAs(save));
        events.clear();
        titles.clear();
        recent.clear();
        failed.clear();
        return File("old.ldr");
    }

    // A second source file on disk, without the mark.
    std::string OtherDiagram() {
        ProgramModel other;
        ResetModel(other);
        other.grid.at(5, 1).shape = KindVertical;
        EXPECT_TRUE(WriteSourceFile(other, File("other.ldr")).ok);
        return File("other.ldr");
    }

    void ExpectOldDiagramKept(const std::string& path) const {
        EXPECT_TRUE(Marked(doc.model()));
        EXPECT_EQ(doc.currentPath(), path);
        EXPECT_EQ(doc.title(), "old.ldr");
        EXPECT_TRUE(doc.modified());
        EXPECT_TRUE(events.empty());
        EXPECT_TRUE(titles.empty());
        EXPECT_TRUE(recent.empty());
    }

    void ExpectSourceFileDialog(const FileDialogRequest& request, bool save, const std::string& title) const {
        EXPECT_EQ(request.save, save);
        EXPECT_EQ(request.title, title);
        ASSERT_EQ(request.filters.size(), 2u);
        EXPECT_EQ(request.filters[0].name, "Fuente Ladder");
        EXPECT_EQ(request.filters[0].pattern, "*.ldr");
        EXPECT_EQ(request.filters[1].name, "Todos los archivos");
        EXPECT_EQ(request.filters[1].pattern, "*.*");
        EXPECT_EQ(request.presetName, "*.ldr");
        EXPECT_EQ(request.directory, dir.string());
    }

    fs::path dir;
    Document doc;
    Strings events, titles, recent, failed;
    ScriptedPrompts prompts;
};

TEST_F(DocumentTest, StartsResetAndUnnamedAndAsksToDiscardOnlyWhenModified) {
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_TRUE(doc.title().empty());
    EXPECT_EQ(doc.model().grid.at(1, 0).shape, KindCornerDownRight);
    EXPECT_EQ(doc.model().grid.at(1, 9).shape, KindCornerDownLeft);
    EXPECT_FALSE(doc.modified());
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
    EXPECT_EQ(events, (Strings{"view", "monitor", "marked", "diagnostics"}));
}

TEST_F(DocumentTest, AnsweringNoToTheDiscardQuestionChangesNothing) {
    const std::string path = SavedMarkedDiagram();
    const std::string other = OtherDiagram();
    doc.SetModified(true);
    prompts.yesNoAnswers = {false, false, false};
    EXPECT_FALSE(doc.NewDocument(prompts));
    ExpectOldDiagramKept(path);
    EXPECT_FALSE(doc.OpenDocument(prompts));
    EXPECT_TRUE(prompts.fileRequests.empty());
    ExpectOldDiagramKept(path);
    EXPECT_FALSE(doc.LoadDocument(prompts, other));  // from the recent list
    ExpectOldDiagramKept(path);
    EXPECT_EQ(prompts.questions.size(), 3u);
}

TEST_F(DocumentTest, OpenAnsweredYesThenCancelledKeepsTheOldDiagram) {
    const std::string path = SavedMarkedDiagram();
    doc.SetModified(true);
    prompts.yesNoAnswers = {true};
    prompts.fileAnswers = {std::nullopt};
    EXPECT_FALSE(doc.OpenDocument(prompts));
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    ExpectSourceFileDialog(prompts.fileRequests[0], false, "Abrir archivo fuente");
    ExpectOldDiagramKept(path);
}

TEST_F(DocumentTest, AnsweringYesAsksOnceAndGoesAhead) {
    const std::string path = SavedMarkedDiagram();
    const std::string other = OtherDiagram();
    doc.SetModified(true);
    prompts.yesNoAnswers = {true};
    prompts.fileAnswers = {other};
    ASSERT_TRUE(doc.OpenDocument(prompts));
    EXPECT_FALSE(Marked(doc.model()));
    EXPECT_EQ(doc.model().grid.at(5, 1).shape, KindVertical);
    EXPECT_EQ(doc.currentPath(), other);
    EXPECT_FALSE(doc.modified());

    doc.SetModified(true);
    prompts.yesNoAnswers = {true};
    ASSERT_TRUE(doc.NewDocument(prompts));
    EXPECT_EQ(doc.model().grid.at(5, 1).shape, ShapeEmpty);
    EXPECT_FALSE(doc.modified());

    doc.SetModified(true);
    prompts.yesNoAnswers = {true};
    ASSERT_TRUE(doc.LoadDocument(prompts, path));
    EXPECT_TRUE(Marked(doc.model()));
    EXPECT_EQ(doc.currentPath(), path);
    // One question each: the load after Open's question does not ask again.
    EXPECT_EQ(prompts.questions.size(), 3u);
}

// A recovered diagram opens like a new one that was already edited: no file,
// no title, the monitors and marks of the old one gone, modified; with the
// old diagram edited, only after Yes.
TEST_F(DocumentTest, UntitledDiagramOpensModifiedWithoutPathAfterTheDiscardQuestion) {
    SavedMarkedDiagram();
    auto recovered = std::make_unique<ProgramModel>();
    ResetModel(*recovered);
    recovered->grid.at(5, 1).shape = KindVertical;
    doc.SetModified(true);
    prompts.yesNoAnswers = {false, true};
    EXPECT_FALSE(doc.OpenUntitled(prompts, *recovered));
    EXPECT_TRUE(Marked(doc.model()));
    EXPECT_TRUE(events.empty());
    ASSERT_TRUE(doc.OpenUntitled(prompts, *recovered));
    EXPECT_FALSE(Marked(doc.model()));
    EXPECT_EQ(doc.model().grid.at(5, 1).shape, KindVertical);
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_TRUE(doc.title().empty());
    EXPECT_EQ(titles, (Strings{""}));
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(events, (Strings{"view", "monitor", "marked", "diagnostics", "redraw"}));
}

TEST_F(DocumentTest, SuccessfulLoadSetsTitlePathAndRecentList) {
    std::string other = OtherDiagram();
    // A cell stored while its erasure was pending opens empty.
    ProgramModel stored;
    ASSERT_TRUE(ReadSourceFile(stored, other).ok);
    stored.grid.at(6, 2) = {KindBlank, ElementOut, {{{8, 0}}}};
    ASSERT_TRUE(WriteSourceFile(stored, other).ok);
    ASSERT_TRUE(doc.LoadDocument(prompts, other));
    EXPECT_EQ(doc.model().grid.at(5, 1).shape, KindVertical);
    EXPECT_EQ(doc.model().grid.at(6, 2).shape, ShapeEmpty);
    EXPECT_EQ(doc.model().grid.at(6, 2).element, ElementNone);
    EXPECT_EQ(doc.model().grid.at(6, 2).params[0][0], Unchosen);
    EXPECT_EQ(doc.title(), "other.ldr");
    EXPECT_EQ(titles, (Strings{"other.ldr"}));
    EXPECT_EQ(recent, (Strings{other}));
    EXPECT_EQ(doc.currentPath(), other);
    EXPECT_FALSE(doc.modified());
    // Reset first, the new diagram drawn last.
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "view");
    EXPECT_EQ(events.back(), "redraw");
}

// Whatever the reason, a failed load leaves an untitled empty diagram (not
// the name of the file before), and names the file on the message's detail
// line, with the system's reason when there is one.
TEST_F(DocumentTest, FailedLoadLeavesAResetUntitledDiagramWithoutPath) {
    // Not a source file at all; a good coil record followed by a cell outside the grid; no file.
    std::ofstream(File("bogus.ldr")) << "not a ladder source\n";
    std::ofstream(File("damaged.ldr"), std::ios::binary)
        << "~VLM| 100r02 |97 9\n"
        << std::string{'\x05', '\x04', '\x16', '\x0B', '\x08', '\x05', '\x0C', '\x0D', '\xFF'};
    const struct {
        const char* name;
        const char* message;
        const char* reason;
    } cases[] = {
        {"bogus.ldr", msg::NotSourceFile, ""},
        {"damaged.ldr", msg::FileCorrupt, ""},
        {"absent.ldr", msg::FileOpenError, ": No existe el fichero o el directorio"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SavedMarkedDiagram();
        prompts = {};
        EXPECT_FALSE(doc.LoadDocument(prompts, File(c.name)));
        EXPECT_EQ(prompts.messages, (Strings{c.message}));
        EXPECT_EQ(prompts.details, (Strings{File(c.name) + c.reason}));
        EXPECT_FALSE(Marked(doc.model()));
        EXPECT_EQ(doc.model().grid.at(5, 4).shape, ShapeEmpty);  // none of the records read before the damage
        EXPECT_EQ(doc.model().grid.at(5, 4).element, ElementNone);
        EXPECT_EQ(doc.model().grid.at(5, 0).shape, KindCornerDownRight);
        EXPECT_TRUE(doc.currentPath().empty());
        EXPECT_FALSE(doc.modified());
        EXPECT_EQ(doc.title(), "");
        EXPECT_EQ(titles, (Strings{""}));
        EXPECT_TRUE(recent.empty());
        EXPECT_EQ(failed, (Strings{File(c.name)}));
        failed.clear();
    }
}

TEST_F(DocumentTest, SaveOfANewDiagramAsksForANameAndCancelWritesNothing) {
    Mark(doc.model());
    doc.SetModified(true);
    prompts.fileAnswers = {std::nullopt};
    EXPECT_FALSE(doc.SaveDocument(prompts));
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    const FileDialogRequest& request = prompts.fileRequests[0];
    ExpectSourceFileDialog(request, true, "Guardar archivo fuente");
    EXPECT_EQ(request.defaultExtension, "ldr");
    EXPECT_TRUE(request.confirmOverwrite);

    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(doc.currentPath().empty());
    EXPECT_TRUE(recent.empty());
    EXPECT_TRUE(titles.empty());
}

TEST_F(DocumentTest, SaveAsAddsTheExtensionAndTheDiagramReadsBack) {
    Mark(doc.model());
    doc.SetModified(true);
    prompts.fileAnswers = {File("motor")};
    ASSERT_TRUE(doc.SaveDocumentAs(prompts));
    const std::string expected = File("motor.ldr");
    EXPECT_EQ(doc.currentPath(), expected);
    EXPECT_EQ(doc.title(), "motor.ldr");
    EXPECT_EQ(titles, (Strings{"motor.ldr"}));
    EXPECT_EQ(recent, (Strings{expected}));
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(fs::exists(File("motor")));

    ProgramModel back;
    ResetModel(back);
    ASSERT_TRUE(ReadSourceFile(back, expected).ok);
    EXPECT_TRUE(Marked(back));
}

TEST_F(DocumentTest, SaveWithAPathWritesWithoutAskingAndSaveAsMovesOn) {
    const std::string path = SavedMarkedDiagram();
    doc.model().grid.at(7, 4).shape = KindVertical;
    doc.SetModified(true);
    ASSERT_TRUE(doc.SaveDocument(prompts));
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_FALSE(doc.modified());
    EXPECT_EQ(titles, (Strings{"old.ldr"}));
    ProgramModel back;
    ResetModel(back);
    ASSERT_TRUE(ReadSourceFile(back, path).ok);
    EXPECT_EQ(back.grid.at(7, 4).shape, KindVertical);

    // A new name becomes the document's path; the old file stays.
    prompts.fileAnswers = {File("copy.ldr")};
    ASSERT_TRUE(doc.SaveDocumentAs(prompts));
    EXPECT_EQ(doc.currentPath(), File("copy.ldr"));
    EXPECT_TRUE(fs::exists(path));
}

TEST_F(DocumentTest, FailedSaveReportsAndStaysModified) {
    SavedMarkedDiagram();
    doc.SetModified(true);
    prompts.fileAnswers = {File("no-such-folder/motor.ldr")};
    EXPECT_FALSE(doc.SaveDocumentAs(prompts));
    EXPECT_EQ(prompts.messages, (Strings{"Error al abrir el archivo"}));
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.title(), "old.ldr");
    EXPECT_TRUE(titles.empty());
}

TEST(DocumentNames, TitleIsTheFileName) {
    EXPECT_EQ(Document::TitleFor("/home/ana/plc/motor.ldr"), "motor.ldr");
    EXPECT_EQ(Document::TitleFor("motor.ldr"), "motor.ldr");
    EXPECT_EQ(Document::WithSourceExtension("/a.b/motor"), "/a.b/motor.ldr");
    EXPECT_EQ(Document::WithSourceExtension("/a/motor.LDR"), "/a/motor.LDR");
}

}  // namespace
}  // namespace velmorin
