#pragma once
// Every dialog the main frame opens, behind one interface, as message boxes
// are behind Prompts. Each method runs its dialog modally and returns a plain
// value; the frame decides from those values what follows what (compile ->
// error list -> send -> command panel) and stores what the application owns
// (the port, the splash counter). QtFrameDialogs shows the real dialogs;
// tests script the answers.
#include <optional>
#include <string>
#include <vector>

#include "compiler/compile_outputs.h"
#include "compiler/diagnostics.h"
#include "compiler/program_image.h"
#include "editor/diagram_editor.h"
#include "editor/parameter_session.h"
#include "model/observations.h"

namespace velmorin {

// How the variable monitor was closed.
enum class MonitorClose {
    Closed,   // its close box or button
    Graphic,  // "Gráfico": the frame goes into live mode
};

class FrameDialogs {
public:
    virtual ~FrameDialogs() = default;

    // "Compilando...": compiles the document's diagram, whose file is
    // `sourcePath`. Refusals and files that could not be written have been
    // reported when it returns.
    virtual CompileResult Compile(const std::string& sourcePath) = 0;
    // "Listado de errores": the last compilation's diagnostics.
    virtual void ErrorList() = 0;
    // The same list over the diagnostics of the status bar's live budget,
    // with the program's observations under it.
    virtual void CurrentDiagnostics(const std::vector<DiagnosticEntry>& diagnostics,
                                    const std::vector<Observation>& observations) = 0;
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
    // "Acerca de velmorin": a three-second splash while `splashCounter` is 0.
    // Returns the counter as the box leaves it.
    virtual int About(int splashCounter) = 0;
    // "Edición de parámetros" for the clicked cell of the document's diagram.
    // Alias and label renames are made in the document's tables while it is
    // open and undone when it is cancelled; a box closed at once comes back
    // not accepted.
    virtual ParameterResult Parameters(const ParameterRequest& request) = 0;
    // "Bloque": what to do with the block selection just made.
    virtual BlockChoice Block() = 0;
};

}  // namespace velmorin
