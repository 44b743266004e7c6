#pragma once
// Fixed user-visible texts of the compiler's windows (UTF-8).
namespace velmorin::msg {

inline constexpr const char* NoDiagnostics = "No hay errores registrados";
// An image whose diagram could not be drawn so that it compiles back to it.
inline constexpr const char* DiagramNotRecovered = "No se pudo reconstruir el diagrama";

}  // namespace velmorin::msg
