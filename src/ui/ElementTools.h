#pragma once
// The element tools as every window shows them: the kind a tool lays down,
// its menu caption, its icon and its prompt (the status-bar text, then the
// tooltip after "\n"). The frame's command table and the palette both read
// this one table.
#include <QString>

#include <span>

#include "model/cell_kinds.h"

namespace velmorin {

struct ElementTool {
    int kind;
    const char* caption;  // nullptr: on the toolbar and the palette only
    const char* icon;     // resource path
    const char* prompt;
};

inline constexpr ElementTool ElementTools[] = {
    {KindVertical, "VERT", ":/icons/vert.svg", "Inserta una línea vertical\nVertical"},
    {KindHorizontal, "HORIZ", ":/icons/horiz.svg", "Inserta una línea horizontal\nHorizontal"},
    {KindContactOpen, "LD", ":/icons/ld.svg", "Inserta una carga de acumulador \nLD"},
    {KindContactClosed, "LDN", ":/icons/ldn.svg", "Inserta una carga negada de acumulador\nLDN"},
    {KindCoil, "OUT", ":/icons/out.svg", "Inserta una bobina de salida\nOUT"},
    {KindConditional, "IF", ":/icons/if.svg", "Inserta una caja de condición o de salto\nIF1,IF0,IFV1,JP1,JP0,JPV1"},
    {KindBoxOneSided, "CAJA1", ":/icons/caja1.svg", "Inserta una caja de un solo lado\nEND,GOTO,RJP"},
    {KindBoxTwoSided, "CAJA2", ":/icons/caja2.svg",
     "Inserta una caja de dos lados\nRST,SET,SETB,TP,TPF,TPV,TPVF,OSC,GOSUB,RCT,RTP,NOT,SETIF1,XOR,CLRIF1,NOTA"},
    {KindBoxLowerHalf, "CNTV", ":/icons/cntv.svg", "Inserta un contador de dos filas\nCNTV"},
    {KindBlank, nullptr, ":/icons/delete.svg", "Elimina un elemento\nEliminar"},
};

// The tool that lays down `kind`; usable in constant initialisation, so a
// table elsewhere may take its fields.
constexpr const ElementTool& ElementToolOf(int kind) {
    for (const ElementTool& tool : ElementTools)
        if (tool.kind == kind) return tool;
    // Not a tool: no constant initialisation can get past this.
    throw "no element tool lays down this kind";
}

// The same lookup for a kind that may not be a tool: nullptr then.
const ElementTool* FindElementTool(int kind);

// The status-bar text and the tooltip of a prompt.
QString PromptStatusText(const char* prompt);
QString PromptToolTip(const char* prompt);

}  // namespace velmorin
