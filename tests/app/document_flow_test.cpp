#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>
#include <iterator>
#include <memory>

#include "app/CommandTable.h"
#include "app/QtPrompts.h"
#include "compiler/compiler.h"
#include "compiler/program_image.h"
#include "editor/ui/CVelmorinView.h"
#include "model/messages.h"
#include "shell_test_support.h"
#include "support/view_input.h"

namespace velmorin {
namespace {

using testing::ShellTest;

enum class Operation { New, Open, Recent, Close };

const char* const OperationNames[] = {"New", "Open", "Recent", "Close"};

QAction* RecentAction(CMainFrame& frame, int index) {
    for (QAction* action : frame.recentFileMenu()->actions()) {
        if (action->data().toInt() == cmd::RecentFile1 + index && action->isEnabled()) return action;
    }
    return nullptr;
}

class DocumentFlowTest : public ShellTest {
protected:
    // The edit every case starts from: a horizontal wire where no file has one.
    static void Edit(ProgramModel& model) { model.grid.at(3, 4).shape = KindHorizontal; }
    static bool Edited(const ProgramModel& model) { return model.grid.at(3, 4).shape == KindHorizontal; }

    void StartWithLoadedDiagram() {
        ASSERT_TRUE(Start());
        oldPath = WriteDiagram("old.ldr");
        otherPath = WriteDiagram("other.ldr", 9, 2);
        ASSERT_TRUE(doc().LoadDocument(QString::fromStdString(oldPath)));
        app->AddRecentFile(QString::fromStdString(otherPath));
        Edit(doc().model());
    }

    bool OldDiagramKept() {
        return Edited(doc().model()) && doc().currentPath().toStdString() == oldPath &&
               frame().windowTitle() == "old.ldr - velmorin";
    }

