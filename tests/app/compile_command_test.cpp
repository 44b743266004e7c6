// The compile command as the frame routes it: save first when there is no
// file, then the compile dialog, then the error list and the send dialog as
// the compilation's result says, and the command panel after a good send.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include "../support/model_builders.h"
#include "app/CommandTable.h"
#include "compiler/compiler.h"
#include "compiler/ui/CompileDialog.h"
#include "model/messages.h"
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

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CompileCommandTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
    }

    void SaveAs(const QString& name) {
        prompts.fileAnswers = {FilePath(name)};
        ASSERT_TRUE(doc().SaveDocumentAs());
    }

    // The real compile box, pressed as soon as its compilation has ended.
    void UseTheRealCompileBox() {
        dialogs.compileRunner = [this](const std::string& path) {
            QDeadlineTimer deadline(20000);
            QTimer presser;
            QObject::connect(&presser, &QTimer::timeout, [&] {
                auto* box = qobject_cast<CompileDialog*>(QApplication::activeModalWidget());
                if (box && (box->button()->text() != "Cancelar" || deadline.hasExpired())) box->button()->click();
            });
            presser.start(10);
            return app->KeepCompilation(RunCompileDialog(&frame(), doc().model(), path, prompts));
        };
    }

    void Compile() { frame().action(cmd::Compile)->trigger(); }
};

TEST_F(CompileCommandTest, WithoutAPathTheSaveDialogComesFirst) {
    PutProgram(doc().model(), true);
    // Cancelled: nothing is compiled, written or opened.
    prompts.fileAnswers = {std::nullopt};
    Compile();
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Guardar archivo fuente");
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_TRUE(QDir(files.path()).isEmpty());
    // A name chosen: the saved file is the one compiled.
    prompts.fileAnswers = {FilePath("motor")};
    dialogs.compileResults = {CompileResult::Cancelled};
    Compile();
    EXPECT_EQ(dialogs.compiledPaths, (std::vector<std::string>{FilePath("motor.ldr")}));
    EXPECT_TRUE(QFile::exists(files.filePath("motor.ldr")));
}

TEST_F(CompileCommandTest, EachResultOpensWhatFollowsIt) {
    SaveAs("motor.ldr");
    const struct {
        CompileResult result;
        bool sent;
        std::vector<std::string> opened;
    } cases[] = {
        {CompileResult::Clean, false, {"compile", "send"}},
        {CompileResult::Clean, true, {"compile", "send", "commands"}},
        {CompileResult::Warnings, true, {"compile", "errorList", "send", "commands"}},
        {CompileResult::Errors, true, {"compile", "errorList"}},
        {CompileResult::NotWritten, true, {"compile"}},
        {CompileResult::Cancelled, true, {"compile"}},
        {CompileResult::NothingToCompile, true, {"compile"}},
        {CompileResult::Refused, true, {"compile"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.result));
        dialogs.opened.clear();
        dialogs.compileResults = {c.result};
        dialogs.sendResults = {c.sent};
        Compile();
        EXPECT_EQ(dialogs.opened, c.opened);
    }
}

TEST_F(CompileCommandTest, AnEditedDiagramIsCompiledFromMemoryWithoutSaving) {
    SaveAs("motor.ldr");
    const QByteArray saved = Slurp(files.filePath("motor.ldr"));
    PutProgram(doc().model(), true);
    doc().SetModified(true);
    UseTheRealCompileBox();
    Compile();
    EXPECT_TRUE(doc().modified());
    EXPECT_EQ(Slurp(files.filePath("motor.ldr")), saved);
    EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"compile", "send"}));
    EXPECT_TRUE(app->lastCompile().output.finalImage);
    EXPECT_TRUE(QFile::exists(files.filePath("motor.bld")));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(CompileCommandTest, AnEmptyDiagramStopsAtTheCompileBox) {
    SaveAs("empty.ldr");
    UseTheRealCompileBox();
    Compile();
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{"No hay elementos para compilar"}));
    EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"compile"}));
    EXPECT_FALSE(QFile::exists(files.filePath("empty.prg")));
    EXPECT_FALSE(QFile::exists(files.filePath("empty.bld")));
}

// A source saved under the listing's or the image's name would be replaced by
// its own output.
TEST_F(CompileCommandTest, ASourceNamedLikeAnOutputIsNotOverwritten) {
    PutProgram(doc().model(), true);
    UseTheRealCompileBox();
    for (const char* name : {"q.prg", "q.bld"}) {
        SCOPED_TRACE(name);
        prompts.messages.clear();
        prompts.details.clear();
        dialogs.opened.clear();
        SaveAs(name);
        const QByteArray source = Slurp(files.filePath(name));
        Compile();
        EXPECT_EQ(prompts.messages, (std::vector<std::string>{msg::FileOpenError}));
        ASSERT_EQ(prompts.details.size(), 1u);
        EXPECT_NE(prompts.details[0].find(FilePath(name)), std::string::npos) << prompts.details[0];
        EXPECT_EQ(Slurp(files.filePath(name)), source);
        EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"compile"}));
        EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        QFile::remove(files.filePath(name));
    }
}

// The image cannot take the place of a folder of the same name: the box
// still shows the compilation, then the failure naming the file, and the
// send dialog does not follow. The image in memory is the compiled one; the
// listing, which describes that image, is not written without it.
TEST_F(CompileCommandTest, AnImageThatCannotBeWrittenIsReportedAndNotSent) {
    PutProgram(doc().model(), true);
    SaveAs("motor.ldr");
    ASSERT_TRUE(QDir(files.path()).mkdir("motor.bld"));
    UseTheRealCompileBox();
    Compile();
    EXPECT_EQ(app->lastCompile().result, CompileResult::NotWritten);
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{msg::FileOpenError}));
    EXPECT_EQ(prompts.details, (std::vector<std::string>{FilePath("motor.bld") + ": Es un directorio"}));
    EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"compile"}));
    EXPECT_TRUE(app->lastCompile().output.finalImage);
    EXPECT_GT(app->lastCompile().output.image.codeLength, 0);
    EXPECT_FALSE(QFile::exists(files.filePath("motor.prg")));
}

}  // namespace
}  // namespace velmorin
