#pragma once
// Undo and redo of committed changes to the program: the cells' content and
// the alias and label names. An edit is bracketed by Begin and Commit; the
// step keeps only what differs between the two, so a step costs a few cells
// however large the program, and a click that changed nothing leaves no step.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "editor/cell_content.h"
#include "model/ladder_model.h"

namespace velmorin {

class EditHistory {
public:
    static constexpr size_t DefaultLimit = 1000;

    explicit EditHistory(size_t limit = DefaultLimit);
    ~EditHistory();

    // Remembers the program as it is before an edit. A Begin while another
    // edit is open keeps the earlier starting point.
    void Begin(const ProgramModel& model);
    bool open() const { return open_; }
    // Closes the edit; true when it changed the program (a step was added).
    bool Commit(const ProgramModel& model);
    // Closes the edit without a step, the program put back as it was at Begin.
    void Abandon(ProgramModel& model);

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // Each returns whether it changed the program.
    bool Undo(ProgramModel& model);
    bool Redo(ProgramModel& model);

    // New and Open: no steps, and the program as it is counts as saved.
    void Clear();
    // The program as it is now was saved. An open edit is cut there: what
    // it changed so far becomes a step and the rest a step of its own, so
    // that undoing comes back to exactly what the file holds.
    void MarkSaved(const ProgramModel& model);
    // No state of the program is saved (a diagram opened without a file):
    // it stays modified whatever is undone, until MarkSaved.
    void ForgetSaved() { saved_.reset(); }
    // Whether the program differs from the last saved state.
    bool modified() const { return saved_ != position_; }
    size_t stepCount() const { return steps_.size(); }

private:
    struct CellChange {
        uint16_t index;  // row * GridColumns + column
        CellContent before, after;
    };
    struct AliasChange {
        uint16_t index;
        NameField before, after;
    };
    struct LabelNames {
        NameField name{}, alias{};
        bool operator==(const LabelNames&) const = default;
    };
    struct LabelChange {
        uint8_t index;
        LabelNames before, after;
    };
    struct Step {
        std::vector<CellChange> cells;
        std::vector<AliasChange> aliases;
        std::vector<LabelChange> labels;
    };
    // The parts of the program that editing changes.
    struct Snapshot {
        std::array<CellContent, GridRows * GridColumns> cells;
        std::array<AliasEntry, AliasCount> aliases;
        std::array<LabelNames, LabelCount> labels;
    };

    static void Take(const ProgramModel& model, Snapshot& snapshot);
    static void Apply(const Step& step, bool forward, ProgramModel& model);

    size_t limit_;
    std::deque<Step> steps_;
    size_t position_ = 0;  // steps applied
    // Step count at the last save; nothing when that state can no longer be reached.
    std::optional<size_t> saved_ = 0;
    bool open_ = false;
    std::unique_ptr<Snapshot> before_;
};

}  // namespace velmorin
