#pragma once
// The main frame's commands as read-only data: id, menu caption (with its
// mnemonic and the shortcut text shown), key bindings, status-bar prompt
// (tooltip after "\n"), icon, handler and, for the element tools, the kind
// they lay down; then the menus and the toolbar.
#include <array>
#include <span>

#include <QString>

#include "ui/ElementTools.h"

namespace velmorin {

class CMainFrame;
using CommandHandler = void (CMainFrame::*)();

namespace cmd {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileExportPdf = 32850;
inline constexpr int FileExportDoc = 32870;
inline constexpr int FileExportAliases = 32871;
inline constexpr int FileImportAliases = 32872;
inline constexpr int RecentFile1 = 57616;  // ..57619
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int HelpTopics = 57667;
inline constexpr int Help = 57670;
inline constexpr int ViewToolBar = 59392;
inline constexpr int ViewStatusBar = 59393;
inline constexpr int ToolLdn = 32771;
inline constexpr int ToolBoxOneSided = 32772;
inline constexpr int ToolCounter = 32774;
inline constexpr int ToolOut = 32775;
inline constexpr int ToolIf = 32776;
inline constexpr int ToolHorizontal = 32777;
inline constexpr int ToolVertical = 32778;
inline constexpr int ToolLd = 32779;
inline constexpr int ToolBoxTwoSided = 32780;
inline constexpr int Compile = 32783;
inline constexpr int Send = 32784;
inline constexpr int Monitor = 32785;
inline constexpr int ToolDelete = 32786;
inline constexpr int SerialPort = 32787;
inline constexpr int ErrorList = 32810;
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditPaste = 57637;
inline constexpr int EditUndo = 57643;
inline constexpr int EditRedo = 57644;
inline constexpr int Commands = 32811;
inline constexpr int Find = 32880;
inline constexpr int FindNext = 32881;
inline constexpr int FindPrevious = 32882;
inline constexpr int BlockInsert = 32883;
inline constexpr int BlockDelete = 32884;
inline constexpr int BlockMoveUp = 32885;
inline constexpr int BlockMoveDown = 32886;
inline constexpr int CrossReference = 32887;
inline constexpr int ZoomIn = 32888;
inline constexpr int ZoomOut = 32889;
inline constexpr int ZoomReset = 32890;
inline constexpr int Extract = 32813;
inline constexpr int LiveReceive = 1045;
inline constexpr int LiveExit = 1178;
inline constexpr int Separator = 0;
inline constexpr int RecentFiles = -1;  // where the recent-file entries go in a menu
}  // namespace cmd

inline constexpr int RecentFileCount = 4;
inline constexpr const char* IdleText = "Preparado";
inline constexpr const char* RecentFilePlaceholder = "Archivo reciente";
inline constexpr const char* RecentFilePrompt = "Abre este diagrama";

inline constexpr int NotATool = -1;

struct CommandDef {
    int id;
    const char* caption;  // nullptr: reached by keys and the toolbar only
    const char* keys;     // portable key text; several are separated by "; "
    const char* prompt;
    const char* icon;        // resource path, or nullptr
    CommandHandler handler;  // nullptr for the element tools, which toggle the editor's tool
    bool checkable;
    int tool = NotATool;  // the cell kind an element tool lays down (KindBlank: the delete tool)
};

struct MenuDef {
    const char* title;
    std::span<const int> items;  // command ids, cmd::Separator, cmd::RecentFiles
};

extern const std::array<CommandDef, 51> CommandTable;
extern const std::array<MenuDef, 5> MenuTable;
extern const std::span<const int> ToolBarLayout;

const CommandDef* FindCommand(int id);

}  // namespace velmorin
