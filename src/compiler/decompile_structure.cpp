#include "compiler/decompile_structure.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <set>
#include <string>

#include "model/cell_kinds.h"
#include "model/ladder_model.h"

namespace velmorin {

bool IsOperation(int32_t element) {
    const CatalogueEntry* entry = EntryOrNull(element);
    return entry != nullptr && KindHas(entry->cellKind, AttrElementPicture) && !IsLoad(element) &&
           entry->cellKind != KindBoxUpperHalf;
}

bool IsOneSidedBox(int32_t element) {
    const CatalogueEntry* entry = EntryOrNull(element);
    return entry != nullptr && entry->cellKind == KindBoxOneSided;
}

int32_t LastStage(const ProgramStructure& s, int32_t net) {
    const Net& n = s.nets[static_cast<size_t>(net)];
    return n.kind == NetKind::Series ? n.parts.back() : net;
}

std::vector<int32_t> Stages(const ProgramStructure& s, int32_t net) {
    const Net& n = s.nets[static_cast<size_t>(net)];
    return n.kind == NetKind::Series ? n.parts : std::vector<int32_t>{net};
}

size_t TrailingOperations(const ProgramStructure& s, int32_t net) {
    const std::vector<int32_t> stages = Stages(s, net);
    size_t first = stages.size();
    while (first > 0) {
        const Net& stage = s.nets[static_cast<size_t>(stages[first - 1])];
        if (stage.kind != NetKind::Cell || !IsOperation(stage.element)) break;
        --first;
    }
    return first;
}

int32_t SeriesOf(ProgramStructure& s, const std::vector<int32_t>& stages, size_t from, size_t to) {
    if (to - from == 1) return stages[from];
    Net n;
    n.kind = NetKind::Series;
    n.parts.assign(stages.begin() + static_cast<std::ptrdiff_t>(from),
                   stages.begin() + static_cast<std::ptrdiff_t>(to));
    s.nets.push_back(std::move(n));
    return static_cast<int32_t>(s.nets.size()) - 1;
}

namespace {

void CollectInstructions(const ProgramStructure& s, int32_t net, std::vector<int32_t>& out) {
    const Net& n = s.nets[static_cast<size_t>(net)];
    if (n.instruction >= 0) out.push_back(n.instruction);
    for (int32_t part : n.parts) CollectInstructions(s, part, out);
    // A branch-out's code is its branches' whichever way they are cut.
    if (!n.branchings.empty())
        for (int32_t part : n.branchings.front()) CollectInstructions(s, part, out);
}

}  // namespace

bool CutKeepsCode(const ProgramStructure& s, const DecodedProgram& program, const RungTree& rung, size_t part) {
    const std::vector<int32_t> stages = Stages(s, rung.net);
    if (part == 0 || part >= stages.size()) return false;
    std::vector<int32_t> later;
    for (size_t p = part; p < stages.size(); ++p) CollectInstructions(s, stages[p], later);
    std::sort(later.begin(), later.end());
    // The later stages' code must be all of the rung's code from their start:
    // a cut inside what an andp or orp joins would tear that join apart.
    const int32_t first = FirstOffset(s, program, stages[part]);
    int32_t expected = first;
    for (int32_t instruction : later) {
        const Instruction& ins = program.instructions[static_cast<size_t>(instruction)].ins;
        if (ins.offset != expected) return false;
        expected += ins.length;
    }
    return expected == rung.endOffset;
}

void CutRung(ProgramStructure& s, const DecodedProgram& program, CodeSegment& segment, size_t index, size_t part) {
    const std::vector<int32_t> stages = Stages(s, segment.rungs[index].net);
    if (!CutKeepsCode(s, program, segment.rungs[index], part)) return;
    RungTree later;
    later.net = SeriesOf(s, stages, part, stages.size());
    const int32_t instruction = s.nets[static_cast<size_t>(stages[part])].instruction;
    later.firstOffset = program.instructions[static_cast<size_t>(instruction)].ins.offset;
    later.endOffset = segment.rungs[index].endOffset;
    segment.rungs[index].net = SeriesOf(s, stages, 0, part);
    segment.rungs[index].endOffset = later.firstOffset;
    segment.rungs.insert(segment.rungs.begin() + static_cast<std::ptrdiff_t>(index) + 1, later);
}

bool BranchOutSlots(const std::vector<bool>& coilHeaded, std::vector<int32_t>& slots) {
    const size_t k = coilHeaded.size();
    slots.resize(k);
    std::iota(slots.begin(), slots.end(), 0);
    do {
        // The compiler's reordering of the branch records, slot by slot.
        std::vector<int32_t> content = slots;
        for (size_t p = 0; p + 1 < k; ++p)
            for (size_t q = p + 1; q < k; ++q)
                if (coilHeaded[static_cast<size_t>(content[q])]) std::swap(content[p], content[q]);
        if (std::is_sorted(content.begin(), content.end())) return true;
    } while (std::next_permutation(slots.begin(), slots.end()));
    return false;
}

int32_t FirstOffset(const ProgramStructure& s, const DecodedProgram& program, int32_t net) {
    const Net* n = &s.nets[static_cast<size_t>(net)];
    while (n->kind != NetKind::Cell) n = &s.nets[static_cast<size_t>(n->parts.front())];
    return program.instructions[static_cast<size_t>(n->instruction)].ins.offset;
}

int32_t ParseChoices::Pick(int32_t options, size_t instruction) {
    options_.push_back(options);
    instructions_.push_back(instruction);
    const int32_t pick = next_ < picks_.size() ? picks_[next_] : 0;
    ++next_;
    return pick >= 0 && pick < options ? pick : 0;
}

void SplitSegments(const DecodedProgram& program, ProgramStructure& structure) {
    structure = {};
    std::set<int32_t> starts = {0};
    for (const DecodedInstruction& d : program.instructions) {
        if (d.target < 0) continue;
        if (d.target >= program.codeLength) {
            structure.endIsTarget = true;
        } else {
            starts.insert(d.target);
        }
    }
    size_t first = 0;
    for (auto it = starts.begin(); it != starts.end(); ++it) {
        const int32_t endOffset = std::next(it) == starts.end() ? program.codeLength : *std::next(it);
        size_t end = first;
        while (end < program.instructions.size() && program.instructions[end].ins.offset < endOffset) ++end;
        CodeSegment segment;
        segment.startOffset = *it;
        segment.firstInstruction = first;
        segment.endInstruction = end;
        structure.segments.push_back(std::move(segment));
        first = end;
    }
}

namespace {

// Bounds on the ways a branch-out's code is cut into branches.
constexpr size_t MostCutPlaces = 10;
constexpr size_t MostBranchings = 16;

// Builds the trees of one segment with an accumulator stack per open
// branch-out: a load pushes, a contact joins the top, andp and orp join the
// two top entries, cs opens a branch-out over the top entry and cr closes it.
class TreeBuilder {
public:
    TreeBuilder(const DecodedProgram& program, ProgramStructure& s, ParseChoices& choices, DecompileFailure& failure)
        : program_(program), s_(s), choices_(choices), failure_(failure) {}

