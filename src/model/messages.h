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

// The alias table as CSV. The import's message says nothing changed; its
// detail (printf: the line number, then what the line holds) says why.
inline constexpr const char* AliasesNotImported = "No se importaron los alias; el diagrama no cambió";
inline constexpr const char* CsvNoHeader = "Línea %d: falta la cabecera memoria;alias";
inline constexpr const char* CsvFieldCount = "Línea %d: se esperan dos campos, memoria y alias";
inline constexpr const char* CsvUnknownMemory = "Línea %d: memoria desconocida \"%s\"";
inline constexpr const char* CsvMemoryTwice = "Línea %d: la memoria %s ya tiene alias en la línea %d";
inline constexpr const char* CsvAliasTooLong = "Línea %d: el alias \"%s\" tiene más de 8 caracteres";
inline constexpr const char* CsvAliasNotWindows1252 =
    "Línea %d: el alias \"%s\" tiene caracteres que no caben en Windows-1252";
inline constexpr const char* CsvAliasSpaces = "Línea %d: el alias \"%s\" tiene espacios o caracteres de control";
inline constexpr const char* CsvAliasDuplicate = "Línea %d: el alias \"%s\" ya es el de %s";
inline constexpr const char* CsvBadQuotes = "Línea %d: comillas sin cerrar";
inline constexpr const char* CsvNotUtf8 = "Línea %d: el texto no está en UTF-8";
inline constexpr const char* CsvTooLarge = "El archivo tiene más de 1 MiB";

}  // namespace velmorin::msg
