#pragma once
// Texts of the program's observations (UTF-8). printf formats: the operand
// as OperandLabel gives it, and where said, how many cells.
namespace velmorin::msg {

inline constexpr const char* ObservationsHeading = "Observaciones";
inline constexpr const char* DuplicateCoil = "Bobina duplicada: %s se escribe con OUT en %d lugares";
inline constexpr const char* SetWithoutReset = "%s se activa con SET y ningún RST lo desactiva";
inline constexpr const char* ResetWithoutSet = "%s se desactiva con RST y ningún SET lo activa";
inline constexpr const char* SharedTimerCounter = "%s está asignado a %d cajas de temporizador o contador";
inline constexpr const char* OutputNeverWritten = "La salida %s se lee pero ningún elemento la escribe";

}  // namespace velmorin::msg
