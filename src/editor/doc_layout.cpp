#include "editor/doc_layout.h"

#include <array>
#include <cstdio>
#include <optional>

#include "editor/doc_messages.h"
#include "editor/editor_messages.h"
#include "model/catalogue.h"
#include "model/messages.h"
#include "model/observation_messages.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// The operand table's columns; the observations' cells line up under its
// last five.
constexpr int32_t XrefStops[] = {0, 200, 420, 560, 760, 860, 960, 1200};
constexpr size_t XrefUseColumn = 3;  // where a use's own cells begin

const std::array<DocStyleDef, 12>& StyleTable() {
    static const std::array<DocStyleDef, 12> table = {{
        {150, {0}, false},                                                          // Title
        {110, {0}, false},                                                          // Heading
        {90, {0}, false},                                                           // Subheading
        {60, {0, 450}, false},                                                      // Field
        {60, {0, 900}, false},                                                      // Contents
        {55, {std::begin(XrefStops), std::end(XrefStops)}, true},                   // XrefHeads
        {48, {std::begin(XrefStops), std::end(XrefStops)}, false},                  // XrefRow
        {60, {0}, false},                                                           // ObservationText
        {48, {std::begin(XrefStops) + XrefUseColumn, std::end(XrefStops)}, false},  // ObservationCell
        {55, {0, 130, 330, 430, 530}, true},                                        // DiagnosticHeads
        {48, {0, 130, 330, 430, 530}, false},                                       // DiagnosticRow
        {60, {0}, false},                                                           // Note
    }};
    return table;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

std::string LabelName(const ProgramModel& model, int32_t block) {
    if (block < 0 || block >= LabelCount) return "-";
    return Windows1252ToUtf8(FieldText(model.labels[static_cast<size_t>(block)].name));
}

// A name the user gave, or nothing while it is still the default one.
std::string GivenName(const std::string& name, const std::string& alias) {
    const std::optional<std::string> a = Utf8ToWindows1252(name);
    const std::optional<std::string> b = Utf8ToWindows1252(alias);
    if (alias.empty() || (a && b && SameNameIgnoringCase(*a, *b))) return {};
    return alias;
}

// Block, Y, X, instruction and role of one use.
std::vector<std::string> UseCells(const ProgramModel& model, const OperandUse& use) {
    return {LabelName(model, use.block()), std::to_string(use.rowInBlock()), std::to_string(use.column),
            Upper(CatalogueEntryFor(use.element).mnemonic), RoleText(use.role)};
}

// Lines that belong together: the first `keep` never part, and a line that
// a page break leaves at the top of a page takes the first `repeatCells`
// cells of the group's first line, or the whole first line goes again.
struct Group {
    std::vector<DocLine> lines;
    size_t keep = 1;
    size_t repeatCells = 0;
    bool repeatFirstLine = false;
};

// Fills the body of text pages one line after the other; a line goes to
// the next page when it would reach into the foot.
class PageFiller {
public:
    PageFiller(const PageFrame& frame, std::vector<DocPage>& pages) : frame_(frame), pages_(pages) {}

    void StartSection(DocSection section, std::string title) {
        section_ = section;
        title_ = std::move(title);
        heads_.reset();
        NewPage(title_);
    }

    // Column heads, kept with the table's first line and repeated on every
    // page the table continues on.
    void Heads(DocLine heads, int32_t firstLine) {
        KeepRoom(StyleOf(heads.style).height + firstLine);
        heads_ = heads;
        Put(std::move(heads));
    }
    void EndTable() { heads_.reset(); }

    // The next lines together need `height`: a new page unless it is left.
    void KeepRoom(int32_t height) {
        if (!Fits(height)) Continue();
    }

    void Line(DocStyle style, std::vector<std::string> cells) { Place({{{style, 0, std::move(cells)}}, 1}); }

    void Place(Group group) {
        // A heading or heads line is kept with what follows it.
        int32_t kept = 0;
        for (size_t i = 0; i < group.keep && i < group.lines.size(); ++i) kept += StyleOf(group.lines[i].style).height;
        KeepRoom(kept);
        for (size_t i = 0; i < group.lines.size(); ++i) {
            DocLine line = group.lines[i];
            if (!Fits(StyleOf(line.style).height)) {
                Continue();
                if (group.repeatFirstLine && i > 0) Put(group.lines.front());
                for (size_t c = 0; c < group.repeatCells && c < line.cells.size(); ++c)
                    line.cells[c] = group.lines.front().cells[c];
            }
            Put(std::move(line));
        }
    }

private:
    bool Fits(int32_t height) const { return y_ + height <= frame_.bodyBottom(); }

    void NewPage(const std::string& heading) {
        DocPage& page = pages_.emplace_back();
        page.section = section_;
        y_ = frame_.bodyTop();
        Put({DocStyle::Heading, 0, {heading}});
    }

    void Continue() {
        NewPage(Format(msg::DocContinued, title_.c_str()));
        if (heads_) Put(*heads_);
    }

    void Put(DocLine line) {
        line.top = y_;
        y_ += StyleOf(line.style).height;
        pages_.back().lines.push_back(std::move(line));
    }

    const PageFrame& frame_;
    std::vector<DocPage>& pages_;
    DocSection section_ = DocSection::Cover;
    std::string title_;
    std::optional<DocLine> heads_;
    int32_t y_ = 0;
};

DocLine XrefHeads(const char* name, const char* count) {
    return {DocStyle::XrefHeads,
            0,
            {name, msg::AliasHeading, count, msg::DocBlock, msg::DocRowInBlock, msg::DocColumn, msg::DocInstruction,
             msg::DocRole}};
}

// One group per operand or label: its first use on its own line, the
// others under it.
Group XrefGroup(const ProgramModel& model, const std::string& name, const std::string& alias,
                const std::vector<OperandUse>& uses) {
    Group group;
    group.repeatCells = 2;
    for (size_t i = 0; i < uses.size(); ++i) {
        std::vector<std::string> cells = {i == 0 ? name : "", i == 0 ? GivenName(name, alias) : "",
                                          i == 0 ? std::to_string(uses.size()) : ""};
        for (std::string& cell : UseCells(model, uses[i])) cells.push_back(std::move(cell));
        group.lines.push_back({DocStyle::XrefRow, 0, std::move(cells)});
    }
    return group;
}

void LayOutOperands(const ProgramModel& model, const CrossReference& xref, PageFiller& filler) {
    const int32_t row = StyleOf(DocStyle::XrefRow).height;
    filler.StartSection(DocSection::Operands, msg::DocOperands);
    if (xref.operands.empty()) filler.Line(DocStyle::Note, {msg::DocNoOperands});
    if (!xref.operands.empty()) {
        filler.Heads(XrefHeads(msg::OperandHeading, msg::DocUses), row);
        for (const OperandReference& operand : xref.operands)
            filler.Place(XrefGroup(model, operand.name, operand.alias, operand.uses));
        filler.EndTable();
    }
    if (xref.labels.empty()) return;
    const DocLine heads = XrefHeads(msg::LabelHeading, msg::DocJumps);
    filler.KeepRoom(StyleOf(DocStyle::Subheading).height + StyleOf(heads.style).height + row);
    filler.Line(DocStyle::Subheading, {msg::DocLabels});
    filler.Heads(heads, row);
    for (const LabelReference& label : xref.labels)
        filler.Place(XrefGroup(model, label.name, label.alias, label.jumps));
    filler.EndTable();
}

void LayOutObservations(const ProgramModel& model, const std::vector<Observation>& observations, PageFiller& filler) {
    filler.StartSection(DocSection::Observations, msg::DocObservations);
    if (observations.empty()) filler.Line(DocStyle::Note, {msg::DocNoObservations});
    for (const Observation& observation : observations) {
        Group group;
        group.keep = 2;
        group.repeatFirstLine = true;
        group.lines.push_back({DocStyle::ObservationText, 0, {observation.text}});
        for (const OperandUse& use : observation.cells)
            group.lines.push_back({DocStyle::ObservationCell, 0, UseCells(model, use)});
        filler.Place(group);
    }
}

void LayOutDiagnostics(const DocumentContent& content, PageFiller& filler) {
    filler.StartSection(DocSection::Diagnostics, msg::DocDiagnostics);
    if (content.nothingToCompile) {
        filler.Line(DocStyle::Note, {msg::NothingToCompile});
        return;
    }
    filler.Line(DocStyle::Field, {msg::DocCompilation, content.compileTotals});
    if (content.diagnostics.empty()) {
        filler.Line(DocStyle::Note, {msg::DocNoDiagnostics});
        return;
    }
    filler.Heads({DocStyle::DiagnosticHeads,
                  0,
                  {msg::DocNumber, msg::DocBlock, msg::DocRowInBlock, msg::DocColumn, msg::DocDescription}},
                 StyleOf(DocStyle::DiagnosticRow).height);
    for (const DocDiagnostic& d : content.diagnostics)
        filler.Line(DocStyle::DiagnosticRow, {d.number, d.block, d.rowInBlock, d.column, d.text});
}

std::string PagesText(int32_t first, int32_t last) {
    return first == last ? Format(msg::DocOnePage, first) : Format(msg::DocPageRange, first, last);
}

std::string ObservationCountText(size_t count) {
    return count == 1 ? std::string(msg::DocOneObservation) : Format(msg::DocObservationCount, static_cast<int>(count));
}

const char* SectionTitle(DocSection section) {
    switch (section) {
        case DocSection::Cover:
            return msg::DocTitle;
        case DocSection::Diagram:
            return msg::DocDiagram;
        case DocSection::Operands:
            return msg::DocOperands;
        case DocSection::Observations:
            return msg::DocObservations;
        case DocSection::Diagnostics:
            return msg::DocDiagnostics;
    }
    return "";
}

}  // namespace

