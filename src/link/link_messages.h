#pragma once
// Fixed user-visible texts of the controller link (UTF-8).
namespace velmorin::msg {

inline constexpr const char* SendOk = "Envío de programa OK!";
inline constexpr const char* SendFailed = "Error al enviar programa";
inline constexpr const char* ExtractOk = "Extracción de programa OK!";
inline constexpr const char* ExtractFailed = "Error al extraer programa";
inline constexpr const char* RomError = "ERROR!";
inline constexpr const char* WriteRowsFailed = "Hubo error en el envio de datos";
inline constexpr const char* BusyCaption = "Mensaje";
inline constexpr const char* BusySending = "Enviando...";
inline constexpr const char* BusyReceiving = "Recibiendo...";

}  // namespace velmorin::msg
