#pragma once
// The dialogs that reach the controller. Each runs modally and returns a
// plain value; the shell shows the real ones (and keeps the settings they
// read and store), tests script them.
#include <optional>

#include "compiler/program_image.h"

namespace velmorin {

// How the variable monitor was closed.
enum class MonitorClose {
    Closed,   // its close box or button
    Graphic,  // "Gráfico": the frame goes into live mode
};

class LinkDialogs {
public:
    virtual ~LinkDialogs() = default;

    // "Enviar programa": true when the controller accepted the program.
    virtual bool SendProgram() = 0;
    // "Extraer programa": uploads the controller's program into a file.
    // The program received, once it is stored; nothing otherwise.
    virtual std::optional<CodeImage> ExtractProgram() = 0;
    // "Monitor": the variable monitor.
    virtual MonitorClose VariableMonitor() = 0;
    // "Comandos al PLC".
    virtual void CommandPanel() = 0;
    // "Selecciona puerto serie": the port index 0..3 chosen, starting from
    // `commPort`; nothing when the box was closed without choosing.
    virtual std::optional<int> SerialPort(int commPort) = 0;
};

}  // namespace velmorin