    std::string oldPath;
    std::string otherPath;
};

TEST_F(DocumentFlowTest, DiscardQuestionMatrix) {
    for (Operation operation : {Operation::New, Operation::Open, Operation::Recent, Operation::Close}) {
        for (bool modified : {false, true}) {
            for (bool yes : {false, true}) {
                if (!modified && !yes) continue;  // nothing is asked: one case is enough
                SCOPED_TRACE(::testing::Message() << OperationNames[static_cast<int>(operation)]
                                                  << " modified=" << modified << " yes=" << yes);
                prompts = {};
                testing::UsePrivateSettingsStore();
                StartWithLoadedDiagram();
                doc().SetModified(modified);
                if (modified) prompts.yesNoAnswers = {yes};
                const bool proceeds = !modified || yes;
                if (proceeds && operation == Operation::Open) prompts.fileAnswers = {otherPath};

                switch (operation) {
                    case Operation::New:
                        frame().action(cmd::FileNew)->trigger();
                        break;
                    case Operation::Open:
                        frame().action(cmd::FileOpen)->trigger();
                        break;
                    case Operation::Recent: {
                        QAction* recent = RecentAction(frame(), 0);
                        ASSERT_NE(recent, nullptr);
                        recent->trigger();
                        break;
                    }
                    case Operation::Close:
                        frame().close();
                        break;
                }

                ASSERT_EQ(prompts.questions.size(), modified ? 1u : 0u);
                if (modified) {
                    EXPECT_EQ(prompts.questions[0].text, "El diagrama fue editado. Descarta los cambios?");
                    EXPECT_EQ(prompts.questions[0].caption, "Descartar");
                }
                EXPECT_TRUE(prompts.AllAnswersUsed());
                if (!proceeds) {
                    EXPECT_TRUE(OldDiagramKept());
                    EXPECT_TRUE(doc().modified());
                    EXPECT_TRUE(frame().isVisible());
                    EXPECT_TRUE(prompts.fileRequests.empty());
                    // A refused close keeps running and writes no settings.
                    EXPECT_FALSE(app->settingsWritten());
                    EXPECT_TRUE(testing::Store().allKeys().isEmpty());
                    continue;
                }
                switch (operation) {
                    case Operation::New:
                        EXPECT_FALSE(Edited(doc().model()));
                        EXPECT_TRUE(doc().currentPath().isEmpty());
                        EXPECT_FALSE(doc().modified());
                        break;
                    case Operation::Open:
                    case Operation::Recent:
                        EXPECT_FALSE(Edited(doc().model()));
                        EXPECT_EQ(doc().model().grid.at(9, 2).shape, KindVertical);
                        EXPECT_EQ(doc().currentPath().toStdString(), otherPath);
                        EXPECT_EQ(frame().windowTitle(), "other.ldr - velmorin");
                        EXPECT_FALSE(doc().modified());
                        break;
                    case Operation::Close:
                        EXPECT_FALSE(frame().isVisible());
                        EXPECT_TRUE(app->settingsWritten());
                        EXPECT_EQ(testing::Store().value("Settings/CommPort").toInt(), 1);
                        break;
                }
                app.reset();
            }
        }
    }
}

TEST_F(DocumentFlowTest, OpenAnsweredYesThenCancelledKeepsTheOldDiagram) {
    StartWithLoadedDiagram();
    doc().SetModified(true);
    prompts.yesNoAnswers = {true};
    prompts.fileAnswers = {std::nullopt};
    frame().action(cmd::FileOpen)->trigger();
    EXPECT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_TRUE(OldDiagramKept());
    EXPECT_TRUE(doc().modified());
}

TEST_F(DocumentFlowTest, NewResetsTheViewAndTheMarkedCell) {
    StartWithLoadedDiagram();
    CVelmorinView& view = *frame().view();
    view.MarkCell({4, 7});
    view.resize(200, 200);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    ASSERT_GT(view.verticalScrollBar()->value(), 0);
    frame().action(cmd::FileNew)->trigger();
    EXPECT_EQ(view.markedCell(), (CellPos{-1, -1}));
    EXPECT_EQ(view.hoverCell(), (CellPos{1, 1}));
    EXPECT_EQ(view.previousHoverCell(), (CellPos{1, 1}));
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
}

TEST_F(DocumentFlowTest, SaveAsAddsTheExtensionAndUpdatesTitleAndRecentList) {
    ASSERT_TRUE(Start());
    Edit(doc().model());
    doc().SetModified(true);
    prompts.fileAnswers = {FilePath("motor")};
    frame().action(cmd::FileSaveAs)->trigger();
    const QString saved = files.filePath("motor.ldr");
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_FALSE(doc().modified());
    EXPECT_EQ(doc().currentPath(), saved);
    EXPECT_EQ(frame().windowTitle(), "motor.ldr - velmorin");
    QAction* recent = RecentAction(frame(), 0);
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->text().startsWith("&1 "));
    EXPECT_TRUE(recent->text().endsWith("motor.ldr"));
    EXPECT_EQ(RecentAction(frame(), 1), nullptr);
}

TEST_F(DocumentFlowTest, RecentEntriesSitBetweenPrintingAndExit) {
    ASSERT_TRUE(Start());
    const QList<QAction*> items = frame().recentFileMenu()->actions();
    auto position = [&](int id) {
        for (int i = 0; i < items.size(); ++i) {
            if (items[i]->data().toInt() == id) return i;
        }
        return -1;
    };
    const int placeholder = position(cmd::RecentFile1);
    ASSERT_GT(placeholder, 0);
    EXPECT_EQ(items[placeholder]->text(), "Archivo reciente");
    EXPECT_FALSE(items[placeholder]->isEnabled());
    EXPECT_TRUE(items[placeholder - 1]->isSeparator());
    EXPECT_TRUE(items[placeholder + 1]->isSeparator());
    // Printing and its exports, then the alias table, then the recent files.
    EXPECT_EQ(position(cmd::FilePrintSetup), placeholder - 7);
    EXPECT_EQ(position(cmd::FileExportPdf), placeholder - 6);
    EXPECT_EQ(position(cmd::FileExportDoc), placeholder - 5);
    EXPECT_TRUE(items[placeholder - 4]->isSeparator());
    EXPECT_EQ(position(cmd::FileExportAliases), placeholder - 3);
    EXPECT_EQ(position(cmd::FileImportAliases), placeholder - 2);
    EXPECT_EQ(position(cmd::AppExit), placeholder + 2);

    for (const char* name : {"a.ldr", "b.ldr", "c.ldr", "d.ldr", "e.ldr"}) {
        app->AddRecentFile(files.filePath(name));
    }
    ASSERT_NE(RecentAction(frame(), 3), nullptr);
    EXPECT_EQ(RecentAction(frame(), 4), nullptr);
    EXPECT_TRUE(RecentAction(frame(), 0)->text().endsWith("e.ldr"));
    EXPECT_TRUE(RecentAction(frame(), 3)->text().endsWith("b.ldr"));
    // Still in place: the last entry is followed by the separator and Exit.
    const QList<QAction*> after = frame().recentFileMenu()->actions();
    const int last = after.indexOf(RecentAction(frame(), 3));
    EXPECT_TRUE(after[last + 1]->isSeparator());
    EXPECT_EQ(after[last + 2]->data().toInt(), cmd::AppExit);
}

// A recent entry whose file has gone: the message names it, the window shows
// an untitled empty diagram (not the file before), and the entry leaves the list.
TEST_F(DocumentFlowTest, AFailedLoadLeavesAnUntitledDiagramAndDropsTheRecentEntry) {
    StartWithLoadedDiagram();
    doc().SetModified(false);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(otherPath)));
    QAction* recent = RecentAction(frame(), 0);
    ASSERT_NE(recent, nullptr);
    ASSERT_TRUE(recent->text().endsWith("other.ldr"));
    recent->trigger();
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{msg::FileOpenError}));
    EXPECT_EQ(prompts.details, (std::vector<std::string>{otherPath + ": No existe el fichero o el directorio"}));
    EXPECT_EQ(frame().windowTitle(), QString::fromUtf8("Sin título - velmorin"));
    EXPECT_TRUE(doc().currentPath().isEmpty());
    EXPECT_FALSE(Edited(doc().model()));
    ASSERT_NE(RecentAction(frame(), 0), nullptr);
    EXPECT_TRUE(RecentAction(frame(), 0)->text().endsWith("old.ldr"));
    EXPECT_EQ(RecentAction(frame(), 1), nullptr);
    EXPECT_EQ(app->recentFiles().entries(), (std::vector<std::string>{oldPath}));
}

