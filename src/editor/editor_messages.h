#pragma once
// Fixed user-visible texts of the editor (UTF-8).
namespace velmorin::msg {

inline constexpr const char* EmptyParameter = "Parámetro vacío";
inline constexpr const char* DuplicateLabel = "Etiqueta duplicada";
inline constexpr const char* DuplicateVariable = "Variable duplicada";
inline constexpr const char* NoJumpTargets = "No hay direcciones de salto disponible";
// printf format: the refusal reason 1-13.
inline constexpr const char* PasteRefused = "No se puede pegar el bloque: %d";

// Headings of the parameter dialog's two-column list.
inline constexpr const char* OperandHeading = "Memoria";
inline constexpr const char* LabelHeading = "Etiqueta";
inline constexpr const char* AliasHeading = "Alias";

}  // namespace velmorin::msg
