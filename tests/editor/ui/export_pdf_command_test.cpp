// "Exportar PDF..." from the Archivo menu, with scripted answers.
#include <gtest/gtest.h>
#include <QFile>

#include "../../app/shell_test_support.h"
#include "../../support/model_builders.h"
#include "app/CommandTable.h"

namespace velmorin::testing {
namespace {

using ExportPdfCommandTest = ShellTest;

TEST_F(ExportPdfCommandTest, WritesThePagesWhereTheUserSaysAndReportsAFailure) {
    ASSERT_TRUE(Start());
    PutRung(doc().model(), 30);  // three pages
    prompts.fileAnswers = {FilePath("diagrama"), FilePath("no/such/folder/x.pdf"), std::nullopt};

    QAction* command = frame().action(cmd::FileExportPdf);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), "&Exportar PDF...");
    command->trigger();
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    const FileDialogRequest& request = prompts.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.presetName, "*.pdf");  // nothing saved yet
    EXPECT_EQ(request.directory, doc().core().startDirectory());
    QFile pdf(QString::fromStdString(FilePath("diagrama.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.readAll().count("/Type /Page\n"), 3);
    EXPECT_TRUE(prompts.messages.empty());

    command->trigger();
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{"Error al abrir el archivo"}));
    command->trigger();  // cancelled: nothing shown
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(doc().modified());

    // Once the diagram has a file, the PDF is offered under its name.
    prompts.fileAnswers = {FilePath("motor.ldr"), std::nullopt};
    ASSERT_TRUE(doc().SaveDocumentAs());
    command->trigger();
    EXPECT_EQ(prompts.fileRequests.back().presetName, "motor.pdf");
}

}  // namespace
}  // namespace velmorin::testing