std::string FormatPrintDate(int year, int month, int day) { return Format("%02d/%02d/%04d", day, month, year); }

std::string PageNumberText(int page, int pageCount) { return Format(msg::PageNumber, page, pageCount); }

std::string BlocksText(const ProgramModel& model, RowRange rows) {
    std::string list;
    for (int32_t block = BlockOfRow(std::max(rows.first, 1)); block <= BlockOfRow(rows.last); ++block) {
        if (block >= BlockCount) break;
        const LabelEntry& label = model.labels[static_cast<size_t>(block)];
        const std::string name = Windows1252ToUtf8(FieldText(label.name));
        const std::string given = GivenName(name, Windows1252ToUtf8(FieldText(label.alias)));
        list += (list.empty() ? "" : ", ") + name + (given.empty() ? "" : " " + given);
    }
    return Format(msg::BlocksOnPage, list.c_str());
}

PageStamp DiagramPageStamp(const ProgramModel& model, const PrintHeading& heading, const PrintLayout& layout, int page,
                           int pageCount) {
    return {heading.fileName, heading.date, BlocksText(model, PrintPageRows(page, layout)),
            PageNumberText(page, pageCount)};
}

const DocStyleDef& StyleOf(DocStyle style) { return StyleTable()[static_cast<size_t>(style)]; }

