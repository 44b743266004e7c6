#pragma once
// What goes on each printed page: the head and foot every page carries
// (file, date, blocks, "Página x de y") and the program's documentation, a
// cover, the diagram's pages, the operand table, the observations and the
// compiler's diagnostics, cut into pages whose lines all fit between head
// and foot. Positions are logical units (0.1 mm) from the paper's corner;
// the printer only draws what it is given here.
#include <cstdint>
#include <string>
#include <vector>

#include "editor/paint_plan.h"
#include "editor/print_layout.h"
#include "model/cross_reference.h"
#include "model/ladder_model.h"
#include "model/observations.h"

namespace velmorin {

// The document a printout comes from.
struct PrintHeading {
    std::string fileName;  // as the window's title names it
    std::string date;      // FormatPrintDate
};

// "07/03/2025".
std::string FormatPrintDate(int year, int month, int day);

// The four texts around a page's body.
struct PageStamp {
    std::string headLeft;   // the file
    std::string headRight;  // the date
    std::string footLeft;   // the blocks on the page, or the section
    std::string footRight;  // "Página x de y"
    bool operator==(const PageStamp&) const = default;
};

std::string PageNumberText(int page, int pageCount);

// "Bloques: ETQ01, ETQ02 arranque, ETQ03": each block the rows reach, by
// its label, with the name the user gave it when it is not the default one.
std::string BlocksText(const ProgramModel& model, RowRange rows);

// The stamp of page `page` of `pageCount` of a diagram printout.
PageStamp DiagramPageStamp(const ProgramModel& model, const PrintHeading& heading, const PrintLayout& layout, int page,
                           int pageCount);

// What the documentation lists besides the diagram; GatherDocumentContent
// (doc_content.h) fills it from the program.
struct DocDiagnostic {
    std::string number, block, rowInBlock, column, text;  // as the error list shows them
};

struct DocumentContent {
    PrintHeading heading;
    std::string budget;         // as the status bar shows it
    std::string compileTotals;  // "0 errores, 1 warning, 12 bytes"
    bool nothingToCompile = false;
    CrossReference xref;
    std::vector<Observation> observations;
    std::vector<DocDiagnostic> diagnostics;
};

// How a line of a text page looks: its height, where its cells start, and
// (for the printer) its font.
enum class DocStyle : int32_t {
    Title,
    Heading,
    Subheading,
    Field,      // caption, value (the cover)
    Contents,   // section, its pages
    XrefHeads,  // memory, alias, uses, block, Y, X, instruction, role
    XrefRow,
    ObservationText,
    ObservationCell,  // block, Y, X, instruction, role, under the xref's
    DiagnosticHeads,  // number, block, Y, X, description
    DiagnosticRow,
    Note,
};

struct DocStyleDef {
    int32_t height;              // logical units
    std::vector<int32_t> stops;  // where each cell starts, from the body's left edge
    bool heads;                  // a table's column heads: bold, ruled below
};
const DocStyleDef& StyleOf(DocStyle style);

struct DocLine {
    DocStyle style;
    int32_t top = 0;  // from the paper's top edge
    std::vector<std::string> cells;
};

enum class DocSection : int32_t { Cover, Diagram, Operands, Observations, Diagnostics };

struct DocPage {
    DocSection section = DocSection::Cover;
    int32_t diagramPage = 0;  // the page of the diagram printout, on Diagram pages
    std::vector<DocLine> lines;
    PageStamp stamp;
};

// The whole documentation on sheets laid out as `layout` says (the diagram
// pages as a printout on that sheet), every page numbered out of all.
std::vector<DocPage> LayOutDocumentation(const ProgramModel& model, const DocumentContent& content,
                                         const PrintLayout& layout);

}  // namespace velmorin
