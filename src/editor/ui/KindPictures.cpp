#include "editor/ui/KindPictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velmorin {
namespace {

constexpr int Size = CellPixels;
constexpr int Mid = 31;  // wires run on pixels 31 and 32 across and down
constexpr int Stroke = 2;

// Box geometry: the sides leave room at the left for the input wire and are
// centred where the texts are centred (slightly left of the cell's middle).
constexpr int BoxLeft = 4;
constexpr int BoxRight = 56;  // exclusive

enum Stub { Up = 1, Down = 2, Left = 4, Right = 8 };

// Wire pictures: the half lines from the centre that each kind shows.
int WireStubs(int kind) {
    switch (kind) {
        case KindCornerDownRight:
            return Down | Right;
        case KindCornerUpRight:
            return Up | Right;
        case KindCornerUpLeft:
            return Up | Left;
        case KindCornerDownLeft:
            return Down | Left;
        case KindCross:
            return Up | Down | Left | Right;
        case KindHalfDown:
            return Down;
        case KindHalfRight:
            return Right;
        case KindHalfUp:
            return Up;
        case KindHalfLeft:
            return Left;
        case KindHorizontal:
            return Left | Right;
        case KindTeeLeftRightUp:
            return Left | Right | Up;
        case KindTeeUpDownLeft:
            return Up | Down | Left;
        case KindTeeUpDownRight:
            return Up | Down | Right;
        case KindTeeLeftRightDown:
            return Left | Right | Down;
        case KindVertical:
            return Up | Down;
        default:
            return 0;
    }
}

void HorizontalLine(QPainter& p, int x0, int x1, int y, const QColor& ink) { p.fillRect(x0, y, x1 - x0, Stroke, ink); }
void VerticalLine(QPainter& p, int x, int y0, int y1, const QColor& ink) { p.fillRect(x, y0, Stroke, y1 - y0, ink); }

void DrawWire(QPainter& p, int stubs, const QColor& ink) {
    // Each stub reaches over the centre so that corners and tees close.
    if (stubs & Left) HorizontalLine(p, 0, Mid + Stroke, Mid, ink);
    if (stubs & Right) HorizontalLine(p, Mid, Size, Mid, ink);
    if (stubs & Up) VerticalLine(p, Mid, 0, Mid + Stroke, ink);
    if (stubs & Down) VerticalLine(p, Mid, Mid, Size, ink);
}

void Polyline(QPainter& p, std::initializer_list<QPointF> points, const QColor& ink, qreal width = Stroke) {
    QPen pen(ink, width);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(points.begin(), static_cast<int>(points.size()));
}

// A box side to side between two heights, with the lines it is given.
void DrawBox(QPainter& p, int top, int bottom, bool topLine, bool bottomLine, const QColor& ink) {
    VerticalLine(p, BoxLeft, top, bottom, ink);
    VerticalLine(p, BoxRight - Stroke, top, bottom, ink);
    if (topLine) HorizontalLine(p, BoxLeft, BoxRight, top, ink);
    if (bottomLine) HorizontalLine(p, BoxLeft, BoxRight, bottom - Stroke, ink);
}

void DrawContact(QPainter& p, bool closed, const QColor& ink) {
    HorizontalLine(p, 0, 20, Mid, ink);
    HorizontalLine(p, 44, Size, Mid, ink);
    VerticalLine(p, 20, 18, 46, ink);
    VerticalLine(p, 42, 18, 46, ink);
    if (closed) Polyline(p, {QPointF(15, 48), QPointF(48, 15)}, ink);
}

void DrawCoil(QPainter& p, const QColor& ink) {
    HorizontalLine(p, 0, 20, Mid, ink);
    HorizontalLine(p, 44, Size, Mid, ink);
    QPen pen(ink, Stroke);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF circle(19, 16, 26, 32);
    p.drawArc(circle, 125 * 16, 110 * 16);  // the left bracket
    p.drawArc(circle, -55 * 16, 110 * 16);  // the right bracket
}

void DrawCrossOut(QPainter& p, bool framed, const QColor& ink) {
    Polyline(p, {QPointF(10, 10), QPointF(53, 53)}, ink, 4);
    Polyline(p, {QPointF(53, 10), QPointF(10, 53)}, ink, 4);
    if (framed) {
        HorizontalLine(p, 4, 60, 4, ink);
        HorizontalLine(p, 4, 60, 58, ink);
        VerticalLine(p, 4, 4, 60, ink);
        VerticalLine(p, 58, 4, 60, ink);
    }
}

}  // namespace