std::vector<DocPage> LayOutDocumentation(const ProgramModel& model, const DocumentContent& content,
                                         const PrintLayout& layout) {
    std::vector<DocPage> pages(1);  // the cover, filled in once the rest is numbered
    const int32_t diagramPages = PrintPageCount(model.grid, layout);
    for (int32_t page = 1; page <= diagramPages; ++page) {
        DocPage& diagram = pages.emplace_back();
        diagram.section = DocSection::Diagram;
        diagram.diagramPage = page;
    }
    PageFiller filler(layout.frame, pages);
    LayOutOperands(model, content.xref, filler);
    LayOutObservations(model, content.observations, filler);
    LayOutDiagnostics(content, filler);

    const int32_t count = static_cast<int32_t>(pages.size());
    std::vector<std::string> contents;
    for (int32_t i = 1; i < count;) {
        int32_t last = i;
        while (last + 1 < count &&
               pages[static_cast<size_t>(last + 1)].section == pages[static_cast<size_t>(i)].section)
            ++last;
        contents.push_back(SectionTitle(pages[static_cast<size_t>(i)].section));
        contents.push_back(PagesText(i + 1, last + 1));
        i = last + 1;
    }

    DocPage& cover = pages.front();
    int32_t y = layout.frame.bodyTop();
    const auto put = [&](DocStyle style, std::vector<std::string> cells) {
        cover.lines.push_back({style, y, std::move(cells)});
        y += StyleOf(style).height;
    };
    put(DocStyle::Title, {msg::DocTitle});
    put(DocStyle::Field, {msg::DocFile, content.heading.fileName});
    put(DocStyle::Field, {msg::DocDate, content.heading.date});
    put(DocStyle::Field, {msg::DocBudget, content.budget});
    put(DocStyle::Field,
        {msg::DocCompilation, content.nothingToCompile ? msg::NothingToCompile : content.compileTotals});
    put(DocStyle::Field, {msg::ObservationsHeading, ObservationCountText(content.observations.size())});
    put(DocStyle::Heading, {msg::DocContents});
    for (size_t i = 0; i + 1 < contents.size(); i += 2) put(DocStyle::Contents, {contents[i], contents[i + 1]});

    for (int32_t i = 0; i < count; ++i) {
        DocPage& page = pages[static_cast<size_t>(i)];
        page.stamp = page.section == DocSection::Diagram
                         ? DiagramPageStamp(model, content.heading, layout, page.diagramPage, diagramPages)
                         : PageStamp{content.heading.fileName, content.heading.date, SectionTitle(page.section), {}};
        page.stamp.footRight = PageNumberText(i + 1, count);
    }
    return pages;
}

}  // namespace velmorin
