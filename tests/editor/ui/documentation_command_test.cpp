// "Exportar documentación...", "Exportar alias..." and "Importar alias..."
// from the Archivo menu, with scripted prompts and files.
#include <gtest/gtest.h>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QStatusBar>

#include <string>

#include "../../app/shell_test_support.h"
#include "../../compiler/test_diagram.h"
#include "../../support/pdf_text.h"
#include "app/CommandTable.h"
#include "editor/ui/CVelmorinView.h"
#include "model/alias_csv.h"
#include "model/text_encoding.h"

namespace velmorin::testing {
namespace {

class DocumentationCommandTest : public ShellTest {
protected:
    // Two coils on S1, a SET never reset, an output read and never
    // written, a jump no END closes, no END at all: a program with
    // something in every section.
    void DrawProgram() {
        Diagram d;
        d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1",  //
                    "ld:e2 ─ ─ ─ ─ ─ ─ out:s1",  //
                    "ld:s2 ─ ─ ─ ─ ─ ─ set:v01"});
        d.Block(1, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@4"});
        d.Block(4, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s3"});
        d.Alias("e1", "marcha").Alias("s1", "motor");
        doc().model() = d.model();
    }

    std::string Text(const QString& name) const {
        QFile file(QString::fromStdString(FilePath(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    bool Write(const QString& name, const std::string& text) const {
        QFile file(QString::fromStdString(FilePath(name)));
        return file.open(QIODevice::WriteOnly) && file.write(text.data(), static_cast<qint64>(text.size())) > 0;
    }

    std::string Alias(int index) { return Windows1252ToUtf8(FieldText(doc().model().aliases[index].alias)); }
};

TEST_F(DocumentationCommandTest, TheDocumentationHasEverySectionInOrderAndWritesNoListingOrImage) {
    ASSERT_TRUE(Start());
    DrawProgram();
    prompts.fileAnswers = {FilePath("motor.ldr")};
    ASSERT_TRUE(doc().SaveDocumentAs());

    QAction* command = frame().action(cmd::FileExportDoc);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), QString::fromUtf8("Exportar &documentación..."));
    prompts.fileAnswers = {FilePath("doc")};
    command->trigger();
    ASSERT_EQ(prompts.fileRequests.size(), 2u);
    EXPECT_EQ(prompts.fileRequests[1].title, "Exportar documentación");
    EXPECT_EQ(prompts.fileRequests[1].presetName, "motor.pdf");
    EXPECT_EQ(prompts.fileRequests[1].directory, doc().core().startDirectory());
    EXPECT_TRUE(prompts.messages.empty());

    const std::vector<QStringList> pages = PdfLines(QString::fromStdString(FilePath("doc.pdf")));
    ASSERT_EQ(pages.size(), 6u);
    const QString date = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    for (size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(::testing::Message() << "page " << p + 1);
        EXPECT_EQ(pages[p].front(), "motor.ldr " + date);
        EXPECT_TRUE(pages[p].back().endsWith(QStringLiteral("Página %1 de 6").arg(p + 1)))
            << pages[p].back().toStdString();
    }
    const auto expectLines = [&](size_t page, std::initializer_list<const char*> lines) {
        SCOPED_TRACE(::testing::Message() << "page " << page);
        qsizetype at = 0;
        for (const char* line : lines) {
            const qsizetype found = pages[page - 1].indexOf(QString::fromUtf8(line), at);
            EXPECT_GE(found, 0) << line << " after line " << at << " of\n" << pages[page - 1].join(u'\n').toStdString();
            if (found >= 0) at = found + 1;
        }
    };
    expectLines(1, {"Documentación del programa", "Archivo motor.ldr",
                    "Uso del PLC Código 20/256 bytes · Temp. 0/12 · Cont. 0/4 · Errores 1 · Warnings 1",
                    "Compilación 1 error, 1 warning, 20 bytes", "Observaciones 3 observaciones", "Contenido",
                    "Diagrama páginas 2 a 3", "Tabla de operandos página 4", "Observaciones del programa página 5",
                    "Diagnósticos del compilador página 6"});
    expectLines(2, {"Bloques: ETQ01, ETQ02, ETQ03 Página 2 de 6"});
    expectLines(3, {"Bloques: ETQ04, ETQ05, ETQ06 Página 3 de 6"});
    expectLines(4, {"Tabla de operandos", "Memoria Alias Usos Bloque Y X Instrucción Uso",
                    "E1 marcha 2 ETQ01 1 1 LD lee", "ETQ02 1 1 LD lee", "S1 motor 2 ETQ01 1 8 OUT escribe",
                    "ETQ01 2 8 OUT escribe", "V01 1 ETQ01 3 8 SET escribe", "Etiquetas y saltos",
                    "Etiqueta Alias Saltos Bloque Y X Instrucción Uso", "ETQ05 1 ETQ02 1 8 JP1 salta"});
    expectLines(
        5, {"Observaciones del programa", "Bobina duplicada: S1 (motor) se escribe con OUT en 2 lugares",
            "ETQ01 1 8 OUT escribe", "ETQ01 2 8 OUT escribe", "La salida S2 se lee pero ningún elemento la escribe",
            "ETQ01 3 1 LD lee", "V01 se activa con SET y ningún RST lo desactiva"});
    expectLines(6, {"Diagnósticos del compilador", "Compilación 1 error, 1 warning, 20 bytes",
                    "Nro Bloque Y X Descripción", "000 ETQ05 1 8 Obs.: La última instrucción debe ser END o RJP",
                    "001 ETQ02 1 8 Error: Salto a subrutina sin retorno"});

    // Compiled in memory only: no listing, no image, the document as it was.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(FilePath("motor.prg"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(FilePath("motor.bld"))));
    EXPECT_FALSE(doc().modified());

    // A file that cannot be written is named with the reason.
    prompts.fileAnswers = {FilePath("no/such/folder/doc.pdf")};
    command->trigger();
    ASSERT_EQ(prompts.messages, (std::vector<std::string>{"Error al abrir el archivo"}));
    EXPECT_NE(prompts.details[0].find("no/such/folder/doc.pdf"), std::string::npos) << prompts.details[0];
    EXPECT_NE(prompts.details[0].find("No existe el fichero o el directorio"), std::string::npos);
}

TEST_F(DocumentationCommandTest, AliasesGoOutAsATableAndComeBackAsOneUndoableStep) {
    ASSERT_TRUE(Start());
    DrawProgram();
    CVelmorinView& view = *frame().view();

    // Out: the table of the program's names, beside nothing else.
    prompts.fileAnswers = {FilePath("nombres")};
    frame().action(cmd::FileExportAliases)->trigger();
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Exportar alias");
    EXPECT_EQ(prompts.fileRequests[0].directory, doc().core().startDirectory());
    EXPECT_EQ(prompts.fileRequests[0].presetName, "*.csv");
    EXPECT_EQ(Text("nombres.csv"), FormatAliasCsv(doc().model()));
    EXPECT_NE(Text("nombres.csv").find("E1;marcha\n"), std::string::npos);
    EXPECT_EQ(frame().statusBar()->currentMessage(), "Alias exportados a nombres.csv");

    // A table with one bad row changes nothing, and says which row.
    const std::vector<uint8_t> before = EncodeSourceFile(doc().model());
    ASSERT_TRUE(Write("malos.csv", "memoria;alias\nE1;paro\nS1;demasiado_largo\n"));
    prompts.fileAnswers = {FilePath("malos.csv")};
    frame().action(cmd::FileImportAliases)->trigger();
    EXPECT_EQ(prompts.fileRequests.back().title, "Importar alias");
    EXPECT_EQ(prompts.fileRequests.back().directory, doc().core().startDirectory());
    ASSERT_EQ(prompts.messages, (std::vector<std::string>{"No se importaron los alias; el diagrama no cambió"}));
    EXPECT_EQ(prompts.details[0].rfind("Línea 3:", 0), 0u) << prompts.details[0];
    EXPECT_EQ(EncodeSourceFile(doc().model()), before);
    EXPECT_EQ(Alias(0), "marcha");
    EXPECT_FALSE(doc().modified());
    EXPECT_FALSE(view.CanUndo());

    // A good one is taken whole; the user hears which names a save would drop.
    ASSERT_TRUE(Write("buenos.csv", "memoria;alias\nE1;paro\nS1;bomba\nV10;sobra\n"));
    prompts.fileAnswers = {FilePath("buenos.csv")};
    frame().action(cmd::FileImportAliases)->trigger();
    EXPECT_EQ(Alias(0), "paro");
    EXPECT_EQ(Alias(8), "bomba");
    EXPECT_TRUE(doc().modified());
    ASSERT_EQ(prompts.informations.size(), 1u);
    EXPECT_NE(prompts.informations[0].find("no conservará"), std::string::npos);
    EXPECT_TRUE(prompts.informations[0].ends_with(": V10")) << prompts.informations[0];
    EXPECT_EQ(frame().statusBar()->currentMessage(), "Alias importados de buenos.csv");
    view.Undo();
    EXPECT_EQ(Alias(0), "marcha");
    EXPECT_EQ(Alias(8), "motor");
    EXPECT_FALSE(doc().modified());
    EXPECT_FALSE(view.CanUndo());

    // A file that cannot be read is named; a cancelled dialog does nothing.
    prompts.fileAnswers = {FilePath("ninguno.csv"), std::nullopt};
    frame().action(cmd::FileImportAliases)->trigger();
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[2], "Error al abrir el archivo");
    EXPECT_NE(prompts.details[2].find("ninguno.csv: No existe el fichero o el directorio"), std::string::npos);
    frame().action(cmd::FileImportAliases)->trigger();
    EXPECT_EQ(prompts.messages.size(), 3u);
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

}  // namespace
}  // namespace velmorin::testing
