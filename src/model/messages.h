#pragma once
// Fixed user-visible texts of the model and file layer (UTF-8).
namespace velmorin::msg {

inline constexpr const char* FileOpenError = "Error al abrir el archivo";
inline constexpr const char* NotSourceFile = "No es un archivo fuente Ladder Vadri";
inline constexpr const char* NotImageFile = "No es un archivo binario Ladder Vadri";
inline constexpr const char* NotMonitorFile = "No es un archivo monitor Ladder Vadri";
inline constexpr const char* IncompatibleVersion = "Version incompatible con el archivo";
inline constexpr const char* FileCorrupt = "Error en el archivo";
inline constexpr const char* ImageCorrupt = "Error en el archivo binario";
inline constexpr const char* DiscardQuestion = "El diagrama fue editado. Descarta los cambios?";
inline constexpr const char* DiscardCaption = "Descartar";
// A number, a time, a name or a value the user typed that cannot be taken.
inline constexpr const char* InvalidData = "Edición de datos inválido";
inline constexpr const char* NothingToCompile = "No hay elementos para compilar";

}  // namespace velmorin::msg
