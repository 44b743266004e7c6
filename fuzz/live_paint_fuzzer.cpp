// Feeds controller bytes and damaged cells to the paint plan and the live
// refresh: the first 256 bytes are the live image, the rest cell records
// (row, column, kind, element, colour state, four parameter slots) written
// straight into the grid and the view's overlay, as no file could; a colour
// byte with bit 6 set also marks the cell erased. Nothing may read past a
// slot or an image, what comes out must stay inside its tables, neither
// painting nor the refresh may change the program, and a screen paint
// forgets the erasures it drew.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "editor/live_values.h"
#include "editor/paint_plan.h"
#include "editor/print_layout.h"

namespace {

constexpr size_t RecordBytes = 5 + 4 * 10;

int32_t Measure(std::string_view text, int32_t font) {
    return static_cast<int32_t>(text.size()) * (font == 2 ? 13 : 17);
}

void CheckPlan(const velmorin::PaintPlan& plan) {
    using namespace velmorin;
    for (const PlannedCell& cell : plan.cells) {
        if (cell.kind < 0 || cell.kind > KindGreenSquare) std::abort();
        if (cell.firstText < 0 || cell.firstText + cell.textCount > static_cast<int32_t>(plan.texts.size()))
            std::abort();
    }
    for (const PlannedText& text : plan.texts) {
        if (text.text.empty() || text.text.size() > 10 || text.font < 0 || text.font > 2) std::abort();
    }
    if (plan.live) {
        const MonitoredOperandList& list = plan.monitoredOperands;
        if (list.empty() || list.back() != -1) std::abort();
        bool seen[256] = {};
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            if (list[i] < 0 || list[i] > 255 || seen[list[i]]) std::abort();
            seen[list[i]] = true;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmorin;
    static ProgramModel* const reset = [] {
        auto* m = new ProgramModel;
        ResetModel(*m);
        return m;
    }();
    static ProgramModel* const model = new ProgramModel;
    *model = *reset;
    static ViewOverlay* const overlay = new ViewOverlay;
    *overlay = ViewOverlay{};

    LiveImageSnapshot image{};
    const size_t imageBytes = size < image.size() ? size : image.size();
    std::memcpy(image.data(), data, imageBytes);
    data += imageBytes;
    size -= imageBytes;
    for (; size >= RecordBytes; data += RecordBytes, size -= RecordBytes) {
        const int32_t row = data[0] % GridRows, column = data[1] % GridColumns;
        LadderCell& cell = model->grid.at(row, column);
        cell.shape = static_cast<int8_t>(data[2]);
        cell.element = static_cast<int8_t>(data[3]);
        overlay->colourAt(row, column) = static_cast<int8_t>(data[4]);
        if ((data[4] & 0x40) != 0) overlay->MarkErased({column, row});
        for (size_t slot = 0; slot < 4; ++slot) std::memcpy(cell.params[slot].data(), data + 5 + 10 * slot, 10);
        overlay->elementRectAt(row, column) = {data[0], data[1], data[0] + 64, data[1] + 64};
        overlay->operandRectsAt(row, column)[1] = {data[1], data[0], data[1] + 40, data[0] + 15};
    }
    const LadderGrid drawn = model->grid;

    const CellMetrics metrics{169, 169};
    PaintPlan plan;
    PaintInputs inputs;
    inputs.rows = {image[0] % GridRows, image[0] % GridRows + 16};
    inputs.overlay = overlay;
    overlay->hover = {image[1] % GridColumns, image[2] % GridRows};
    overlay->selection = {
        static_cast<int8_t>(image[3]), {image[4] % 10, image[5] % 97}, {image[6] % 10, image[7] % 97}};
    overlay->marked = {static_cast<int8_t>(image[8]), static_cast<int8_t>(image[9])};
    PlanPaint(*model, inputs, metrics, Measure, plan);
    CheckPlan(plan);
    FinishPaint(plan, *overlay);
    for (const CellPos& cell : plan.erased) {
        if (overlay->ErasePending(cell)) std::abort();
    }

    inputs.live = true;
    inputs.liveImage = &image;
    PlanPaint(*model, inputs, metrics, Measure, plan);
    CheckPlan(plan);

    PlanPaint(*model, PrintPageInputs(1 + image[10] % 8), metrics, Measure, plan);
    CheckPlan(plan);
    if (!plan.erased.empty()) std::abort();

    const LiveRefresh refresh = RefreshLive(model->grid, image, *overlay);
    for (const Rect& r : refresh.invalidated) {
        if (r.right <= r.left || r.bottom <= r.top) std::abort();
    }
    if (std::memcmp(&drawn, &model->grid, sizeof drawn) != 0) std::abort();
    return 0;
}
