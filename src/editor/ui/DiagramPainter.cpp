#include "editor/ui/DiagramPainter.h"

#include <QPainter>

#include <cmath>

#include "model/text_encoding.h"
#include "ui/Fonts.h"

namespace velmorin {
namespace {

// Texts are few and short; a live run adds its values, so the caches are
// emptied now and then rather than kept forever.
constexpr int MaxCachedTexts = 4096;

QPainter::CompositionMode ModeOf(RasterOp op) {
    return op == RasterOp::Xor ? QPainter::RasterOp_SourceXorDestination : QPainter::RasterOp_SourceAndDestination;
}

Rect Outward(const QRectF& r) {
    return {static_cast<int32_t>(std::floor(r.left())), static_cast<int32_t>(std::floor(r.top())),
            static_cast<int32_t>(std::ceil(r.right())), static_cast<int32_t>(std::ceil(r.bottom()))};
}

}  // namespace

DiagramPainter::DiagramPainter(const CellMetrics& metrics, qreal devicePixelRatio, int cellPixels)
    : metrics_(metrics),
      cellPixels_(cellPixels > 0 ? cellPixels : CellPixels),
      pictures_(devicePixelRatio, static_cast<qreal>(cellPixels_) / CellPixels) {
    // The diagram fonts are sized in the drawing's logical unit; the unit is
    // whatever makes a cell cellPixels_ pixels, so the fonts are made for that resolution.
    const int dpiX = static_cast<int>(std::lround(cellPixels_ * 254.0 / metrics_.w));
    const int dpiY = static_cast<int>(std::lround(cellPixels_ * 254.0 / metrics_.h));
    for (int i = 0; i < DiagramFontCount; ++i) {
        fonts_[static_cast<size_t>(i)] = MakeFont(FontTable[static_cast<size_t>(i)], dpiX, dpiY);
        fontMetrics_[static_cast<size_t>(i)] = std::make_unique<QFontMetricsF>(fonts_[static_cast<size_t>(i)]);
    }
    measure_ = [this](std::string_view text, int32_t font) {
        const qreal pixels = Shape(std::string(text), font).width;
        return static_cast<int32_t>(std::lround(pixels * metrics_.w / cellPixels_));
    };
}

DiagramPainter::~DiagramPainter() = default;

const DiagramPainter::ShapedText& DiagramPainter::Shape(const std::string& bytes, int font) {
    auto& cache = shaped_[static_cast<size_t>(std::clamp(font, 0, DiagramFontCount - 1))];
    const QByteArray key(bytes.data(), static_cast<qsizetype>(bytes.size()));
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    if (cache.size() >= MaxCachedTexts) cache.clear();
    const QString text = QString::fromStdString(Windows1252ToUtf8(bytes));
    const qreal width =
        fontMetrics_[static_cast<size_t>(std::clamp(font, 0, DiagramFontCount - 1))]->horizontalAdvance(text);
    return *cache.insert(key, ShapedText{text, width});
}

void DiagramPainter::DrawTexts(QPainter& painter, const PaintPlan& plan, const PlannedCell& cell, QPointF origin,
                               std::array<Rect, OperandRectCount>* keep) {
    const qreal sx = static_cast<qreal>(cellPixels_) / metrics_.w;
    const qreal sy = static_cast<qreal>(cellPixels_) / metrics_.h;
    for (int32_t i = cell.firstText; i < cell.firstText + cell.textCount; ++i) {
        const PlannedText& t = plan.texts[static_cast<size_t>(i)];
        const int font = std::clamp(t.font, 0, DiagramFontCount - 1);
        const ShapedText& shaped = Shape(t.text, font);
        const QFontMetricsF& fm = *fontMetrics_[static_cast<size_t>(font)];
        const QRectF box(origin.x() + t.x * sx, origin.y() + cellPixels_ - t.top * sy, shaped.width, fm.height());
        if (cell.opaqueText) painter.fillRect(box, Qt::white);
        painter.setFont(fonts_[static_cast<size_t>(font)]);
        painter.drawText(QPointF(box.left(), box.top() + fm.ascent()), shaped.text);
        if (keep != nullptr && t.slot >= 0 && t.slot < static_cast<int32_t>(keep->size())) {
            (*keep)[static_cast<size_t>(t.slot)] = Outward(box);
        }
    }
}

void DiagramPainter::PaintScreen(QPainter& painter, const PaintPlan& plan, QPoint scroll, ViewOverlay* overlay) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::black);
    for (const PlannedCell& cell : plan.cells) {
        const QPoint origin(cell.column * cellPixels_ - scroll.x(), cell.row * cellPixels_ - scroll.y());
        painter.setCompositionMode(ModeOf(RasterOp::And));
        if (cell.labelFrame) {
            painter.drawImage(origin, pictures_.Picture(cell.kind, PictureVariant::Black));
            painter.drawImage(origin, pictures_.Picture(KindLabelFrame, PictureVariant::Black));
        }
        painter.setCompositionMode(ModeOf(cell.op));
        painter.drawImage(origin, pictures_.Picture(cell.kind, cell.variant));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

        std::array<Rect, OperandRectCount>* keep = nullptr;
        if (overlay != nullptr) {
            keep = &overlay->operandRectsAt(cell.row, cell.column);
            if (cell.elementRect)
                overlay->elementRectAt(cell.row, cell.column) = {origin.x(), origin.y(), origin.x() + cellPixels_,
                                                                 origin.y() + cellPixels_};
        }
        if (cell.textCount > 0) DrawTexts(painter, plan, cell, origin, keep);
    }
    painter.restore();
}

void DiagramPainter::PaintPage(QPainter& painter, const PaintPlan& plan, int page, const PrintLayout& layout,
                               qreal dpiX, qreal dpiY) {
    painter.save();
    // From here on one unit is one screen pixel of the cell; a cell keeps its logical size on paper.
    painter.scale(metrics_.w * dpiX / (cellPixels_ * 254.0), metrics_.h * dpiY / (cellPixels_ * 254.0));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::black);
    for (const PlannedCell& cell : plan.cells) {
        const LogicalPoint at = PrintCellOrigin(page, cell.row, cell.column, metrics_, layout);
        const QPointF origin(static_cast<qreal>(at.x) * cellPixels_ / metrics_.w,
                             static_cast<qreal>(at.y) * cellPixels_ / metrics_.h);
        painter.save();
        painter.translate(origin);
        painter.scale(static_cast<qreal>(cellPixels_) / CellPixels, static_cast<qreal>(cellPixels_) / CellPixels);
        DrawKindPicture(painter, cell.kind, Qt::black);
        if (cell.labelFrame) DrawKindPicture(painter, KindLabelFrame, Qt::black);
        painter.restore();
        if (cell.textCount > 0) DrawTexts(painter, plan, cell, origin, nullptr);
    }
    painter.restore();
}

}  // namespace velmorin
