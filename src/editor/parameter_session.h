#pragma once
// The rules of the parameter dialog, without the dialog: which instructions
// a cell may hold, what the list offers for a label or an operand, how typed
// texts are checked, and what accepting or cancelling leaves behind. The Qt
// dialog forwards its events here and shows the state it reads back; alias
// and label renames are live in the program's tables while it is open and
// are undone by a cancel.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/cell_content.h"
#include "editor/geometry.h"
#include "model/catalogue.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "model/text_encoding.h"  // SameNameIgnoringCase, the rule the dialog checks names by

namespace velmorin {

// What the editor hands to the dialog for the clicked cell.
struct ParameterRequest {
    CellPos cell;
    int32_t kind = ShapeEmpty;
    int32_t element = ElementNone;
    CellParams params{};
};

// What the dialog hands back. Accepted with ElementNone means no instruction
// was chosen, which the editor treats as a cancel.
struct ParameterResult {
    bool accepted = false;
    int32_t element = ElementNone;
    CellParams params{};
};

// The element ids a cell of `kind` may hold, in the dialog's order (sorted by
// mnemonic). Kinds that carry no element offer none, so a damaged cell never
// offers the instructions the compiler keeps for itself.
std::vector<int32_t> InstructionsForKind(int32_t kind);

// The text as the user typed it without its spaces.
std::string WithoutSpaces(std::string_view text);
// A number or time text (spaces already removed) within low..high of the
// parameter's code value: digits only for numbers, and at most one point
// with at most one (tenths) or two (hundredths) digits after it for times.
bool ValueTextValid(ParamKind kind, int32_t low, int32_t high, std::string_view text);
// A typed alias or label name (UTF-8) as the tables store it: Windows-1252,
// at most 8 bytes; nothing when it cannot be stored as typed.
std::optional<std::string> StoredName(std::string_view text);

constexpr int32_t EditableParameters = 2;
constexpr int32_t NoDisplay = -1;  // display kind of a parameter the instruction lacks

class ParameterSession {
public:
    // Moves the keyboard focus to the edit box of parameter 0 or 1.
    using FocusEdit = std::function<void(int32_t parameter)>;

    struct ListRow {
        std::string name;   // operand name or label name, UTF-8
        std::string alias;  // UTF-8
        int32_t index = -1;
    };

    enum class State { Open, Accepted, Cancelled };

    ParameterSession(ProgramModel& model, const ParameterRequest& request);

    // Shows the cell's instruction. False when the dialog closed as
    // cancelled because no instruction of the cell has a jump target left.
    bool Open(Prompts& prompts);

    State state() const { return state_; }
    const std::vector<int32_t>& instructions() const { return instructions_; }
    // Position in instructions(); -1 when none is selected.
    int32_t selectedPosition() const { return selected_; }
    int32_t selectedElement() const;
    const std::string& description() const { return description_; }

    int32_t displayKind(int32_t parameter) const { return params_[Slot(parameter)].display; }
    const std::string& caption(int32_t parameter) const { return params_[Slot(parameter)].caption; }
    bool editEnabled(int32_t parameter) const { return params_[Slot(parameter)].enabled; }
    // The edit box texts, UTF-8.
    const std::string& text(int32_t parameter) const { return params_[Slot(parameter)].text; }
    void SetText(int32_t parameter, std::string text);

    // The parameter whose choices the list shows.
    int32_t activeParameter() const { return active_; }
    bool listEnabled() const { return listEnabled_; }
    std::array<const char*, 2> listHeadings() const;
    const std::vector<ListRow>& listRows() const { return rows_; }
    // The selected row, -1 for none.
    int32_t listSelection() const { return listSelection_; }
    // The area of the chosen operand ("Entradas"); empty otherwise.
    const std::string& areaLine() const { return areaLine_; }

    // A click on list row n.
    void ChooseRow(int32_t row);
    // A selection in the instruction list. False when the dialog closed as
    // cancelled (no jump target for any instruction).
    bool SelectInstruction(int32_t position, Prompts& prompts);
    // The edit box of `parameter` gained the focus: the other parameter is
    // checked (its message shown, the focus sent back on failure) and, when
    // it passes, `parameter` becomes the active one. Focus changes caused by
    // the check itself are ignored.
    void FocusEntered(int32_t parameter, Prompts& prompts, const FocusEdit& focusEdit);
    // "Aceptar": true when the dialog closes as accepted.
    bool Accept(Prompts& prompts, const FocusEdit& focusEdit);
    // "Cancelar": the alias and label tables return to what they were.
    void Cancel();

    ParameterResult result() const;

private:
    struct ParamState {
        int32_t display = NoDisplay;
        std::string caption;
        bool enabled = false;
        std::string text;
    };

    static size_t Slot(int32_t parameter) { return parameter == 1 ? 1 : 0; }
    int32_t ParameterCount() const;
    const ParamDef* Definition(int32_t parameter) const;
    // Shows the selected instruction, skipping to the next one while the
    // selected one needs a jump target that no later block offers.
    bool ShowSelected(Prompts& prompts);
    enum class Shown { Ok, NoLabel };
    Shown ShowInstruction();
    // Fills the list for `parameter`; false for a label parameter with no label to offer.
    bool BuildList(int32_t parameter);
    void ApplyRow(int32_t row);
    bool Validate(int32_t parameter, Prompts& prompts);
    void UnsetRecords();
    void CloseCancelled();

    ProgramModel& model_;
    const ParameterRequest request_;
    CellParams records_;
    const std::array<AliasEntry, AliasCount> savedAliases_;
    const std::array<LabelEntry, LabelCount> savedLabels_;

    std::vector<int32_t> instructions_;
    int32_t selected_ = -1;
    std::string description_;
    std::array<ParamState, EditableParameters> params_;
    int32_t active_ = 0;
    bool listEnabled_ = false;
    std::vector<ListRow> rows_;
    int32_t listSelection_ = -1;
    std::string areaLine_;
    // Validation runs only while set, so that the focus moves a message box
    // causes do not start another validation.
    bool guard_ = true;
    State state_ = State::Open;
    int32_t resultElement_ = ElementNone;
};

}  // namespace velmorin
