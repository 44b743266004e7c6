#include "app/CommandTable.h"

#include "app/CMainFrame.h"

namespace velmorin {
namespace {

// An element tool's command: what it shows comes from the element tools' table.
constexpr CommandDef Tool(int id, int kind) {
    const ElementTool& tool = ElementToolOf(kind);
    return {id, tool.caption, "", tool.prompt, tool.icon, nullptr, true, tool.kind};
}

}  // namespace

const std::array<CommandDef, 51> CommandTable = {{
    {cmd::FileNew, "&Nuevo\tCtrl+N", "Ctrl+N", "Crea un diagrama nuevo\nNuevo", ":/icons/new.svg",
     &CMainFrame::onFileNew, false},
    {cmd::FileOpen, "&Abrir...\tCtrl+A", "Ctrl+O; Ctrl+A", "Abre un diagrama existente\nAbrir", ":/icons/open.svg",
     &CMainFrame::onFileOpen, false},
    {cmd::FileSave, "&Guardar\tCtrl+G", "Ctrl+S; Ctrl+G", "Guarda el diagrama activo\nGuardar", ":/icons/save.svg",
     &CMainFrame::onFileSave, false},
    {cmd::FileSaveAs, "Guardar c&omo...", "", "Guarda el diagrama activo con otro nombre\nGuardar como", nullptr,
     &CMainFrame::onFileSaveAs, false},
    {cmd::FilePrint, "&Imprimir...\tCtrl+I", "Ctrl+P; Ctrl+I", "Imprime el diagrama activo\nImprimir",
     ":/icons/print.svg", &CMainFrame::onFilePrint, false},
    {cmd::FilePrintPreview, "&Presentación preliminar", "",
     "Muestra las páginas tal como se imprimirán\nPresentación preliminar", nullptr, &CMainFrame::onFilePrintPreview,
     false},
    {cmd::FilePrintSetup, "Con&figurar impresora...", "",
     "Cambia la impresora y las opciones de impresión\nConfigurar impresora", nullptr, &CMainFrame::onFilePrintSetup,
     false},
    {cmd::FileExportPdf, "&Exportar PDF...", "", "Guarda las páginas del diagrama en un archivo PDF\nExportar PDF",
     nullptr, &CMainFrame::onFileExportPdf, false},
    {cmd::FileExportDoc, "Exportar &documentación...", "",
     "Guarda en un PDF el diagrama, sus operandos, sus observaciones y los diagnósticos de compilarlo\n"
     "Exportar documentación",
     nullptr, &CMainFrame::onFileExportDoc, false},
    {cmd::FileExportAliases, "Exportar a&lias...", "",
     "Guarda los alias de las memorias en una tabla CSV para una hoja de cálculo\nExportar alias", nullptr,
     &CMainFrame::onFileExportAliases, false},
    {cmd::FileImportAliases, "I&mportar alias...", "",
     "Toma los alias de las memorias de una tabla CSV; se puede deshacer\nImportar alias", nullptr,
     &CMainFrame::onFileImportAliases, false},
    {cmd::AppExit, "&Salir", "", "Sale de la aplicación; pregunta antes de descartar cambios\nSalir", nullptr,
     &CMainFrame::onAppExit, false},

    Tool(cmd::ToolVertical, KindVertical),
    Tool(cmd::ToolHorizontal, KindHorizontal),
    Tool(cmd::ToolLd, KindContactOpen),
    Tool(cmd::ToolLdn, KindContactClosed),
    Tool(cmd::ToolOut, KindCoil),
    Tool(cmd::ToolIf, KindConditional),
    Tool(cmd::ToolBoxOneSided, KindBoxOneSided),
    Tool(cmd::ToolBoxTwoSided, KindBoxTwoSided),
    Tool(cmd::ToolCounter, KindBoxLowerHalf),
    Tool(cmd::ToolDelete, KindBlank),

    {cmd::Compile, "&Compilar", "", "Compila el LADDER\nCompilar", ":/icons/compile.svg",
     &CMainFrame::RunCompileCommand, false},
    {cmd::Send, "&Enviar", "", "Envia el programa compilado al PLC\nEnviar", ":/icons/send.svg", &CMainFrame::onSend,
     false},
    {cmd::Extract, "E&xtraer programa", "Alt+X", "Extrae el programa del PLC", nullptr, &CMainFrame::onExtract, false},
    {cmd::Monitor, "&Monitor", "", "Monitor del Velmorin\nMonitor", ":/icons/monitor.svg", &CMainFrame::onMonitor,
     false},
    {cmd::Commands, "Co&mandos al PLC", "", "Envia comandos al PLC\nComandos al PLC", ":/icons/commands.svg",
     &CMainFrame::onCommands, false},
    {cmd::SerialPort, "&Puerto Serie", "Alt+P", "Asigna el puerto de comunicación RS232 con PLC", nullptr,
     &CMainFrame::onSerialPort, false},

    {cmd::Find, "&Buscar...\tCtrl+B", "Ctrl+B; Ctrl+F",
     "Busca una memoria, un alias, una etiqueta o una instrucción en el diagrama\nBuscar", nullptr, &CMainFrame::onFind,
     false},
    {cmd::FindNext, "Buscar &siguiente\tF3", "F3", "Lleva el cursor a la siguiente celda buscada\nBuscar siguiente",
     nullptr, &CMainFrame::onFindNext, false},
    {cmd::FindPrevious, "Buscar an&terior\tMayús+F3", "Shift+F3",
     "Lleva el cursor a la celda buscada anterior\nBuscar anterior", nullptr, &CMainFrame::onFindPrevious, false},
    {cmd::BlockInsert, "&Insertar bloque", "",
     "Inserta un bloque vacío en el del cursor; los siguientes bajan con sus etiquetas\nInsertar bloque", nullptr,
     &CMainFrame::onBlockInsert, false},
    {cmd::BlockDelete, "Eli&minar bloque", "",
     "Elimina el bloque del cursor; los siguientes suben con sus etiquetas\nEliminar bloque", nullptr,
     &CMainFrame::onBlockDelete, false},
    {cmd::BlockMoveUp, "S&ubir bloque", "", "Cambia el bloque del cursor con el anterior\nSubir bloque", nullptr,
     &CMainFrame::onBlockMoveUp, false},
    {cmd::BlockMoveDown, "Ba&jar bloque", "", "Cambia el bloque del cursor con el siguiente\nBajar bloque", nullptr,
     &CMainFrame::onBlockMoveDown, false},

    {cmd::ViewToolBar, "Barra de &herramientas", "", "Muestra u oculta la barra de herramientas\nBarra de herramientas",
     nullptr, &CMainFrame::onViewToolBar, true},
    {cmd::ViewStatusBar, "Barra de &estado", "", "Muestra u oculta la barra de estado\nBarra de estado", nullptr,
     &CMainFrame::onViewStatusBar, true},
    {cmd::ErrorList, "&Listado de errores", "",
     "Muestra los errores y observaciones de la última compilación\nListado de errores", nullptr,
     &CMainFrame::onErrorList, false},
    {cmd::CrossReference, "&Referencias cruzadas\tF7", "F7",
     "Muestra dónde se usa cada memoria y a qué etiquetas se salta\nReferencias cruzadas", nullptr,
     &CMainFrame::onCrossReference, false},
    {cmd::ZoomIn, "&Acercar\tCtrl++", "Ctrl++; Ctrl+=", "Muestra el diagrama más grande\nAcercar", nullptr,
     &CMainFrame::onZoomIn, false},
    {cmd::ZoomOut, "Ale&jar\tCtrl+-", "Ctrl+-", "Muestra el diagrama más pequeño\nAlejar", nullptr,
     &CMainFrame::onZoomOut, false},
    {cmd::ZoomReset, "&Tamaño normal\tCtrl+0", "Ctrl+0", "Muestra el diagrama a su tamaño normal\nTamaño normal",
     nullptr, &CMainFrame::onZoomReset, false},

    {cmd::HelpTopics, "Temas de &ayuda", "", "Muestra los temas de ayuda\nTemas de ayuda", nullptr,
     &CMainFrame::onHelpTopics, false},
    {cmd::Help, nullptr, "F1; Shift+F1", "Muestra la ayuda del botón o del menú que se elija\nAyuda",
     ":/icons/help.svg", &CMainFrame::onContextHelp, false},
    {cmd::AppAbout, "&Acerca de velmorin...", "", "Muestra el nombre y la versión del programa\nAcerca de", nullptr,
     &CMainFrame::onAppAbout, false},

    {cmd::EditUndo, "&Deshacer\tCtrl+Z", "Ctrl+Z; Alt+Backspace", "Deshace el último cambio del diagrama\nDeshacer",
     nullptr, &CMainFrame::onEditUndo, false},
    {cmd::EditRedo, "&Rehacer\tCtrl+Y", "Ctrl+Y; Ctrl+Shift+Z", "Rehace el último cambio deshecho\nRehacer", nullptr,
     &CMainFrame::onEditRedo, false},
    {cmd::EditCopy, nullptr, "Ctrl+C; Ctrl+Ins", "Copia al bloque la selección o la celda del cursor\nCopiar", nullptr,
     &CMainFrame::onEditCopy, false},
    {cmd::EditCut, nullptr, "Ctrl+X; Shift+Del", "Corta al bloque la selección o la celda del cursor\nCortar", nullptr,
     &CMainFrame::onEditCut, false},
    {cmd::EditPaste, nullptr, "Ctrl+V; Shift+Ins", "Pega el bloque en la celda del cursor\nPegar", nullptr,
     &CMainFrame::onEditPaste, false},
}};

namespace {

constexpr int FileMenuItems[] = {cmd::FileNew,           cmd::FileOpen,       cmd::FileSave,
                                 cmd::FileSaveAs,        cmd::Separator,      cmd::FilePrint,
                                 cmd::FilePrintPreview,  cmd::FilePrintSetup, cmd::FileExportPdf,
                                 cmd::FileExportDoc,     cmd::Separator,      cmd::FileExportAliases,
                                 cmd::FileImportAliases, cmd::Separator,      cmd::RecentFiles,
                                 cmd::Separator,         cmd::AppExit};
constexpr int ElementMenuItems[] = {
    cmd::ToolVertical, cmd::ToolHorizontal,  cmd::ToolLd,          cmd::ToolLdn,     cmd::ToolOut,
    cmd::ToolIf,       cmd::ToolBoxOneSided, cmd::ToolBoxTwoSided, cmd::ToolCounter, cmd::Separator,
    cmd::Find,         cmd::FindNext,        cmd::FindPrevious,    cmd::Separator,   cmd::BlockInsert,
    cmd::BlockDelete,  cmd::BlockMoveUp,     cmd::BlockMoveDown,   cmd::Separator,   cmd::EditUndo,
    cmd::EditRedo};
constexpr int ToolsMenuItems[] = {cmd::Compile, cmd::Send, cmd::Extract, cmd::Monitor, cmd::Commands, cmd::SerialPort};
constexpr int ViewMenuItems[] = {cmd::ViewToolBar, cmd::ViewStatusBar, cmd::ErrorList, cmd::CrossReference,
                                 cmd::Separator,   cmd::ZoomIn,        cmd::ZoomOut,   cmd::ZoomReset};
constexpr int HelpMenuItems[] = {cmd::HelpTopics, cmd::Separator, cmd::AppAbout};

constexpr int ToolBarItems[] = {
    cmd::FileNew,      cmd::FileOpen,  cmd::FileSave,  cmd::Separator, cmd::ToolDelete,      cmd::ToolHorizontal,
    cmd::ToolVertical, cmd::ToolLd,    cmd::ToolLdn,   cmd::ToolOut,   cmd::ToolBoxOneSided, cmd::ToolBoxTwoSided,
    cmd::ToolCounter,  cmd::ToolIf,    cmd::Separator, cmd::Monitor,   cmd::Commands,        cmd::Compile,
    cmd::Send,         cmd::Separator, cmd::FilePrint, cmd::Help,
};

}  // namespace

const std::array<MenuDef, 5> MenuTable = {{
    {"&Archivo", FileMenuItems},
    {"&Elementos", ElementMenuItems},
    {"&Herramientas", ToolsMenuItems},
    {"&Ver", ViewMenuItems},
    {"Ay&uda", HelpMenuItems},
}};

const std::span<const int> ToolBarLayout = ToolBarItems;

const CommandDef* FindCommand(int id) {
    for (const auto& command : CommandTable) {
        if (command.id == id) return &command;
    }
    return nullptr;
}

}  // namespace velmorin
