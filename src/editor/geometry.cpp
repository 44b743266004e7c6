#include "editor/geometry.h"

#include <algorithm>

namespace velmorin {

std::optional<CellHit> CellAt(PixelPoint point) {
    // Points left of or above the diagram fold onto no cell rather than
    // mirroring into it.
    if (point.x < 0 || point.y < 0) return std::nullopt;
    CellHit hit;
    hit.cell = {point.x / CellPixels, point.y / CellPixels};
    if (!IsEditable(hit.cell)) return std::nullopt;
    hit.xHalf = point.x % CellPixels < CellPixels / 2 ? -1 : 1;
    hit.yHalf = point.y % CellPixels < CellPixels / 2 ? -1 : 1;
    return hit;
}

PixelPoint CellAnchor(CellPos cell) { return {CellPixels * cell.column, CellPixels * (cell.row + 1)}; }

PixelRect CellRect(CellPos cell) { return {CellPixels * cell.column, CellPixels * cell.row, CellPixels, CellPixels}; }

PixelRect CellsRect(CellPos a, CellPos b) {
    const CellPos low{std::min(a.column, b.column), std::min(a.row, b.row)};
    const CellPos high{std::max(a.column, b.column), std::max(a.row, b.row)};
    return {CellPixels * low.column, CellPixels * low.row, CellPixels * (high.column - low.column + 1),
            CellPixels * (high.row - low.row + 1)};
}

PixelRect Unite(const PixelRect& a, const PixelRect& b) {
    const int32_t left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const int32_t right = std::max(a.x + a.width, b.x + b.width);
    const int32_t bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

PixelRect SquareAround(PixelPoint centre) {
    return {centre.x - CellPixels, centre.y - CellPixels, 2 * CellPixels, 2 * CellPixels};
}

PixelRect SquareAroundAnchor(CellPos cell) { return SquareAround(CellAnchor(cell)); }

PixelPoint CellCentre(CellPos cell) {
    return {CellPixels * cell.column + CellPixels / 2, CellPixels * cell.row + CellPixels / 2};
}

PixelPoint HalfPoint(CellPos cell, int32_t xHalf, int32_t yHalf) {
    const int32_t quarter = CellPixels / 4;
    return {CellPixels * cell.column + (xHalf < 0 ? quarter : CellPixels - quarter),
            CellPixels * cell.row + (yHalf < 0 ? quarter : CellPixels - quarter)};
}

namespace {

int32_t ScrollAxis(int32_t start, int32_t length, int32_t origin, int32_t visible) {
    if (start < origin) return start;
    // A target longer than the viewport shows its start.
    if (start + length > origin + visible) return std::min(start, start + length - visible);
    return origin;
}

}  // namespace

PixelPoint ScrollToShow(PixelRect target, PixelPoint origin, PixelSize size) {
    return {ScrollAxis(target.x, target.width, origin.x, size.width),
            ScrollAxis(target.y, target.height, origin.y, size.height)};
}

PixelPoint PlaceBeside(const PixelRect& target, PixelSize size, const PixelRect& screen) {
    constexpr int32_t Gap = 8;
    const auto keepOn = [](int32_t at, int32_t length, int32_t first, int32_t room) {
        return std::max(first, std::min(at, first + room - length));
    };
    const auto covered = [&](PixelPoint at) {
        const int64_t w = std::min(at.x + size.width, target.x + target.width) - std::max(at.x, target.x);
        const int64_t h = std::min(at.y + size.height, target.y + target.height) - std::max(at.y, target.y);
        return w > 0 && h > 0 ? w * h : 0;
    };
    const PixelPoint sides[] = {
        {target.x + target.width + Gap, target.y},
        {target.x - size.width - Gap, target.y},
        {target.x, target.y + target.height + Gap},
        {target.x, target.y - size.height - Gap},
    };
    PixelPoint best;
    int64_t least = -1;
    for (const PixelPoint& side : sides) {
        const PixelPoint at{keepOn(side.x, size.width, screen.x, screen.width),
                            keepOn(side.y, size.height, screen.y, screen.height)};
        const int64_t cover = covered(at);
        if (cover == 0) return at;
        if (least < 0 || cover < least) {
            least = cover;
            best = at;
        }
    }
    return best;
}

}  // namespace velmorin
