#include "model/operand_areas.h"

#include <cstdio>

namespace velmorin {

const std::array<OperandArea, 10> VariableAreas{{
    {0, 0, 7, "e%1d", 8, "Entradas"},
    {1, 8, 13, "s%1d", 6, "Salidas"},
    {2, 14, 59, "v%02d", 46, "Variables"},
    {3, 60, 75, "re%02d", 16, "Variables con retención"},
    {4, 76, 79, "Cnt%1d", 4, "Salida de contadores"},
    {5, 80, 83, "Tpv%1d", 4, "Salida de temporizadores variables"},
    {6, 84, 85, "Tpvf%1d", 2, "Salida de temporiz.variables rápidos"},
    {7, 86, 89, "Tp%1d", 4, "Salida de temporizadores fijos"},
    {8, 90, 91, "Tpf%1d", 2, "Salida de temporiz.fijos rápidos"},
    {-1, 0, 0, "", 0, ""},
}};

const std::array<OperandArea, 12> MonitorAreas{{
    {0, 0, 7, "e%1d", 8, "Entrada"},
    {1, 8, 13, "s%1d", 6, "Salida"},
    {2, 14, 59, "v%02d", 46, "Variable"},
    {3, 60, 75, "re%02d", 16, "Variable con retención"},
    {4, 76, 79, "Cnt%1d", 4, "Salida de contador"},
    {5, 80, 83, "Tpv%1d", 4, "Salida de temporizador variable"},
    {6, 84, 85, "Tpvf%1d", 2, "Salida de temporiz.variable rápido"},
    {7, 86, 89, "Tp%1d", 4, "Salida de temporizadore fijo"},
    {8, 90, 91, "Tpf%1d", 2, "Salida de temporiz.fijo rápido"},
    {9, 92, 99, "CntE%1d", 8, "Estado de cuenta del contador"},
    {10, 100, 124, "TpE%1d", 25, "Estado de cuenta del temporizador"},
    {-1, 0, 0, "", 0, ""},
}};

std::string FormatOperandName(std::span<const OperandArea> areaTable, int32_t index) {
    for (const OperandArea& area : areaTable) {
        if (area.id < 0) break;
        if (index < area.first || index > area.last) continue;
        // Count states take two indices per number.
        const int32_t step = index >= FirstCountState ? 2 : 1;
        const int32_t number = (index - area.first) / step + 1;
        char text[16];
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
        std::snprintf(text, sizeof text, area.format, number);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        return text;
    }
    return {};
}

}  // namespace velmorin
