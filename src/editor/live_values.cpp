#include "editor/live_values.h"

#include <algorithm>
#include <cstdio>

#include "model/operand_areas.h"

namespace velmorin {
namespace {

constexpr int32_t FirstWordOperand = 76;  // counter and timer outputs

// Colour of a cell whose state follows bit 0 of an operand.
int8_t OperandColour(const LiveImageSnapshot& image, int32_t operand) {
    if (operand < 0 || operand >= static_cast<int32_t>(image.size())) return ColourBlack;
    return (image[static_cast<size_t>(operand)] & 1) != 0 ? ColourGreen : ColourRed;
}

void Invalidate(LiveRefresh& refresh, const Rect& rect) {
    // A rectangle never painted (its row was not visible) has nothing to repaint.
    if (rect.right > rect.left && rect.bottom > rect.top) refresh.invalidated.push_back(rect);
}

}  // namespace

const CatalogueEntry* CellElement(const LadderCell& cell) {
    if (cell.element < 0 || cell.element >= ElementNone) return nullptr;
    if (!KindHas(cell.shape, AttrElement)) return nullptr;
    return &CatalogueEntryFor(cell.element);
}

int32_t OperandIndex(const LadderCell& cell, int32_t param) {
    if (param < 1 || param > ParamSlots) return -1;
    // The index byte is signed: 0xFF is "not chosen", and so is any other negative value.
    return static_cast<int8_t>(cell.params[static_cast<size_t>(param - 1)][0]);
}

int32_t LiveValueAddress(int32_t operandIndex) {
    return operandIndex >= FirstWordOperand ? CountStateIndex(operandIndex) : operandIndex;
}

std::optional<int32_t> LiveWord(const LiveImageSnapshot& image, int32_t address) {
    if (address < 0 || address + 1 >= static_cast<int32_t>(image.size())) return std::nullopt;
    const auto low = image[static_cast<size_t>(address)];
    const auto high = image[static_cast<size_t>(address + 1)];
    return static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
}

std::string FormatLiveValue(int32_t value, int32_t slotFlags) {
    char text[32];
    if ((slotFlags & MonitorTenths) != 0) {
        std::snprintf(text, sizeof text, "%5.1f", value * 0.1);
    } else if ((slotFlags & MonitorHundredths) != 0) {
        std::snprintf(text, sizeof text, "%5.2f", value * 0.01);
    } else {
        std::snprintf(text, sizeof text, "%5d", value);
    }
    return text;
}

void CollectMonitoredOperands(const LadderCell& cell, std::vector<int32_t>& scratch) {
    const CatalogueEntry* entry = CellElement(cell);
    // The lower half of a two-row box repeats the upper half's element.
    if (entry == nullptr || cell.shape == KindBoxLowerHalf) return;
    for (const MonitorSlot& slot : entry->monitorSlots) {
        if ((slot.flags & MonitorPolled) == 0) continue;
        const int32_t operand = OperandIndex(cell, slot.param);
        scratch.push_back(operand);
        if (operand >= FirstWordOperand) scratch.push_back(CountStateIndex(operand));
    }
}

MonitoredOperandList FinishOperandList(const std::vector<int32_t>& scratch) {
    MonitoredOperandList list;
    std::array<bool, 256> seen{};
    for (const int32_t address : scratch) {
        if (address < 0 || address >= static_cast<int32_t>(seen.size())) continue;
        if (seen[static_cast<size_t>(address)]) continue;
        seen[static_cast<size_t>(address)] = true;
        list.push_back(address);
    }
    list.push_back(-1);
    return list;
}

LiveRefresh RefreshLive(const LadderGrid& grid, const LiveImageSnapshot& image, ViewOverlay& overlay) {
    LiveRefresh refresh;
    for (int32_t row = 0; row < GridRows; ++row) {
        for (int32_t column = 0; column < GridColumns; ++column) {
            const LadderCell& cell = grid.at(row, column);
            int8_t& colour = overlay.colourAt(row, column);
            // An unknown id is reported, and the rest of the diagram is still refreshed.
            if (UnknownElement(cell.element)) refresh.allKnown = false;
            const CatalogueEntry* entry = CellElement(cell);
            if (entry == nullptr) {
                colour = ColourBlack;
                continue;
            }
            for (size_t s = 0; s < entry->monitorSlots.size(); ++s) {
                const MonitorSlot& slot = entry->monitorSlots[s];
                if ((slot.flags & MonitorColour) != 0) {
                    int8_t state = ColourBlack;
                    if (cell.shape == KindBoxLowerHalf) {
                        // Rows run top-down, so the upper half is already refreshed.
                        if (row > 0) state = overlay.colourAt(row - 1, column);
                    } else {
                        state = OperandColour(image, OperandIndex(cell, slot.param));
                    }
                    if (state != colour) {
                        colour = state;
                        Invalidate(refresh, overlay.elementRectAt(row, column));
                    }
                }
                if ((slot.flags & MonitorText) != 0) Invalidate(refresh, overlay.operandRectsAt(row, column)[s]);
            }
        }
    }
    return refresh;
}

}  // namespace velmorin
