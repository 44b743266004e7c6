#include "editor/ui/DocumentPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <optional>
#include <vector>

#include "editor/doc_content.h"
#include "editor/doc_messages.h"
#include "editor/print_layout.h"
#include "editor/ui/DiagramPainter.h"
#include "editor/ui/DiagramPrinter.h"

namespace velmorin {
namespace {

// Logical units (0.1 mm) to the device pixels a painter turned to the
// paper's corner measures in.
struct Units {
    qreal sx, sy;
    qreal x(int32_t units) const { return units * sx; }
    qreal y(int32_t units) const { return units * sy; }
};

Units UnitsOf(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return {device->logicalDpiX() / 254.0, device->logicalDpiY() / 254.0};
}

struct StyleFont {
    qreal points;
    bool bold;
    bool italic;
    bool onBaseline;  // set on the line's lower edge (headings), else centred
};

// In the order of DocStyle; each fits the height its style is given.
constexpr std::array<StyleFont, 12> StyleFonts = {{
    {18, true, false, true},    // Title
    {13, true, false, true},    // Heading
    {11, true, false, true},    // Subheading
    {10, false, false, false},  // Field
    {10, false, false, false},  // Contents
    {9, true, false, false},    // XrefHeads
    {9, false, false, false},   // XrefRow
    {10, false, false, false},  // ObservationText
    {9, false, false, false},   // ObservationCell
    {9, true, false, false},    // DiagnosticHeads
    {9, false, false, false},   // DiagnosticRow
    {10, false, true, false},   // Note
}};
constexpr qreal StampPoints = 8;
constexpr int32_t CellGap = 20;       // between a cell's text and the next cell
constexpr int32_t RuleWidth = 3;      // the rules under heads and around the body
constexpr int32_t BaselineRoom = 12;  // under a heading's text

QFont PrintFont(qreal points, bool bold, bool italic = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// A text in its box on one line, cut with "…" when it is wider.
void DrawFitted(QPainter& painter, const QRectF& box, const QString& text, Qt::Alignment align) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(box, align | Qt::TextSingleLine, metrics.elidedText(text, Qt::ElideRight, box.width()));
}

void Rule(QPainter& painter, const Units& u, int32_t left, int32_t right, int32_t y) {
    painter.setPen(QPen(Qt::black, u.y(RuleWidth)));
    painter.drawLine(QPointF(u.x(left), u.y(y)), QPointF(u.x(right), u.y(y)));
}

// A band's two texts: the right one whole, the left one in what remains.
void DrawBand(QPainter& painter, const Units& u, const PageFrame& frame, int32_t top, int32_t bottom,
              const std::string& left, const std::string& right, Qt::Alignment vertical) {
    const QRectF box(QPointF(u.x(frame.left), u.y(top)), QPointF(u.x(frame.right), u.y(bottom)));
    const QString rightText = QString::fromStdString(right);
    const qreal rightWidth = QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(rightText);
    painter.drawText(box, Qt::AlignRight | vertical | Qt::TextSingleLine, rightText);
    QRectF leftBox = box;
    leftBox.setRight(box.right() - rightWidth - u.x(CellGap * 2));
    DrawFitted(painter, leftBox, QString::fromStdString(left), Qt::AlignLeft | vertical);
}

}  // namespace

void PaintPageStamp(QPainter& painter, const PageFrame& frame, const PageStamp& stamp) {
    const Units u = UnitsOf(painter);
    painter.save();
    painter.setFont(PrintFont(StampPoints, false));
    painter.setPen(Qt::black);
    DrawBand(painter, u, frame, frame.headTop, frame.headBottom - BaselineRoom, stamp.headLeft, stamp.headRight,
             Qt::AlignBottom);
    DrawBand(painter, u, frame, frame.footTop + BaselineRoom, frame.footBottom, stamp.footLeft, stamp.footRight,
             Qt::AlignTop);
    Rule(painter, u, frame.left, frame.right, frame.headBottom);
    Rule(painter, u, frame.left, frame.right, frame.footTop);
    painter.restore();
}

void PaintTextPage(QPainter& painter, const PageFrame& frame, const DocPage& page) {
    const Units u = UnitsOf(painter);
    painter.save();
    for (const DocLine& line : page.lines) {
        const DocStyleDef& style = StyleOf(line.style);
        const StyleFont& font = StyleFonts[static_cast<size_t>(line.style)];
        const Qt::Alignment vertical = font.onBaseline ? Qt::AlignBottom : Qt::AlignVCenter;
        const int32_t bottom = line.top + style.height - (font.onBaseline ? BaselineRoom : 0);
        for (size_t i = 0; i < line.cells.size() && i < style.stops.size(); ++i) {
            // A cover's caption stands out from its value.
            const bool bold = font.bold || (line.style == DocStyle::Field && i == 0);
            painter.setFont(PrintFont(font.points, bold, font.italic));
            painter.setPen(Qt::black);
            const int32_t left = frame.left + style.stops[i];
            const int32_t right = i + 1 < style.stops.size() ? frame.left + style.stops[i + 1] - CellGap : frame.right;
            const QRectF box(QPointF(u.x(left), u.y(line.top)), QPointF(u.x(right), u.y(bottom)));
            DrawFitted(painter, box, QString::fromStdString(line.cells[i]), Qt::AlignLeft | vertical);
        }
        if (style.heads) Rule(painter, u, frame.left, frame.right, line.top + style.height);
    }
    painter.restore();
    PaintPageStamp(painter, frame, page.stamp);
}

bool PrintDocumentation(QPagedPaintDevice& device, const ProgramModel& model, const DocumentContent& content,
                        const CellMetrics& metrics) {
    const PrintLayout layout = LayOutPrint(PaperOf(device), metrics);
    const std::vector<DocPage> pages = LayOutDocumentation(model, content, layout);
    QPainter painter(&device);
    if (!painter.isActive()) return false;
    TurnToPaperCorner(painter, device);
    DiagramPainter diagram(metrics);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        const DocPage& page = pages[i];
        if (page.section == DocSection::Diagram) {
            PrintDiagramPage(painter, diagram, model, layout, page.diagramPage, page.stamp);
        } else {
            PaintTextPage(painter, layout.frame, page);
        }
    }
    return painter.end();
}

Result ExportDocumentationPdf(const ProgramModel& model, const PrintHeading& heading, const std::string& path,
                              const CellMetrics& metrics) {
    const DocumentContent content = GatherDocumentContent(model, heading);
    return WritePdf(path, [&](QPdfWriter& writer) { return PrintDocumentation(writer, model, content, metrics); });
}

bool RunDocumentationExport(Prompts& prompts, const ProgramModel& model, const CellMetrics& metrics,
                            const PrintHeading& heading, const std::string& directory, const std::string& sourcePath) {
    const std::optional<std::string> path = AskPdfPath(prompts, msg::ExportDocTitle, directory, sourcePath);
    if (!path) return false;
    const Result exported = ExportDocumentationPdf(model, heading, *path, metrics);
    if (!exported) prompts.ShowFailure(exported);
    return exported.ok;
}

Result ExportSourceFileDocumentation(const std::string& sourcePath, const std::string& pdfPath) {
    return ExportSourceFile(sourcePath, pdfPath, [&](const ProgramModel& model, const PrintHeading& heading) {
        return ExportDocumentationPdf(model, heading, pdfPath, ScreenCellMetrics());
    });
}

}  // namespace velmorin