    bool Build(CodeSegment& segment) {
        frames_.assign(1, Frame{});
        for (size_t i = segment.firstInstruction; i < segment.endInstruction; ++i) {
            if (!Step(i)) return false;
        }
        if (frames_.size() != 1) return Fail(frames_.back().opener, "cs sin su cr");
        const std::vector<Item>& items = frames_.back().items;
        segment.rungs.clear();
        for (size_t k = 0; k < items.size(); ++k) {
            RungTree rung;
            rung.net = items[k].net;
            rung.firstOffset = items[k].firstOffset;
            rung.endOffset = k + 1 < items.size() ? items[k + 1].firstOffset : EndOffset(segment.endInstruction);
            segment.rungs.push_back(rung);
        }
        return true;
    }

private:
    struct Item {
        int32_t net;
        int32_t firstOffset;
    };
    struct Frame {
        std::vector<Item> items;
        Item common{-1, 0};  // the entry a cs opened this frame over
        size_t opener = 0;   // that cs
    };

    int32_t EndOffset(size_t end) const {
        if (end >= program_.instructions.size()) return program_.codeLength;
        return program_.instructions[end].ins.offset;
    }

    bool Fail(size_t instruction, const char* reason) {
        failure_.address = program_.instructions[instruction].ins.offset;
        failure_.reason = AtAddress(failure_.address, reason);
        return false;
    }

