#pragma once
// Fixed user-visible texts of the two monitors (UTF-8).
namespace velmorin::msg {

inline constexpr const char* NoVariablesToReceive = "No hay variables para recibir";
inline constexpr const char* PollStartError = "Error al iniciar comunicación";
inline constexpr const char* AssociatedOpenError = "Error al abrir el archivo asociado al Monitor";

}  // namespace velmorin::msg
