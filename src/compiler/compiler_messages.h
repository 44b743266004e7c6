#pragma once
// Fixed user-visible texts of the compiler's windows (UTF-8).
namespace velmorin::msg {

inline constexpr const char* NoDiagnostics = "No hay errores registrados";

}  // namespace velmorin::msg