    int32_t NewNet(Net net) {
        s_.nets.push_back(std::move(net));
        return static_cast<int32_t>(s_.nets.size()) - 1;
    }
    int32_t NewCell(size_t instruction, int32_t element) {
        Net n;
        n.kind = NetKind::Cell;
        n.instruction = static_cast<int32_t>(instruction);
        n.element = element;
        return NewNet(std::move(n));
    }
    const Net& At(int32_t net) const { return s_.nets[static_cast<size_t>(net)]; }
    bool IsOperationCell(int32_t net) const { return At(net).kind == NetKind::Cell && IsOperation(At(net).element); }

    // Series and parallel joins flatten: the grid knows no nesting of a
    // series in a series or of branches in branches between the same nodes.
    int32_t Join(NetKind kind, int32_t a, int32_t b) {
        std::vector<int32_t> parts;
        for (int32_t x : {a, b}) {
            if (At(x).kind == kind) {
                parts.insert(parts.end(), At(x).parts.begin(), At(x).parts.end());
            } else {
                parts.push_back(x);
            }
        }
        Net n;
        n.kind = kind;
        n.parts = std::move(parts);
        return NewNet(std::move(n));
    }

    std::vector<Item>& Items() { return frames_.back().items; }

    // The entry on top as the left operand of a join, a branch-out or a
    // two-row box, taken off the stack. An operation within it may instead
    // have begun something of its own that the operand starts with: a rung
    // (or branch) of its own, what is left before it staying an entry; or,
    // for a parallel join, a branch group that the rest runs into, since an
    // operation heads no andp. The choice says which and where; the first
    // option cuts after the last element that ends a rung (a coil, a set, a
    // timer...) when there is one, else keeps the entry whole.
    struct Operand {
        Item item;
        int32_t prefix = -1;  // joined in series before the result
        int32_t prefixOffset = 0;
    };
    Operand TakeOperand(size_t instruction, bool mustCut, bool parallel) {
        std::vector<Item>& items = Items();
        const Item top = items.back();
        items.pop_back();
        const std::vector<int32_t> stages = Stages(s_, top.net);
        // Any operation after the first stage may have headed what follows.
        std::vector<size_t> cuts;
        for (size_t p = stages.size(); p-- > 1;)
            if (IsOperationCell(stages[p])) cuts.push_back(p);
        size_t preferred = stages.size();
        for (size_t p : cuts)
            if (preferred == stages.size() && IsTerminating(At(stages[p - 1]).element)) preferred = p;
        enum Mode { Whole, Apart, InSeries };
        std::vector<std::pair<size_t, Mode>> options;
        if (preferred < stages.size()) options.push_back({preferred, Apart});
        if (!mustCut) options.push_back({stages.size(), Whole});
        if (parallel)
            for (size_t p : cuts) options.push_back({p, InSeries});
        for (size_t p : cuts)
            if (p != preferred) options.push_back({p, Apart});
        if (options.empty()) {
            items.push_back(top);
            return {{-1, 0}};
        }
        const auto [cut, mode] =
            options.size() == 1
                ? options[0]
                : options[static_cast<size_t>(choices_.Pick(static_cast<int32_t>(options.size()), instruction))];
        if (mode == Whole) return {top};
        const int32_t prefix = SeriesOf(s_, stages, 0, cut);
        const int32_t later = SeriesOf(s_, stages, cut, stages.size());
        Operand operand{{later, FirstOffset(s_, program_, later)}};
        if (mode == Apart) {
            items.push_back({prefix, top.firstOffset});
        } else {
            operand.prefix = prefix;
            operand.prefixOffset = top.firstOffset;
        }
        return operand;
    }

    // Pushes a join of the operand and `b`, after the operand's prefix.
    void PushJoin(NetKind kind, const Operand& a, int32_t b) {
        const int32_t joined = Join(kind, a.item.net, b);
        if (a.prefix >= 0) {
            Items().push_back({Join(NetKind::Series, a.prefix, joined), a.prefixOffset});
        } else {
            Items().push_back({joined, a.item.firstOffset});
        }
    }

