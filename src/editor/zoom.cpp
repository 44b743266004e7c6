#include "editor/zoom.h"

#include <algorithm>

namespace velmorin {

namespace {

// Division rounding toward minus infinity: points left of or above the
// diagram stay off it instead of folding onto its first cell.
int32_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return static_cast<int32_t>((a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q);
}

int32_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

}  // namespace

ViewZoom::ViewZoom(int32_t percent) {
    const int32_t clamped = std::clamp(percent, MinPercent, MaxPercent);
    const int32_t steps = (clamped - MinPercent + StepPercent / 2) / StepPercent;
    percent_ = MinPercent + steps * StepPercent;
}

ViewZoom ViewZoom::Stepped(int32_t steps) const {
    return ViewZoom(static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{percent_} + int64_t{steps} * StepPercent, MinPercent, MaxPercent)));
}

int32_t ViewZoom::ToDiagram(int32_t screen) const { return FloorDiv(int64_t{screen} * 100, percent_); }

int32_t ViewZoom::ToScreen(int32_t diagram) const { return FloorDiv(int64_t{diagram} * percent_, 100); }

PixelRect ViewZoom::ToScreen(const PixelRect& diagram) const {
    const int32_t left = ToScreen(diagram.x);
    const int32_t top = ToScreen(diagram.y);
    const int32_t right = CeilDiv((int64_t{diagram.x} + diagram.width) * percent_, 100);
    const int32_t bottom = CeilDiv((int64_t{diagram.y} + diagram.height) * percent_, 100);
    return {left, top, right - left, bottom - top};
}

int32_t ZoomWheel::Steps(int32_t angleDelta) {
    if (angleDelta == 0) return 0;
    if ((pending_ > 0 && angleDelta < 0) || (pending_ < 0 && angleDelta > 0)) pending_ = 0;
    pending_ += angleDelta;
    const int32_t steps = pending_ / Notch;
    pending_ -= steps * Notch;
    return steps;
}

}  // namespace velmorin