TEST_F(DocumentFlowTest, AFileNamedOnTheCommandLineIsOpened) {
    const std::string path = WriteDiagram("start.ldr", 13, 6);
    StartOptions options;
    options.sourceFile = QString::fromStdString(path);
    ASSERT_TRUE(Start(options));
    EXPECT_EQ(doc().model().grid.at(13, 6).shape, KindVertical);
    EXPECT_EQ(doc().currentPath().toStdString(), path);
    EXPECT_EQ(frame().windowTitle(), "start.ldr - velmorin");
    EXPECT_FALSE(doc().modified());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DocumentFlowTest, AnUnreadableCommandLineFileEndsTheProgram) {
    StartOptions options;
    options.sourceFile = files.filePath("absent.ldr");
    EXPECT_FALSE(Start(options));
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{msg::FileOpenError}));
    // It never got far enough to have settings to write.
    app->ExitInstance();
    EXPECT_TRUE(testing::Store().allKeys().isEmpty());
}

// "Archivo > Abrir..." with a program image: its diagram opens without a
// file, saving it asks for a name (the image stays as it was), and an image
// no diagram compiles to opens nothing and says where it was lost.
TEST_F(DocumentFlowTest, AnImageOpensAsAnUntitledDiagramOrNotAtAll) {
    ASSERT_TRUE(Start());
    auto source = std::make_unique<ProgramModel>();
    ResetModel(*source);
    ASSERT_TRUE(ReadSourceFile(*source, VELMORIN_SOURCE_DIR "/examples/counter.ldr"));
    const CompileOutput compiled = Compile(*source);
    ASSERT_TRUE(compiled.finalImage);
    const std::string imagePath = FilePath("counter.bld");
    ASSERT_TRUE(WriteImageFile(imagePath, compiled.image, {1, 2, 2026}));
    CodeImage backwards;
    const uint8_t jumpBack[] = {0x06, 0x00, 0x11, 0x00, 0x0F};
    std::copy(std::begin(jumpBack), std::end(jumpBack), backwards.bytes.begin());
    backwards.codeLength = 5;
    const std::string badPath = FilePath("bad.bld");
    ASSERT_TRUE(WriteImageFile(badPath, backwards, {1, 2, 2026}));
    const QByteArray imageBytes = [&] {
        QFile file(QString::fromStdString(imagePath));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    prompts.fileAnswers = {imagePath};
    frame().action(cmd::FileOpen)->trigger();
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    QStringList filters = QtPrompts::NameFilters(prompts.fileRequests[0]);
    EXPECT_EQ(filters, (QStringList{"Fuente Ladder (*.ldr)", "Binario Ladder (*.bld)", "Todos los archivos (*.*)"}));
    EXPECT_TRUE(doc().currentPath().isEmpty());
    EXPECT_TRUE(doc().modified());
    EXPECT_EQ(frame().windowTitle(), QString::fromUtf8("Sin título - velmorin"));
    const CompileOutput again = Compile(doc().model());
    ASSERT_TRUE(again.finalImage);
    EXPECT_TRUE(std::equal(again.image.bytes.begin(), again.image.bytes.end(), compiled.image.bytes.begin()));
    EXPECT_EQ(again.image.codeLength, compiled.image.codeLength);

    // An edit taken back leaves it modified: no state of it was ever saved.
    CVelmorinView& view = *frame().view();
    frame().action(cmd::ToolHorizontal)->trigger();
    testing::MouseClick(view, testing::ViewPoint(view, 90, 4));
    ASSERT_TRUE(view.CanUndo());
    view.Undo();
    EXPECT_FALSE(view.CanUndo());
    EXPECT_TRUE(doc().modified());

    prompts.fileAnswers = {FilePath("recovered")};
    frame().action(cmd::FileSave)->trigger();
    ASSERT_EQ(prompts.fileRequests.size(), 2u);
    EXPECT_TRUE(prompts.fileRequests[1].save);
    EXPECT_EQ(doc().currentPath().toStdString(), FilePath("recovered.ldr"));
    EXPECT_FALSE(doc().modified());
    QFile image(QString::fromStdString(imagePath));
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    EXPECT_EQ(image.readAll(), imageBytes);

    prompts.fileAnswers = {badPath};
    frame().action(cmd::FileOpen)->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "No se pudo reconstruir el diagrama");
    EXPECT_EQ(prompts.details[0], "dirección 02: salto hacia atrás");
    ASSERT_EQ(prompts.listings.size(), 1u);
    EXPECT_NE(prompts.listings[0].find("jp1"), std::string::npos);
    EXPECT_EQ(doc().currentPath().toStdString(), FilePath("recovered.ldr"));
    EXPECT_FALSE(doc().modified());
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

}  // namespace
}  // namespace velmorin
