#include "editor/edit_history.h"

namespace velmorin {

EditHistory::EditHistory(size_t limit) : limit_(limit < 1 ? 1 : limit), before_(std::make_unique<Snapshot>()) {}

EditHistory::~EditHistory() = default;

void EditHistory::Take(const ProgramModel& model, Snapshot& snapshot) {
    for (size_t i = 0; i < snapshot.cells.size(); ++i) snapshot.cells[i] = ContentOf(model.grid.cells[i]);
    snapshot.aliases = model.aliases;
    for (size_t i = 0; i < snapshot.labels.size(); ++i) {
        snapshot.labels[i] = {model.labels[i].name, model.labels[i].alias};
    }
}

void EditHistory::Begin(const ProgramModel& model) {
    if (open_) return;
    Take(model, *before_);
    open_ = true;
}

bool EditHistory::Commit(const ProgramModel& model) {
    if (!open_) return false;
    open_ = false;
    const Snapshot& before = *before_;
    Step step;
    for (size_t i = 0; i < before.cells.size(); ++i) {
        const CellContent now = ContentOf(model.grid.cells[i]);
        if (!(now == before.cells[i])) step.cells.push_back({static_cast<uint16_t>(i), before.cells[i], now});
    }
    for (size_t i = 0; i < before.aliases.size(); ++i) {
        // Only the alias is the user's; the canonical name never changes by editing.
        if (model.aliases[i].alias != before.aliases[i].alias) {
            step.aliases.push_back({static_cast<uint16_t>(i), before.aliases[i].alias, model.aliases[i].alias});
        }
    }
    for (size_t i = 0; i < before.labels.size(); ++i) {
        const LabelNames now{model.labels[i].name, model.labels[i].alias};
        if (!(now == before.labels[i])) step.labels.push_back({static_cast<uint8_t>(i), before.labels[i], now});
    }
    if (step.cells.empty() && step.aliases.empty() && step.labels.empty()) return false;

    // A new edit after undoing drops the undone steps, and with them a
    // saved state that lay among them.
    steps_.resize(position_);
    if (saved_ && *saved_ > position_) saved_.reset();
    steps_.push_back(std::move(step));
    ++position_;
    if (steps_.size() > limit_) {
        steps_.pop_front();
        --position_;
        if (saved_) {
            if (*saved_ == 0) {
                saved_.reset();
            } else {
                --*saved_;
            }
        }
    }
    return true;
}

void EditHistory::Abandon(ProgramModel& model) {
    if (!open_) return;
    open_ = false;
    const Snapshot& before = *before_;
    for (size_t i = 0; i < before.cells.size(); ++i) SetContent(model.grid.cells[i], before.cells[i]);
    model.aliases = before.aliases;
    for (size_t i = 0; i < before.labels.size(); ++i) {
        model.labels[i].name = before.labels[i].name;
        model.labels[i].alias = before.labels[i].alias;
    }
}

void EditHistory::MarkSaved(const ProgramModel& model) {
    if (open_) {
        Commit(model);
        Begin(model);
    }
    saved_ = position_;
}

void EditHistory::Apply(const Step& step, bool forward, ProgramModel& model) {
    for (const CellChange& change : step.cells) {
        SetContent(model.grid.cells[change.index], forward ? change.after : change.before);
    }
    for (const AliasChange& change : step.aliases) {
        model.aliases[change.index].alias = forward ? change.after : change.before;
    }
    for (const LabelChange& change : step.labels) {
        const LabelNames& names = forward ? change.after : change.before;
        model.labels[change.index].name = names.name;
        model.labels[change.index].alias = names.alias;
    }
}

bool EditHistory::Undo(ProgramModel& model) {
    if (open_ || !CanUndo()) return false;
    --position_;
    Apply(steps_[position_], false, model);
    return true;
}

bool EditHistory::Redo(ProgramModel& model) {
    if (open_ || !CanRedo()) return false;
    Apply(steps_[position_], true, model);
    ++position_;
    return true;
}

void EditHistory::Clear() {
    steps_.clear();
    position_ = 0;
    saved_ = 0;
    open_ = false;
}

}  // namespace velmorin