QColor PictureInk(PictureVariant variant) {
    switch (variant) {
        case PictureVariant::Red:
            return QColor(255, 0, 0);
        case PictureVariant::Green:
            return QColor(0, 255, 0);
        default:
            return QColor(0, 0, 0);
    }
}

void DrawKindPicture(QPainter& p, int kind, const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (const int stubs = WireStubs(kind)) {
        DrawWire(p, stubs, ink);
        p.restore();
        return;
    }
    switch (kind) {
        case KindBoxOneSided:
            HorizontalLine(p, 0, BoxLeft, Mid, ink);
            DrawBox(p, 0, Size, true, true, ink);
            break;
        case KindBoxTwoSided:
            HorizontalLine(p, 0, BoxLeft, Mid, ink);
            HorizontalLine(p, BoxRight, Size, Mid, ink);
            DrawBox(p, 0, Size, true, true, ink);
            break;
        case KindBoxLowerHalf:
            // The second input of a counter or timer; the box goes on from the cell above.
            HorizontalLine(p, 0, BoxLeft, Mid, ink);
            DrawBox(p, 0, Size, false, true, ink);
            break;
        case KindBoxUpperHalf:
            HorizontalLine(p, 0, BoxLeft, Mid, ink);
            HorizontalLine(p, BoxRight, Size, Mid, ink);
            DrawBox(p, 0, Size, true, false, ink);
            break;
        case KindContactOpen:
            DrawContact(p, false, ink);
            break;
        case KindContactClosed:
            DrawContact(p, true, ink);
            break;
        case KindConditional:
            HorizontalLine(p, 0, BoxLeft, Mid, ink);
            DrawBox(p, 0, 46, true, false, ink);
            Polyline(p, {QPointF(BoxLeft + 1, 46), QPointF(30, 61), QPointF(BoxRight - 2, 46)}, ink);
            break;
        case KindCoil:
            DrawCoil(p, ink);
            break;
        case KindBlank:
            break;
        case KindCrossOut:
            DrawCrossOut(p, false, ink);
            break;
        case KindLabelFrame:
            // Around the label's name at the top of the rail's first cell.
            HorizontalLine(p, 1, 63, 1, ink);
            HorizontalLine(p, 1, 63, 22, ink);
            VerticalLine(p, 1, 1, 24, ink);
            VerticalLine(p, 61, 1, 24, ink);
            break;
        case KindCrossOutAlt:
            DrawCrossOut(p, true, ink);
            break;
        case KindRedSquare:
            p.fillRect(8, 8, 48, 48, PictureInk(PictureVariant::Red));
            break;
        case KindGreenSquare:
            p.fillRect(8, 8, 48, 48, PictureInk(PictureVariant::Green));
            break;
        default:
            break;
    }
    p.restore();
}

KindPictureSet::KindPictureSet(qreal devicePixelRatio, qreal scale)
    : ratio_(devicePixelRatio > 0 ? devicePixelRatio : 1.0), scale_(scale > 0 ? scale : 1.0) {}

const QImage& KindPictureSet::Picture(int kind, PictureVariant variant) const {
    kind = std::clamp(kind, 0, PictureKindCount - 1);
    if (variant != PictureVariant::Black && !KindHasColourVariants(kind)) variant = PictureVariant::Black;
    QImage& picture = pictures_[static_cast<size_t>(kind)][static_cast<size_t>(variant)];
    if (picture.isNull()) {
        const int side = static_cast<int>(std::lround(Size * scale_ * ratio_));
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(ratio_ * scale_, ratio_ * scale_);
            DrawKindPicture(painter, kind, PictureInk(variant));
        }
        image.setDevicePixelRatio(ratio_);
        picture = std::move(image);
    }
    return picture;
}

}  // namespace velmorin
