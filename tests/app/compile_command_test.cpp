#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/CommandTable.h"
#include "compiler/compiler.h"
#include "compiler/ui/CompileDialog.h"
#include "model/messages.h"
#include "../support/model_builders.h"
#include "shell_test_support.h"

namespace velmorin {
namespace {

using testing::ShellTest;

using testing::PutEnd;
using testing::PutRung;

// ld e1 ──── out s1 in block 0; with `end`, END closes the program in block 1.
void PutProgram(ProgramModel& model, bool end) {
    PutRung(model, 1);
    if (end) PutEnd(model, 1);
}

// The compile box's opening steps and the worker's run, on this thread.
int CompileInPlace(QWidget*, Compiler& compiler, ProgramModel& model, const std::string& path, Prompts& prompts) {
    if (compiler.Prepare(model, path) == PrepareOutcome::NothingToCompile) {
        prompts.ShowMessage(msg::NothingToCompile);
        return CompileDialog::NothingToCompile;
    }
    compiler.Run(model, {});
    return 0;
}

class CompileCommandTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
        FrameDialogs& dialogs = frame().dialogs();
        dialogs.errorList = [this] { opened.push_back("errorList"); };
        dialogs.send = [this] { opened.push_back("send"); };
        dialogs.commands = [this] { opened.push_back("commands"); };
    }

    void SaveAs(const QString& name) {
        prompts.fileAnswers = {FilePath(name)};
        ASSERT_TRUE(doc().SaveDocumentAs());
    }

    void Compile() { frame().action(cmd::Compile)->trigger(); }

    std::vector<std::string> opened;
    std::vector<std::string> compiledPaths;
};

TEST_F(CompileCommandTest, WithoutAPathTheSaveDialogComesFirst) {
    PutProgram(doc().model(), true);
    frame().dialogs().compile = [this](QWidget*, Compiler&, ProgramModel&, const std::string& path, Prompts&) {
        compiledPaths.push_back(path);
        return 0;
    };
    // Cancelled: nothing is compiled, written or opened.
    prompts.fileAnswers = {std::nullopt};
    Compile();
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Guardar archivo fuente");
    EXPECT_TRUE(compiledPaths.empty());
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(QDir(files.path()).isEmpty());
    // A name chosen: the saved file is the one compiled.
    prompts.fileAnswers = {FilePath("motor")};
    Compile();
    EXPECT_EQ(compiledPaths, (std::vector<std::string>{FilePath("motor.ldr")}));
    EXPECT_TRUE(QFile::exists(files.filePath("motor.ldr")));
}

TEST_F(CompileCommandTest, AnEditedDiagramIsCompiledFromMemoryWithoutSaving) {
    SaveAs("motor.ldr");
    PutProgram(doc().model(), true);
    doc().SetModified(true);
    frame().dialogs().compile = CompileInPlace;
    Compile();
    EXPECT_TRUE(doc().modified());
    EXPECT_EQ(opened, (std::vector<std::string>{"send"}));
    EXPECT_TRUE(app->compiler().hasFinalImage());
    EXPECT_TRUE(QFile::exists(files.filePath("motor.bld")));
}

TEST_F(CompileCommandTest, WarningsShowTheErrorListBeforeTheSendDialog) {
    PutProgram(doc().model(), false);
    SaveAs("motor.ldr");
    frame().dialogs().compile = CompileInPlace;
    Compile();
    ASSERT_EQ(app->compiler().errorCount(), 0);
    ASSERT_GT(app->compiler().warningCount(), 0);
    EXPECT_EQ(opened, (std::vector<std::string>{"errorList", "send"}));
}

TEST_F(CompileCommandTest, ACancelledCompilationOpensNothing) {
    PutProgram(doc().model(), true);
    SaveAs("motor.ldr");
    frame().dialogs().compile = [](QWidget*, Compiler& compiler, ProgramModel& model, const std::string& path,
                                   Prompts&) {
        compiler.Prepare(model, path);
        compiler.cancelFlag() = true;
        compiler.Run(model, {});
        return 0;
    };
    Compile();
    ASSERT_TRUE(app->compiler().cancelled());
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(QFile::exists(files.filePath("motor.bld")));
}

TEST_F(CompileCommandTest, AnEmptyDiagramStopsAtTheCompileBox) {
    SaveAs("empty.ldr");
    // The real compile box: it refuses before it is ever shown.
    Compile();
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{"No hay elementos para compilar"}));
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(QFile::exists(files.filePath("empty.prg")));
    EXPECT_FALSE(QFile::exists(files.filePath("empty.bld")));
}

TEST_F(CompileCommandTest, TheRealCompileBoxLeadsToTheSendDialog) {
    PutProgram(doc().model(), true);
    SaveAs("motor.ldr");
    // Presses the box's button once the compilation has finished.
    QDeadlineTimer deadline(20000);
    bool pressed = false;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<CompileDialog*>(widget);
            if (!box || !box->isVisible()) continue;
            if (box->button()->text() == "Aceptar" || deadline.hasExpired()) {
                pressed = box->button()->text() == "Aceptar";
                box->button()->click();
            }
        }
    });
    presser.start(10);
    Compile();
    presser.stop();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(opened, (std::vector<std::string>{"send"}));
    EXPECT_TRUE(QFile::exists(files.filePath("motor.bld")));
}

TEST(CompileFollowUp, WhatOpensAfterTheCompileBox) {
    using F = CompileFollowUp;
    auto next = [](int result, int errors, int warnings, bool cancelled) {
        return CMainFrame::FollowUpAfterCompile(result, {errors, warnings, cancelled});
    };
    EXPECT_EQ(next(0, 0, 0, false), (F{false, true}));
    EXPECT_EQ(next(0, 0, 3, false), (F{true, true}));
    EXPECT_EQ(next(0, 2, 0, false), (F{true, false}));
    EXPECT_EQ(next(0, 2, 5, false), (F{true, false}));
    EXPECT_EQ(next(255, 0, 0, false), (F{false, false}));
    EXPECT_EQ(next(0, 0, 0, true), (F{false, false}));
    EXPECT_EQ(next(0, 1, 1, true), (F{false, false}));
}

}  // namespace
}  // namespace velmorin
