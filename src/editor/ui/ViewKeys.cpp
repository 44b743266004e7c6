#include "editor/ui/ViewKeys.h"

namespace velmorin {
namespace {

constexpr ViewKeyDef ViewKeys[] = {
    {"Flechas", "Mueven el cursor (la celda marcada) y desplazan el diagrama para mostrarlo", ViewKeyGroup::Arrows,
     Qt::NoModifier, ViewKeyAction::MoveCursor},
    {"Intro",
     "Hace en la celda del cursor lo que un clic con la herramienta elegida; con HORIZ o VERT, la línea "
     "entera",
     ViewKeyGroup::Enter, Qt::NoModifier, ViewKeyAction::Place},
    {"Alt+Flecha", "Con HORIZ o VERT, media línea hacia ese lado de la celda del cursor", ViewKeyGroup::Arrows,
     Qt::AltModifier, ViewKeyAction::PlaceHalf},
    {"Supr", "Borra el elemento o la línea de la celda del cursor", ViewKeyGroup::Delete, Qt::NoModifier,
     ViewKeyAction::Erase},
    {"Mayús+Flechas",
     "Seleccionan un bloque dentro de un mismo bloque de cuatro filas; al soltar Mayús se abre el "
     "cuadro Bloque (Cortar, Copiar)",
     ViewKeyGroup::Arrows, Qt::ShiftModifier, ViewKeyAction::ExtendSelection},
    {"Mayús+arrastrar", "Seleccionar un bloque para copiarlo, cortarlo o pegarlo", ViewKeyGroup::None,
     Qt::ShiftModifier, ViewKeyAction::None},
    {"Ctrl+rueda", "Acerca o aleja el diagrama (del 50% al 200%, de 25 en 25) alrededor del puntero",
     ViewKeyGroup::None, Qt::ControlModifier, ViewKeyAction::None},
    {"Clic derecho",
     "Abre la paleta Elementos junto a la celda; otro clic derecho en la misma celda alterna HORIZ, "
     "VERT y Eliminar",
     ViewKeyGroup::None, Qt::NoModifier, ViewKeyAction::None},
};

ViewKeyGroup GroupOf(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return ViewKeyGroup::Arrows;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return ViewKeyGroup::Enter;
        case Qt::Key_Delete:
            return ViewKeyGroup::Delete;
        default:
            return ViewKeyGroup::None;
    }
}

}  // namespace

const std::span<const ViewKeyDef> ViewKeyTable = ViewKeys;

const ViewKeyDef* FindViewKey(int key, Qt::KeyboardModifiers modifiers) {
    const ViewKeyGroup group = GroupOf(key);
    if (group == ViewKeyGroup::None) return nullptr;
    // The keypad's arrows and Enter are the same keys.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    for (const ViewKeyDef& row : ViewKeys)
        if (row.group == group && held == row.modifier) return &row;
    return nullptr;
}

}  // namespace velmorin