    bool Step(size_t i) {
        const DecodedInstruction& d = program_.instructions[i];
        const int32_t element = d.ins.element;
        const int32_t offset = d.ins.offset;
        switch (element) {
            case ElementAnd:
            case ElementAndn:
            case ElementOr:
            case ElementOrn: {
                if (Items().empty()) return Fail(i, "contacto sin carga previa");
                const bool negated = element == ElementAndn || element == ElementOrn;
                const int32_t contact = NewCell(i, negated ? ElementLdn : ElementLd);
                if (element == ElementAnd || element == ElementAndn) {
                    Items().back().net = Join(NetKind::Series, Items().back().net, contact);
                } else {
                    PushJoin(NetKind::Parallel, TakeOperand(i, false, true), contact);
                }
                return true;
            }
            case ElementAndp:
            case ElementOrp: {
                if (Items().size() < 2) return Fail(i, "andp u orp sin dos ramas");
                const Item b = Items().back();
                Items().pop_back();
                const bool parallel = element == ElementOrp;
                PushJoin(parallel ? NetKind::Parallel : NetKind::Series, TakeOperand(i, false, parallel), b.net);
                return true;
            }
            case ElementCs: {
                if (Items().empty()) return Fail(i, "cs sin carga previa");
                Frame frame;
                frame.opener = i;
                frame.common = TakeOperand(i, false, false).item;
                frames_.push_back(std::move(frame));
                return true;
            }
            case ElementCr:
                return CloseFanOut(i);
            default:
                break;
        }
        const CatalogueEntry* entry = EntryOrNull(element);
        if (entry == nullptr || !KindHas(entry->cellKind, AttrElementPicture))
            return Fail(i, "instrucción que ninguna celda del diagrama contiene");
        if (IsLoad(element)) {
            Items().push_back({NewCell(i, element), offset});
            return true;
        }
        // A two-row box whose upper input is its rung's first element is no
        // join at all: the compiler splices nothing and it heads its rung.
        if (entry->cellKind == KindBoxUpperHalf) {
            if (!Items().empty() && choices_.Pick(2, i) == 0) return Counter(i);
            Items().push_back({NewCell(i, element), offset});
            return true;
        }
        // An operation continues the entry on top, unless nothing is there to
        // continue: then it starts a rung (or branch) of its own.
        std::vector<Item>& items = Items();
        if (items.empty() || At(LastStage(s_, items.back().net)).kind == NetKind::FanOut) {
            items.push_back({NewCell(i, element), offset});
        } else {
            items.back().net = Join(NetKind::Series, items.back().net, NewCell(i, element));
        }
        return true;
    }

    // The lower input's code is spliced in just before the two-row element:
    // it is the entry on top, the upper input the one under it. A lower input
    // that starts with an operation was taken for a continuation of the upper.
    bool Counter(size_t i) {
        if (Items().empty()) return Fail(i, "contador sin entradas");
        Item lower;
        if (Items().size() >= 2) {
            lower = Items().back();
            Items().pop_back();
        } else {
            lower = TakeOperand(i, true, false).item;
            if (lower.net < 0) return Fail(i, "contador sin entrada inferior");
            if (Items().empty()) return Fail(i, "contador sin entrada superior");
        }
        const Item upper = TakeOperand(i, false, false).item;
        Net n;
        n.kind = NetKind::Counter;
        n.instruction = static_cast<int32_t>(i);
        n.element = program_.instructions[i].ins.element;
        n.parts = {upper.net, lower.net};
        Items().push_back({NewNet(std::move(n)), upper.firstOffset});
        return true;
    }

    // The element a branch's chain starts with, as the branch-out sees it.
    int32_t HeadElement(int32_t net) const {
        const Net* n = &At(net);
        while (n->kind != NetKind::Cell) n = &At(n->parts.front());
        return n->element;
    }

