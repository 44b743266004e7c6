// What goes on each printed page: the stamps of a diagram printout and the
// documentation's sections, tables and page breaks, without a printer.
#include "editor/doc_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "compiler/test_diagram.h"
#include "editor/doc_content.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

using testing::Diagram;
using ::testing::ElementsAre;
using Cells = std::vector<std::string>;

const CellMetrics Screen96{169, 169};
const PrintLayout Portrait = LayOutPrint({2100, 2970}, Screen96);
const PrintLayout Landscape = LayOutPrint({2970, 2100}, Screen96);

TEST(PageStamp, EveryPageNamesItsFileDateBlocksAndNumber) {
    Diagram d;
    d.Block(23, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1"});
    SetFieldText(d.model().labels[1].alias, Utf8ToWindows1252("arranque").value());
    SetFieldText(d.model().labels[22].alias, "ETQ23");  // its own name again, in other letters
    const PrintHeading heading{"motor.ldr", FormatPrintDate(2025, 3, 7)};
    EXPECT_EQ(heading.date, "07/03/2025");
    struct Case {
        const PrintLayout& layout;
        int page, pages;
        PageStamp stamp;
    } cases[] = {
        {Portrait, 1, 8, {"motor.ldr", "07/03/2025", "Bloques: ETQ01, ETQ02 arranque, ETQ03", "Página 1 de 8"}},
        {Portrait, 8, 8, {"motor.ldr", "07/03/2025", "Bloques: ETQ22, ETQ23, ETQ24", "Página 8 de 8"}},
        {Landscape, 1, 12, {"motor.ldr", "07/03/2025", "Bloques: ETQ01, ETQ02 arranque", "Página 1 de 12"}},
        {Landscape, 12, 12, {"motor.ldr", "07/03/2025", "Bloques: ETQ23, ETQ24", "Página 12 de 12"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stamp.footRight);
        EXPECT_EQ(PrintPageCount(d.model().grid, c.layout), c.pages);
        EXPECT_EQ(DiagramPageStamp(d.model(), heading, c.layout, c.page, c.pages), c.stamp);
    }
}

// The sections of a documentation, one after the other, and where each starts.
std::vector<std::pair<DocSection, size_t>> SectionStarts(const std::vector<DocPage>& pages) {
    std::vector<std::pair<DocSection, size_t>> starts;
    for (size_t i = 0; i < pages.size(); ++i)
        if (starts.empty() || starts.back().first != pages[i].section) starts.emplace_back(pages[i].section, i + 1);
    return starts;
}

std::vector<Cells> LinesOf(const std::vector<DocPage>& pages, DocStyle style) {
    std::vector<Cells> lines;
    for (const DocPage& page : pages)
        for (const DocLine& line : page.lines)
            if (line.style == style) lines.push_back(line.cells);
    return lines;
}

// No line reaches into the head or the foot, none overlaps the one before,
// every page is numbered out of all, and no page ends on a line that
// belongs with what follows it.
void ExpectPagesWellFormed(const std::vector<DocPage>& pages, const PrintLayout& layout) {
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const DocPage& page = pages[i];
        EXPECT_EQ(page.stamp.footRight, "Página " + std::to_string(i + 1) + " de " + std::to_string(pages.size()));
        int32_t below = layout.frame.bodyTop();
        for (const DocLine& line : page.lines) {
            EXPECT_GE(line.top, below) << line.cells.front();
            below = line.top + StyleOf(line.style).height;
        }
        EXPECT_LE(below, layout.frame.bodyBottom());
        if (page.section == DocSection::Diagram || page.section == DocSection::Cover) continue;
        ASSERT_FALSE(page.lines.empty());
        EXPECT_EQ(page.lines.front().style, DocStyle::Heading);
        const DocStyle last = page.lines.back().style;
        EXPECT_FALSE(StyleOf(last).heads || last == DocStyle::Subheading || last == DocStyle::ObservationText)
            << "a page ends on " << page.lines.back().cells.front();
    }
}

TEST(Documentation, AProgramsSectionsComeInOrderWithItsOperandsObservationsAndDiagnostics) {
    Diagram d;
    d.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1",  //
                "ld:e2 ─ ─ ─ ─ ─ ─ out:s1",  //
                "ld:s2 ─ ─ ─ ─ ─ ─ set:v01"});
    d.Block(1, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@4"});
    d.Block(4, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s3"});
    d.Alias("e1", "marcha").Alias("s1", "motor");
    const PrintHeading heading{"motor.ldr", "07/03/2025"};
    const DocumentContent content = GatherDocumentContent(d.model(), heading);
    const std::vector<DocPage> pages = LayOutDocumentation(d.model(), content, Portrait);
    ExpectPagesWellFormed(pages, Portrait);

    // Two diagram pages reach block 5; each of the other sections takes one.
    EXPECT_THAT(SectionStarts(pages),
                ElementsAre(std::pair(DocSection::Cover, 1), std::pair(DocSection::Diagram, 2),
                            std::pair(DocSection::Operands, 4), std::pair(DocSection::Observations, 5),
                            std::pair(DocSection::Diagnostics, 6)));
    EXPECT_EQ(pages[2].diagramPage, 2);
    EXPECT_EQ(pages[2].stamp.footLeft, "Bloques: ETQ04, ETQ05, ETQ06");
    EXPECT_EQ(pages[3].stamp.footLeft, "Tabla de operandos");

    // The cover: what the status bar would show, and where every section is.
    EXPECT_THAT(
        LinesOf(pages, DocStyle::Field),
        ::testing::IsSupersetOf(
            {Cells{"Archivo", "motor.ldr"}, Cells{"Fecha", "07/03/2025"}, Cells{"Uso del PLC", content.budget},
             Cells{"Compilación", "1 error, 1 warning, 20 bytes"}, Cells{"Observaciones", "3 observaciones"}}));
    EXPECT_EQ(content.budget, "Código 20/256 bytes · Temp. 0/12 · Cont. 0/4 · Errores 1 · Warnings 1");
    EXPECT_THAT(
        LinesOf(pages, DocStyle::Contents),
        ElementsAre(Cells{"Diagrama", "páginas 2 a 3"}, Cells{"Tabla de operandos", "página 4"},
                    Cells{"Observaciones del programa", "página 5"}, Cells{"Diagnósticos del compilador", "página 6"}));

    // Every use of every operand, the user's names, then the labels jumps reach.
    EXPECT_THAT(LinesOf(pages, DocStyle::XrefHeads),
                ElementsAre(Cells{"Memoria", "Alias", "Usos", "Bloque", "Y", "X", "Instrucción", "Uso"},
                            Cells{"Etiqueta", "Alias", "Saltos", "Bloque", "Y", "X", "Instrucción", "Uso"}));
    EXPECT_THAT(LinesOf(pages, DocStyle::XrefRow),
                ElementsAre(Cells{"E1", "marcha", "2", "ETQ01", "1", "1", "LD", "lee"},
                            Cells{"", "", "", "ETQ02", "1", "1", "LD", "lee"},
                            Cells{"E2", "", "2", "ETQ01", "2", "1", "LD", "lee"},
                            Cells{"", "", "", "ETQ05", "1", "1", "LD", "lee"},
                            Cells{"S1", "motor", "2", "ETQ01", "1", "8", "OUT", "escribe"},
                            Cells{"", "", "", "ETQ01", "2", "8", "OUT", "escribe"},
                            Cells{"S2", "", "1", "ETQ01", "3", "1", "LD", "lee"},
                            Cells{"S3", "", "1", "ETQ05", "1", "8", "OUT", "escribe"},
                            Cells{"V01", "", "1", "ETQ01", "3", "8", "SET", "escribe"},
                            Cells{"ETQ05", "", "1", "ETQ02", "1", "8", "JP1", "salta"}));

    // Each observation over the cells it concerns, as "velmorin-cli check" finds them.
    const std::vector<DocLine>& observations = pages[4].lines;
    std::vector<Cells> shown;
    for (const DocLine& line : observations) shown.push_back(line.cells);
    EXPECT_THAT(
        shown,
        ElementsAre(
            Cells{"Observaciones del programa"}, Cells{"Bobina duplicada: S1 (motor) se escribe con OUT en 2 lugares"},
            Cells{"ETQ01", "1", "8", "OUT", "escribe"}, Cells{"ETQ01", "2", "8", "OUT", "escribe"},
            Cells{"La salida S2 se lee pero ningún elemento la escribe"}, Cells{"ETQ01", "3", "1", "LD", "lee"},
            Cells{"V01 se activa con SET y ningún RST lo desactiva"}, Cells{"ETQ01", "3", "8", "SET", "escribe"}));

    // The compiler's own diagnostics, numbered and placed as in the error list.
    EXPECT_THAT(LinesOf(pages, DocStyle::DiagnosticRow),
                ElementsAre(Cells{"000", "ETQ05", "1", "8", " Obs.: La última instrucción debe ser END o RJP"},
                            Cells{"001", "ETQ02", "1", "8", "Error: Salto a subrutina sin retorno"}));
}

TEST(Documentation, AnEmptyProgramSaysSoInEverySection) {
    Diagram d;
    const std::vector<DocPage> pages =
        LayOutDocumentation(d.model(), GatherDocumentContent(d.model(), {"nuevo.ldr", "01/01/2025"}), Landscape);
    ExpectPagesWellFormed(pages, Landscape);
    ASSERT_EQ(pages.size(), 5u);  // the cover, one diagram page, three sections
    EXPECT_THAT(LinesOf(pages, DocStyle::Note),
                ElementsAre(Cells{"El programa no usa ninguna memoria"}, Cells{"Sin observaciones"},
                            Cells{"No hay elementos para compilar"}));
    EXPECT_THAT(LinesOf(pages, DocStyle::Field),
                ::testing::Contains(Cells{"Compilación", "No hay elementos para compilar"}));
}

// Tables longer than a page go on under their heads; every row is kept, a
// page never starts inside an operand without naming it, nor inside an
// observation without its text.
TEST(Documentation, LongTablesGoOnOverPagesWithTheirHeadsAndNames) {
    Diagram d;
    DocumentContent content;
    content.heading = {"grande.ldr", "01/01/2025"};
    size_t uses = 0;
    for (int32_t index = 0; index < 90; ++index) {
        OperandReference& operand = content.xref.operands.emplace_back();
        operand.index = index;
        operand.name = "V" + std::to_string(index + 1);
        operand.alias = "x" + std::to_string(index + 1);
        for (int32_t use = 0; use <= index % 7; ++use, ++uses)
            operand.uses.push_back({1 + use, 1 + use % 8, ElementLd, 0, OperandRole::Reads});
    }
    for (int32_t label = 0; label < 20; ++label)
        content.xref.labels.push_back(
            {label, "ETQ" + std::to_string(label + 10), "", {{5, 8, ElementJp1, 0, OperandRole::Jumps}}});
    for (int32_t index = 0; index < 60; ++index) {
        Observation& observation = content.observations.emplace_back();
        observation.kind = ObservationKind::DuplicateCoil;
        observation.text = "observación " + std::to_string(index);
        for (int32_t cell = 0; cell < 1 + index % 5; ++cell)
            observation.cells.push_back({1 + cell, 8, ElementOut, 0, OperandRole::Writes});
    }
    const std::vector<DocPage> pages = LayOutDocumentation(d.model(), content, Portrait);
    ExpectPagesWellFormed(pages, Portrait);

    std::map<DocSection, int> pagesOf;
    for (const DocPage& page : pages) ++pagesOf[page.section];
    EXPECT_GE(pagesOf[DocSection::Operands], 3);
    EXPECT_GE(pagesOf[DocSection::Observations], 2);
    EXPECT_EQ(LinesOf(pages, DocStyle::XrefRow).size(), uses + content.xref.labels.size());
    EXPECT_EQ(LinesOf(pages, DocStyle::ObservationCell).size(), 180u);

    // A continued row (no count) names its operand again at the top of a page.
    std::string operand;
    for (size_t i = 1; i < pages.size(); ++i) {
        const DocPage& page = pages[i];
        if (page.section != DocSection::Operands && page.section != DocSection::Observations) continue;
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const std::string title =
            page.section == DocSection::Operands ? "Tabla de operandos" : "Observaciones del programa";
        const bool continued = pages[i - 1].section == page.section;
        EXPECT_EQ(page.lines.front().cells.front(), continued ? title + " (continuación)" : title);
        bool topRow = true;
        for (const DocLine& line : page.lines) {
            if (line.style == DocStyle::ObservationCell) {
                EXPECT_FALSE(topRow) << "a page starts with cells whose observation is on the one before";
            }
            if (line.style == DocStyle::ObservationText || line.style == DocStyle::ObservationCell) topRow = false;
            if (line.style != DocStyle::XrefRow) continue;
            if (!line.cells[2].empty()) {
                operand = line.cells[0];
            } else {
                EXPECT_EQ(line.cells[0], topRow ? operand : "");
                EXPECT_EQ(line.cells[1], topRow ? "x" + operand.substr(1) : "") << "its alias with it";
            }
            topRow = false;
        }
    }
}

}  // namespace
}  // namespace velmorin
