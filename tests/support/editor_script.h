#pragma once
// A user at the editor, played from bytes: each three bytes are one action
// (a click with a tool and its parameter dialog, a block cut, copy or paste,
// keys, undo, redo, block edits, find, an alias table). The editor fuzzer
// plays any bytes this way, and the decompiler's round trip draws random
// programs with it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "editor/diagram_editor.h"
#include "editor/parameter_session.h"
#include "model/prompts.h"

namespace velmorin::testing {

// Prompts that answer No and show nothing.
class SilentPrompts : public Prompts {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    void ShowFailure(const Result&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> AskFile(const FileDialogRequest&) override { return std::nullopt; }
};

namespace script_detail {

constexpr int Tools[] = {KindHorizontal,   KindVertical,    KindContactOpen, KindContactClosed,
                         KindCoil,         KindConditional, KindBoxOneSided, KindBoxTwoSided,
                         KindBoxLowerHalf, KindBlank,       NoTool};

// A pixel point anywhere on the diagram and a little beyond it.
inline PixelPoint PointOf(uint8_t a, uint8_t b) { return {(a % 12) * 52 - 20, (b % 100) * 64 + (a / 12) * 3 - 30}; }

inline void RunDialog(ProgramModel& model, DiagramEditor& editor, const ParameterRequest& request, uint8_t a, uint8_t b,
                      Prompts& prompts) {
    ParameterSession dialog(model, request);
    if (dialog.Open(prompts)) {
        if (a & 1) dialog.SelectInstruction(b % 20, prompts);
        dialog.ChooseRow(b);
        const char texts[][10] = {"1.5", "motor", "e1", "", "99999999", "\xC3\xB1", "0", "1..2"};
        dialog.SetText((a >> 1) & 1, texts[(a >> 2) % 8]);
        dialog.FocusEntered((a >> 5) & 1, prompts, [&](int32_t p) { dialog.FocusEntered(p, prompts, {}); });
        if (a & 0x40) dialog.Accept(prompts, {});
        if (dialog.state() == ParameterSession::State::Open) dialog.Cancel();
    }
    editor.ParametersClosed(dialog.result());
}

}  // namespace script_detail

inline void PlayEditorScript(ProgramModel& model, ToolState& tools, DiagramEditor& editor,
                             std::span<const uint8_t> script, Prompts& prompts) {
    using namespace script_detail;
    for (size_t i = 0; i + 2 < script.size(); i += 3) {
        const uint8_t op = script[i], a = script[i + 1], b = script[i + 2];
        switch (op % 12) {
            case 0:  // a click with a tool, its timer and its dialog
                tools.SelectTool(Tools[a % 11]);
                editor.LeftDown(PointOf(a, b), false);
                editor.LeftUp();
                if (const ViewEffects fx = editor.TimerTick(); fx.openParameters) {
                    RunDialog(model, editor, *fx.openParameters, a, b, prompts);
                }
                break;
            case 1:  // a Shift-drag and the block dialog
                editor.LeftDown(PointOf(a, b), true);
                editor.MouseMove(PointOf(b, a), (op & 0x10) != 0);
                if (editor.LeftUp().runBlockDialog) {
                    editor.BlockDialogClosed(op & 0x20 ? BlockChoice::Cut : BlockChoice::Copy);
                }
                editor.SelectionPainted();
                break;
            case 2:
                editor.MouseMove(PointOf(a, b), false);
                break;
            case 3:
                editor.Paste();
                break;
            case 4:
                editor.Undo();
                break;
            case 5:
                editor.Redo();
                break;
            case 6:
                editor.MoveCursor(static_cast<Direction>(a % 4), (b & 1) != 0);
                break;
            case 7:
                tools.SelectTool(Tools[a % 11]);
                editor.PlaceAtCursor();
                editor.PlaceReleased();
                if (const ViewEffects fx = editor.TimerTick(); fx.openParameters) {
                    RunDialog(model, editor, *fx.openParameters, a, b, prompts);
                }
                break;
            case 8:
                editor.EraseAtCursor();
                break;
            case 9:
                if (a & 1) {
                    editor.CutSelection();
                } else {
                    editor.CopySelection();
                }
                editor.ShiftReleased();
                editor.SelectionPainted();
                break;
            case 10:
                editor.EditBlock(static_cast<BlockEdit>(a % 4));
                break;
            case 11: {
                const char* const words[] = {"s1", "ETQ03", "ld", "motor", "", "CNT1", "\xC3\xB1"};
                const char* const tables[] = {"memoria;alias\nS1;motor\nE1;marcha\n", "memoria;alias\nV01;e2\n",
                                              "memoria;alias\nE1;\nS1;\"a;b\"\n", "Memoria;Alias\r\nX;y\r\n"};
                if (a & 1) {
                    editor.ImportAliases(tables[b % 4]);
                } else {
                    editor.Find(words[b % 7], (a & 2) != 0);
                }
                break;
            }
        }
    }
}

}  // namespace velmorin::testing
