#pragma once
// Carries out a paint plan with QPainter. On the screen it combines the
// cached pictures with the raster image under them (AND, or XOR for the
// highlights) and keeps each element's and live value's device rectangle in
// the view's overlay for the live refresh; on paper it draws the same cells as
// shapes, where the print layout places them, at the metric size.
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPoint>
#include <QString>

#include <array>
#include <memory>
#include <string>

#include "editor/paint_plan.h"
#include "editor/print_layout.h"
#include "editor/ui/KindPictures.h"

class QPainter;

namespace velmorin {

class DiagramPainter {
public:
    // Fonts and pictures for cells of `metrics`, drawn `cellPixels` square
    // on the screen (64, or the view's zoom of it). A page keeps the metric
    // size whatever the screen shows.
    explicit DiagramPainter(const CellMetrics& metrics, qreal devicePixelRatio = 1.0, int cellPixels = CellPixels);
    ~DiagramPainter();
    DiagramPainter(const DiagramPainter&) = delete;
    DiagramPainter& operator=(const DiagramPainter&) = delete;

    const CellMetrics& metrics() const { return metrics_; }
    int cellPixels() const { return cellPixels_; }
    const TextMeasure& measure() const { return measure_; }
    const QFont& font(int index) const { return fonts_[static_cast<size_t>(index)]; }
    const KindPictureSet& pictures() const { return pictures_; }

    // A screen plan onto a raster image that shows the diagram from screen
    // pixel `scroll` on (in cells of cellPixels()). With an overlay, the device rectangles of live elements
    // and value texts are stored in it.
    void PaintScreen(QPainter& painter, const PaintPlan& plan, QPoint scroll, ViewOverlay* overlay = nullptr);

    // A page plan onto a printer whose painter measures in device pixels at
    // the given resolution, from the paper's top-left corner.
    void PaintPage(QPainter& painter, const PaintPlan& plan, int page, const PrintLayout& layout, qreal dpiX,
                   qreal dpiY);

private:
    struct ShapedText {
        QString text;
        qreal width;  // pixels
    };
    const ShapedText& Shape(const std::string& bytes, int font);
    void DrawTexts(QPainter& painter, const PaintPlan& plan, const PlannedCell& cell, QPointF origin,
                   std::array<Rect, OperandRectCount>* keep);

    CellMetrics metrics_;
    int cellPixels_;
    std::array<QFont, DiagramFontCount> fonts_;
    std::array<std::unique_ptr<QFontMetricsF>, DiagramFontCount> fontMetrics_;
    KindPictureSet pictures_;
    std::array<QHash<QByteArray, ShapedText>, DiagramFontCount> shaped_;
    TextMeasure measure_;
};

}  // namespace velmorin