    bool CloseFanOut(size_t i) {
        if (frames_.size() < 2) return Fail(i, "cr sin cs");
        Frame frame = std::move(frames_.back());
        frames_.pop_back();
        Net fan;
        fan.kind = NetKind::FanOut;
        fan.parts = {frame.common.net};
        // An operation within a branch may have headed a branch of its own:
        // the places where a branch can be cut, and which cuts to try. First
        // a one-sided box after another operation and whatever follows it,
        // and each operation after a coil or a box that ends a rung (but a
        // coil after such a box); then fewer cuts before more. The branch-out
        // must be able to link the cut branches in code order, in the rows of
        // a block.
        struct Place {
            size_t branch, stage;
        };
        std::vector<std::vector<int32_t>> stages;
        std::vector<Place> places;
        uint32_t preferred = 0;
        for (const Item& item : frame.items) {
            stages.push_back(Stages(s_, item.net));
            const std::vector<int32_t>& branch = stages.back();
            for (size_t p = 1; p < branch.size(); ++p) {
                if (!IsOperationCell(branch[p])) continue;
                const int32_t before = At(branch[p - 1]).element, op = At(branch[p]).element;
                if (IsOneSidedBox(before) || (IsOperation(before) && IsOneSidedBox(op)) ||
                    (IsTerminating(before) && op != ElementOut))
                    preferred |= 1u << places.size();
                places.push_back({stages.size() - 1, p});
                if (places.size() == MostCutPlaces) break;
            }
        }
        std::vector<uint32_t> masks = {preferred};
        for (int32_t cuts = 0; cuts <= static_cast<int32_t>(places.size()); ++cuts)
            for (uint32_t mask = 0; mask < (1u << places.size()); ++mask)
                if (std::popcount(mask) == cuts && mask != preferred) masks.push_back(mask);
        for (uint32_t mask : masks) {
            if (fan.branchings.size() == MostBranchings) break;
            // Where each branch starts, and whether a coil heads it.
            std::vector<std::pair<size_t, size_t>> starts;
            std::vector<bool> coils;
            for (size_t b = 0; b < stages.size(); ++b) {
                starts.push_back({b, 0});
                coils.push_back(HeadElement(stages[b][0]) == ElementOut);
                for (size_t n = 0; n < places.size(); ++n) {
                    if (places[n].branch != b || (mask & (1u << n)) == 0) continue;
                    starts.push_back({b, places[n].stage});
                    coils.push_back(At(stages[b][places[n].stage]).element == ElementOut);
                }
            }
            std::vector<int32_t> slots;
            if (starts.size() < 2 || starts.size() > static_cast<size_t>(BlockRows) || !BranchOutSlots(coils, slots))
                continue;
            std::vector<int32_t> branching;
            for (size_t n = 0; n < starts.size(); ++n) {
                const auto [b, from] = starts[n];
                const size_t to =
                    n + 1 < starts.size() && starts[n + 1].first == b ? starts[n + 1].second : stages[b].size();
                branching.push_back(SeriesOf(s_, stages[b], from, to));
            }
            fan.branchings.push_back(std::move(branching));
        }
        if (fan.branchings.empty()) return Fail(frame.opener, "cs y cr sin dos ramas");
        Items().push_back({NewNet(std::move(fan)), frame.common.firstOffset});
        return true;
    }

    const DecodedProgram& program_;
    ProgramStructure& s_;
    ParseChoices& choices_;
    DecompileFailure& failure_;
    std::vector<Frame> frames_;
};

// A one-sided box (END, RJP, GOTO) heeds no accumulator: it ends its rung,
// operations after it start the next one, and after another operation it
// stands in a rung of its own rather than behind a coil.
void CutAroundOneSidedBoxes(ProgramStructure& s, const DecodedProgram& program, CodeSegment& segment) {
    for (size_t k = 0; k < segment.rungs.size(); ++k) {
        const std::vector<int32_t> stages = Stages(s, segment.rungs[k].net);
        for (size_t p = TrailingOperations(s, segment.rungs[k].net); p < stages.size(); ++p) {
            if (!IsOneSidedBox(s.nets[static_cast<size_t>(stages[p])].element)) continue;
            const bool afterOperation = p > 0 && s.nets[static_cast<size_t>(stages[p - 1])].kind == NetKind::Cell &&
                                        IsOperation(s.nets[static_cast<size_t>(stages[p - 1])].element);
            if (afterOperation) {
                CutRung(s, program, segment, k, p);
            } else if (p + 1 < stages.size()) {
                CutRung(s, program, segment, k, p + 1);
            } else {
                continue;
            }
            break;
        }
    }
}

}  // namespace

bool ParseSegment(const DecodedProgram& program, ProgramStructure& structure, CodeSegment& segment,
                  ParseChoices& choices, DecompileFailure& failure) {
    TreeBuilder builder(program, structure, choices, failure);
    if (!builder.Build(segment)) return false;
    CutAroundOneSidedBoxes(structure, program, segment);
    return true;
}

}  // namespace velmorin
