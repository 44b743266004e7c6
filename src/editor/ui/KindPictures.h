#pragma once
// Our own drawings of the cell kinds 0-28: 64 x 64 units, black lines on
// white, and the same drawing in pure red and pure green for the kinds that
// have colour variants. The screen combines cached raster copies with AND
// and XOR; the printer draws the shapes themselves so that they stay sharp.
#include <QColor>
#include <QImage>

#include <array>

#include "editor/paint_plan.h"

class QPainter;

namespace velmorin {

constexpr int PictureKindCount = 29;  // kinds 0..28

// The ink of a variant: black, pure red, pure green.
QColor PictureInk(PictureVariant variant);

// Draws a kind's shape in the painter's current coordinates, the cell being
// the square (0, 0)-(64, 64). Only ink is drawn: the background stays as it is.
void DrawKindPicture(QPainter& painter, int kind, const QColor& ink);

// The raster pictures of every kind and variant on a white background, at
// the given device-pixel ratio. Variants a kind does not have fall back to
// black. Each picture is drawn when it is first asked for: a diagram shows
// a few kinds, and the first paint need not wait for all of them.
class KindPictureSet {
public:
    // Pictures `scale` times their 64-pixel size (the view's zoom), drawn
    // from their shapes at that size rather than stretched.
    explicit KindPictureSet(qreal devicePixelRatio = 1.0, qreal scale = 1.0);
    const QImage& Picture(int kind, PictureVariant variant) const;
    qreal devicePixelRatio() const { return ratio_; }

private:
    qreal ratio_;
    qreal scale_;
    mutable std::array<std::array<QImage, 3>, PictureKindCount> pictures_;
};

}  // namespace velmorin
