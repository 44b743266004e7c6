#pragma once
// Fixed user-visible texts of the editor (UTF-8).
namespace velmorin::msg {

inline constexpr const char* EmptyParameter = "Parámetro vacío";
inline constexpr const char* DuplicateLabel = "Etiqueta duplicada";
inline constexpr const char* DuplicateVariable = "Variable duplicada";
inline constexpr const char* NoJumpTargets = "No hay direcciones de salto disponible";
// printf format: the refusal reason 1-13.
inline constexpr const char* PasteRefused = "No se puede pegar el bloque: %d";

// Inserting, deleting and moving whole blocks.
inline constexpr const char* BlockInsertLastInUse = "No se puede insertar un bloque: el último bloque está en uso";
inline constexpr const char* BlockMoveJumpBackwards =
    "No se puede mover el bloque: un salto quedaría apuntando a su propio bloque o a uno anterior";
inline constexpr const char* BlockAlreadyFirst = "El bloque ya es el primero";
inline constexpr const char* BlockAlreadyLast = "El bloque ya es el último";

// Find. The note goes to the status bar when a search went past an end.
inline constexpr const char* NothingFound = "No se encontró";
inline constexpr const char* FindWrappedToStart = "Búsqueda continuada desde el principio";
inline constexpr const char* FindWrappedToEnd = "Búsqueda continuada desde el final";

// Headings of the parameter dialog's two-column list.
inline constexpr const char* OperandHeading = "Memoria";
inline constexpr const char* LabelHeading = "Etiqueta";
inline constexpr const char* AliasHeading = "Alias";

}  // namespace velmorin::msg
