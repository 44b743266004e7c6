#include "compiler/ui/CompileDialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "../support/model_builders.h"
#include "../support/scripted_prompts.h"
#include "compiler/compile_outputs.h"
#include "model/ladder_model.h"

namespace velmorin {
namespace {

using testing::E1;
using testing::PutElement;
using testing::PutEnd;
using testing::PutRung;
using testing::S1;

// Runs the event loop until `done` holds; false when it never did.
template <typename Condition>
bool WaitFor(Condition done, int milliseconds = 10000) {
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

class CompileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        source = folder.filePath("prog.ldr").toStdString();
    }
    bool Exists(const char* name) const { return QFileInfo::exists(folder.filePath(name)); }
    // Starts the box on the test's source and waits until the worker has reported its end.
    void RunToEnd(CompileDialog& dialog) {
        ASSERT_TRUE(dialog.Start(source, prompts));
        ASSERT_TRUE(WaitFor([&] { return dialog.button()->text() != "Cancelar"; }));
    }

    QTemporaryDir folder;
    std::unique_ptr<ProgramModel> model;
    std::string source;
    testing::ScriptedPrompts prompts;
};

TEST_F(CompileDialogTest, CleanProgramEndsWithMemoryLengthAndAceptar) {
    PutRung(*model, 1);
    PutEnd(*model, 1);
    CompileDialog dialog(*model);
    EXPECT_EQ(dialog.windowTitle(), "Compilando...");
    QStringList progress;
    QObject::connect(dialog.progressField(), &QLineEdit::textChanged,
                     [&progress](const QString& text) { progress << text; });
    ASSERT_TRUE(dialog.Start(source, prompts));
    dialog.show();
    // Nothing reaches the widgets before the GUI thread handles its events.
    EXPECT_EQ(dialog.button()->text(), "Cancelar");
    EXPECT_EQ(dialog.progressLabel()->text(), "Progreso");
    EXPECT_EQ(dialog.progressField()->text(), "0");

    ASSERT_TRUE(WaitFor([&] { return dialog.button()->text() != "Cancelar"; }));
    EXPECT_EQ(dialog.button()->text(), "Aceptar");
    EXPECT_EQ(dialog.errorsField()->text(), "0");
    EXPECT_EQ(dialog.warningsField()->text(), "0");
    EXPECT_EQ(dialog.progressLabel()->text(), "memoria");
    dialog.WaitForWorker();
    const int codeLength = dialog.run().output.image.codeLength;
    ASSERT_GT(codeLength, 0);
    EXPECT_EQ(dialog.progressField()->text(), QString("%1").arg(codeLength, 4, 10, QLatin1Char('0')));
    EXPECT_TRUE(Exists("prog.prg"));
    EXPECT_TRUE(Exists("prog.bld"));

    // The reports arrived in the worker's order: wire pass rows, blocks, length.
    ASSERT_FALSE(progress.isEmpty());
    const qsizetype lastRow = progress.indexOf("0-0-96");
    const qsizetype firstBlock = progress.indexOf("1-00-01");
    ASSERT_GE(lastRow, 0);
    ASSERT_GE(firstBlock, 0);
    EXPECT_LT(progress.indexOf("0-0-00"), lastRow);
    EXPECT_LT(lastRow, firstBlock);
    EXPECT_EQ(progress.last(), dialog.progressField()->text());

    dialog.button()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.cancelRequested());
    EXPECT_TRUE(dialog.run().output.finalImage);
}

TEST_F(CompileDialogTest, WarningsOnlyReachMemoryAndOfferTheList) {
    PutRung(*model, 1);  // no END: the last instruction is not END or RJP
    CompileDialog dialog(*model);
    ASSERT_NO_FATAL_FAILURE(RunToEnd(dialog));
    EXPECT_EQ(dialog.button()->text(), "Ver Errores");
    EXPECT_EQ(dialog.errorsField()->text(), "0");
    dialog.WaitForWorker();
    EXPECT_EQ(dialog.warningsField()->text(), QString::number(dialog.run().output.warningCount));
    EXPECT_GE(dialog.run().output.warningCount, 1);
    EXPECT_EQ(dialog.progressLabel()->text(), "memoria");
}

