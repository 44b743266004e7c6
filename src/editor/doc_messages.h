#pragma once
// Texts of the printed pages, the program's documentation and the alias
// table commands (UTF-8). printf formats where said.
namespace velmorin::msg {

// Every printed page: the page number and the blocks it shows.
inline constexpr const char* PageNumber = "Página %d de %d";
inline constexpr const char* BlocksOnPage = "Bloques: %s";

// The documentation: its cover, its sections and what a section says when
// it has nothing to list.
inline constexpr const char* DocTitle = "Documentación del programa";
inline constexpr const char* DocFile = "Archivo";
inline constexpr const char* DocDate = "Fecha";
inline constexpr const char* DocBudget = "Uso del PLC";
inline constexpr const char* DocCompilation = "Compilación";
inline constexpr const char* DocContents = "Contenido";
inline constexpr const char* DocOnePage = "página %d";
inline constexpr const char* DocPageRange = "páginas %d a %d";
inline constexpr const char* DocDiagram = "Diagrama";
inline constexpr const char* DocOperands = "Tabla de operandos";
inline constexpr const char* DocLabels = "Etiquetas y saltos";
inline constexpr const char* DocObservations = "Observaciones del programa";
inline constexpr const char* DocDiagnostics = "Diagnósticos del compilador";
inline constexpr const char* DocContinued = "%s (continuación)";
inline constexpr const char* DocNoOperands = "El programa no usa ninguna memoria";
inline constexpr const char* DocNoObservations = "Sin observaciones";
inline constexpr const char* DocNoDiagnostics = "Sin errores ni warnings";
inline constexpr const char* DocObservationCount = "%d observaciones";
inline constexpr const char* DocOneObservation = "1 observación";

// Column heads of the documentation's tables (the operand table's first
// two are those of the parameter dialog's list, the diagnostics' those of
// the error list).
inline constexpr const char* DocUses = "Usos";
inline constexpr const char* DocJumps = "Saltos";
inline constexpr const char* DocBlock = "Bloque";
inline constexpr const char* DocRowInBlock = "Y";
inline constexpr const char* DocColumn = "X";
inline constexpr const char* DocInstruction = "Instrucción";
inline constexpr const char* DocRole = "Uso";
inline constexpr const char* DocNumber = "Nro";
inline constexpr const char* DocDescription = "Descripción";

// "Exportar documentación...", "Exportar alias...", "Importar alias...".
inline constexpr const char* ExportDocTitle = "Exportar documentación";
inline constexpr const char* PdfFilter = "Documento PDF";
inline constexpr const char* ExportAliasesTitle = "Exportar alias";
inline constexpr const char* ImportAliasesTitle = "Importar alias";
inline constexpr const char* AliasTableFilter = "Tabla de alias";
inline constexpr const char* AllFilesFilter = "Todos los archivos";
inline constexpr const char* AliasesExported = "Alias exportados a %s";
inline constexpr const char* AliasesImported = "Alias importados de %s";
// printf: the memory names, separated by commas.
inline constexpr const char* AliasesNotKept =
    "Al guardar, el archivo no conservará estos alias, porque el programa no usa sus memorias: %s";

}  // namespace velmorin::msg
