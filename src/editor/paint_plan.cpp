#include "editor/paint_plan.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace velmorin {
namespace {

constexpr int32_t TextMargin = 16;                      // logical units the centring leaves on the right
constexpr int32_t LabelRailKind = KindCornerDownRight;  // first left-rail cell of a block

int32_t FloorDiv(int32_t a, int32_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

bool Drawable(int32_t kind) { return kind >= 0 && kind < ShapeEmpty; }

bool InSelection(const BlockSelection& selection, int32_t row, int32_t column) {
    const auto [firstColumn, lastColumn] = std::minmax(selection.fixed.column, selection.moving.column);
    const auto [firstRow, lastRow] = std::minmax(selection.fixed.row, selection.moving.row);
    return column >= firstColumn && column <= lastColumn && row >= firstRow && row <= lastRow;
}

bool Same(const CellPos& cell, int32_t row, int32_t column) { return cell.row == row && cell.column == column; }
bool IsSet(const CellPos& cell) { return cell.row >= 0 && cell.column >= 0; }

// Kinds whose first text is the element's mnemonic.
bool ShowsMnemonic(int32_t kind) {
    return kind == KindBoxOneSided || kind == KindBoxTwoSided || kind == KindBoxUpperHalf || kind == KindConditional;
}

std::string UpperCase(const char* text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The text a parameter shows by its kind; empty for an unset or unknown choice.
std::string ParameterText(const ProgramModel& model, const ParamDef& def, const ParamSlot& slot) {
    if (slot[0] == Unchosen) return {};
    switch (def.kind) {
        case ParamKind::Number:
        case ParamKind::Time10:
        case ParamKind::Time100:
            return SlotText(slot);
        case ParamKind::Label: {
            const int32_t index = static_cast<int8_t>(slot[0]);
            if (index < 0 || index >= LabelCount) return {};
            return FieldText(model.labels[static_cast<size_t>(index)].alias);
        }
        case ParamKind::Variable: {
            const int32_t index = static_cast<int8_t>(slot[0]);
            if (index < 0 || index >= AliasCount) return {};
            return FieldText(model.aliases[static_cast<size_t>(index)].alias);
        }
        default:
            return {};
    }
}

class Planner {
public:
    Planner(const ProgramModel& model, const PaintInputs& inputs, const CellMetrics& metrics,
            const TextMeasure& measure, PaintPlan& plan)
        : model_(model), inputs_(inputs), metrics_(metrics), measure_(measure), plan_(plan) {}

    void Run() {
        // Paper shows the program alone.
        overlay_ = inputs_.printing ? nullptr : inputs_.overlay;
        if (overlay_ != nullptr) selectionState_ = overlay_->selection.state;
        const bool live = inputs_.live && !inputs_.printing;
        plan_.live = live;
        const int32_t first = std::max(inputs_.rows.first, 0);
        const int32_t last = std::min(inputs_.rows.last, GridRows - 1);
        for (int32_t row = first; row <= last; ++row) {
            for (int32_t column = 0; column < GridColumns; ++column) PlanCell(row, column, live);
        }
        if (live) plan_.monitoredOperands = FinishOperandList(scratch_);
    }

private:
    void PlanCell(int32_t row, int32_t column, bool live) {
        const LadderCell& cell = model_.grid.at(row, column);
        // A damaged kind has no picture; for the highlights it counts as empty.
        int32_t kind = Drawable(cell.shape) ? cell.shape : ShapeEmpty;
        const bool empty = kind == ShapeEmpty;
        RasterOp op = RasterOp::And;
        bool elementRect = false;
        const bool pending = overlay_ != nullptr && overlay_->ErasePending({column, row});
        // An erased cell that no later edit has filled again shows blank once.
        if (pending && empty) kind = KindBlank;

        if (live) {
            if (CellElement(cell) != nullptr) {
                elementRect = true;
                CollectMonitoredOperands(cell, scratch_);
            }
        } else if (overlay_ != nullptr) {
            const ViewOverlay& overlay = *overlay_;
            if (selectionState_ != 0 && InSelection(overlay.selection, row, column)) {
                if (selectionState_ < 0) {
                    // The ended selection shows for the last time as plain cells.
                    selectionState_ = 0;
                    plan_.selectionCleared = true;
                } else {
                    if (empty) kind = KindBlank;
                    op = RasterOp::Xor;
                }
            }
            if (Same(overlay.hover, row, column) && !IsSet(overlay.marked)) {
                if (empty) kind = KindBlank;
                op = RasterOp::Xor;
            }
            if (Same(overlay.marked, row, column)) {
                if (empty) kind = KindBlank;
                op = RasterOp::Xor;
            }
        }

        PictureVariant variant = PictureVariant::Black;
        const int8_t colour = live && overlay_ != nullptr ? overlay_->colourAt(row, column) : int8_t{ColourBlack};
        if (live && column >= 1 && column <= 8 && KindHasColourVariants(kind) &&
            (colour == ColourRed || colour == ColourGreen)) {
            variant = static_cast<PictureVariant>(colour);
        }

        if (Drawable(kind)) {
            PlannedCell planned;
            planned.row = row;
            planned.column = column;
            planned.kind = kind;
            planned.variant = variant;
            planned.op = op;
            planned.labelFrame = column == 0 && cell.shape == LabelRailKind;
            planned.opaqueText = op == RasterOp::Xor;
            planned.elementRect = elementRect;
            planned.firstText = static_cast<int32_t>(plan_.texts.size());
            if (cell.shape != KindBlank) AddTexts(cell, row, column, live);
            planned.textCount = static_cast<int32_t>(plan_.texts.size()) - planned.firstText;
            plan_.cells.push_back(planned);
        }
        if (pending) plan_.erased.push_back({column, row});
    }

    void AddTexts(const LadderCell& cell, int32_t row, int32_t column, bool live) {
        const size_t first = plan_.texts.size();
        if (column == 0 && cell.shape == LabelRailKind) {
            const int32_t label = row / BlockRows;
            Add(FieldText(model_.labels[static_cast<size_t>(label)].alias), 0, ElementCatalogue[0].textOffsets[0], -1);
        } else if (const CatalogueEntry* entry = CellElement(cell)) {
            const bool mnemonic = ShowsMnemonic(cell.shape);
            if (mnemonic) Add(UpperCase(entry->mnemonic), 0, entry->textOffsets[0], -1);
            const int32_t params = std::clamp(entry->paramCount, 0, 3);
            for (int32_t i = 0; i < params; ++i) {
                const TextOffset anchor = entry->textOffsets[static_cast<size_t>(mnemonic ? i + 1 : i)];
                Add(ParameterText(model_, entry->paramDefs[static_cast<size_t>(i)],
                                  cell.params[static_cast<size_t>(i)]),
                    1, anchor, -1);
            }
            if (live && cell.shape != KindBoxLowerHalf) AddLiveValues(cell, *entry, first);
        }
        for (size_t i = first; i < plan_.texts.size(); ++i) Place(plan_.texts[i], cell.shape);
    }

    void AddLiveValues(const LadderCell& cell, const CatalogueEntry& entry, size_t firstOfCell) {
        static const LiveImageSnapshot zeros{};
        const LiveImageSnapshot& image = inputs_.liveImage != nullptr ? *inputs_.liveImage : zeros;
        for (size_t s = 0; s < entry.monitorSlots.size(); ++s) {
            const MonitorSlot& slot = entry.monitorSlots[s];
            if ((slot.flags & (MonitorPolled | MonitorText)) != (MonitorPolled | MonitorText)) continue;
            const int32_t operand = OperandIndex(cell, slot.param);
            if (operand < 0) continue;
            const std::optional<int32_t> value = LiveWord(image, LiveValueAddress(operand));
            if (!value) continue;
            std::string text = FormatLiveValue(*value, slot.flags);
            const int32_t top = OffsetToLogical(slot.point.dy, metrics_.h);
            // The value takes the place of an earlier text on its line (a timer's preset).
            auto same = std::find_if(plan_.texts.begin() + static_cast<std::ptrdiff_t>(firstOfCell), plan_.texts.end(),
                                     [top](const PlannedText& t) { return t.top == top; });
            if (same != plan_.texts.end()) {
                same->text = std::move(text);
                same->font = 1;
                same->slot = static_cast<int32_t>(s);
            } else {
                Add(std::move(text), 1, slot.point, static_cast<int32_t>(s));
            }
        }
    }

    // Records a text at its anchor; the horizontal place waits for the measure.
    void Add(std::string text, int32_t font, const TextOffset& anchor, int32_t slot) {
        if (text.empty()) return;
        PlannedText& t = plan_.texts.emplace_back();
        t.text = std::move(text);
        t.font = font;
        t.x = OffsetToLogical(anchor.dx, metrics_.w);
        t.top = OffsetToLogical(anchor.dy, metrics_.h);
        t.slot = slot;
    }

    void Place(PlannedText& t, int32_t kind) {
        t.width = measure_(t.text, t.font);
        if (t.width > NarrowTextLimit) {
            t.font = 2;
            t.width = measure_(t.text, t.font);
        }
        const int32_t room = TextRoom(kind, t.top, metrics_);
        if (t.width > room) {
            t.font = 2;
            t.width = measure_(t.text, t.font);
        }
        if (t.width > room) {
            // Cut before the character that no longer fits with the ellipsis after it.
            std::string cut = t.text;
            while (!cut.empty()) {
                cut.pop_back();
                const int32_t width = measure_(cut + Ellipsis, t.font);
                if (width <= room || cut.empty()) {
                    t.text = cut + Ellipsis;
                    t.width = width;
                    break;
                }
            }
        }
        // Integer division as the layout always did: centred, 8 units to the left.
        t.x += (metrics_.w - t.width - TextMargin) / 2;
    }

    const ProgramModel& model_;
    const PaintInputs& inputs_;
    const CellMetrics& metrics_;
    const TextMeasure& measure_;
    PaintPlan& plan_;
    const ViewOverlay* overlay_ = nullptr;
    int32_t selectionState_ = 0;
    std::vector<int32_t> scratch_;
};

}  // namespace

int32_t TextRoom(int32_t kind, int32_t top, const CellMetrics& metrics) {
    // Pixels of a 64-pixel cell: a box's inside between its sides less a
    // pixel or two of air on each side, and the conditional box's point,
    // which starts 18 pixels above the lower edge and leaves less at the
    // height of a text that reaches into it.
    constexpr int32_t BoxInside = 44, PointInside = 36, PointTop = 18;
    switch (kind) {
        case KindBoxOneSided:
        case KindBoxTwoSided:
        case KindBoxLowerHalf:
        case KindBoxUpperHalf:
            return OffsetToLogical(BoxInside, metrics.w);
        case KindConditional:
            if (top - DiagramTextHeight < OffsetToLogical(PointTop, metrics.h))
                return OffsetToLogical(PointInside, metrics.w);
            return OffsetToLogical(BoxInside, metrics.w);
        default:
            return metrics.w - TextMargin;
    }
}

CellMetrics CellMetricsForDpi(double dpiX, double dpiY) {
    const auto units = [](double dpi) {
        if (!(dpi > 0)) dpi = 96;
        return std::max<int32_t>(1, static_cast<int32_t>(std::lround(CellPixels * 254.0 / dpi)));
    };
    return {units(dpiX), units(dpiY)};
}

RowRange RowsToPaint(int32_t topPixel, int32_t bottomPixel) {
    // Row r's lower edge is at 64 (r + 1); it counts when it lies in [top - 64, bottom + 64].
    const int32_t first = -FloorDiv(-(topPixel - 2 * CellPixels), CellPixels);  // ceiling
    const int32_t last = FloorDiv(bottomPixel, CellPixels);
    return {std::max(first, 0), std::min(last, GridRows - 1)};
}

void PlanPaint(const ProgramModel& model, const PaintInputs& inputs, const CellMetrics& metrics,
               const TextMeasure& measure, PaintPlan& plan) {
    plan.cells.clear();
    plan.texts.clear();
    plan.erased.clear();
    plan.selectionCleared = false;
    plan.live = false;
    plan.monitoredOperands.clear();
    Planner(model, inputs, metrics, measure, plan).Run();
}

void FinishPaint(const PaintPlan& plan, ViewOverlay& overlay) {
    std::erase_if(overlay.pendingErase, [&plan](const CellPos& cell) {
        return std::find(plan.erased.begin(), plan.erased.end(), cell) != plan.erased.end();
    });
}

}  // namespace velmorin