TEST_F(CompileDialogTest, ErrorsKeepTheProgressLabelAndOfferTheList) {
    // Every row of every block a rung: far more than 256 bytes of code.
    for (int row = 1; row < GridRows; ++row) {
        PutRung(*model, row);
    }
    CompileDialog dialog(*model);
    ASSERT_NO_FATAL_FAILURE(RunToEnd(dialog));
    EXPECT_EQ(dialog.button()->text(), "Ver Errores");
    dialog.WaitForWorker();
    ASSERT_GE(dialog.run().output.errorCount, 1);
    EXPECT_EQ(dialog.errorsField()->text(), QString::number(dialog.run().output.errorCount));
    EXPECT_EQ(dialog.progressLabel()->text(), "Progreso");
}

TEST_F(CompileDialogTest, RunCompileDialogReturnsWhatTheCompilationCameTo) {
    PutRung(*model, 1);
    PutEnd(*model, 1);
    QString captionAtClose;
    // Inside the modal loop: wait for the end, then press the button.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CompileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(WaitFor([&] { return dialog->button()->text() != "Cancelar"; }));
        captionAtClose = dialog->button()->text();
        dialog->button()->click();
    });
    const CompileRun run = RunCompileDialog(nullptr, *model, source, prompts);
    EXPECT_EQ(run.result, CompileResult::Clean);
    EXPECT_EQ(captionAtClose, "Aceptar");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(run.output.finalImage);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A long program so that the worker is still busy when the button is pressed.
void PutLongProgram(ProgramModel& model) {
    for (int block = 0; block < BlockCount; ++block) {
        PutRung(model, BlockFirstRow(block));
        PutRung(model, BlockFirstRow(block) + 2);
    }
}

TEST_F(CompileDialogTest, PressingTheButtonWhileRunningCancels) {
    PutLongProgram(*model);
    int cancelledRuns = 0;
    for (int attempt = 0; attempt < 20 && cancelledRuns == 0; ++attempt) {
        QFile::remove(folder.filePath("prog.bld"));
        QString captionAfter;
        bool cancelRequested = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CompileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->button()->click();
            captionAfter = dialog->button()->text();
            cancelRequested = dialog->cancelRequested();
        });
        const CompileRun run = RunCompileDialog(nullptr, *model, source, prompts);
        const CompileResult result = run.result;
        // The box asked its worker to stop, and waited for it.
        EXPECT_TRUE(cancelRequested);
        // A press that came after the end reports the finished compilation.
        EXPECT_EQ(result == CompileResult::Cancelled, run.output.cancelled);
        if (run.output.cancelled) {
            ++cancelledRuns;
            EXPECT_FALSE(run.output.finalImage);
            EXPECT_FALSE(Exists("prog.bld"));
            EXPECT_EQ(captionAfter, "Cancelar");
        }
    }
    EXPECT_GE(cancelledRuns, 1);
}

TEST_F(CompileDialogTest, DestroyingTheBoxStopsAndAwaitsTheWorker) {
    PutLongProgram(*model);
    {
        CompileDialog dialog(*model);
        ASSERT_TRUE(dialog.Start(source, prompts));
        EXPECT_TRUE(dialog.WorkerRunning() || QFileInfo::exists(folder.filePath("prog.prg")));
    }
    // Any report still queued went with the box; none arrives later.
    QApplication::processEvents();
    // The model is free for the next compilation.
    PutEnd(*model, 23);
    CompileDialog again(*model);
    ASSERT_NO_FATAL_FAILURE(RunToEnd(again));
}

}  // namespace
}  // namespace velmorin
