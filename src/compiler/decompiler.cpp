#include "compiler/decompiler.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <span>
#include <string>

#include "compiler/compiler_messages.h"
#include "compiler/decompile_decode.h"
#include "compiler/decompile_layout.h"
#include "compiler/decompile_structure.h"
#include "compiler/decompile_verify.h"
#include "compiler/image_dump.h"
#include "compiler/instruction_set.h"

namespace velmorin {
namespace {

// Bounds on the drawings tried for one rung: the first one nearly always
// compiles back; the others differ in branch order and cut.
constexpr int32_t MostLayoutsPerRung = 400;
constexpr int32_t MostTrialsPerRung = 48;
constexpr int32_t MostTrialsPerCut = 16;
constexpr int32_t MostParsesPerSegment = 200;
// Trial compilations of one image: the programs drawn at random in the
// editor come back within a quarter of these; the bound keeps the time an
// image no diagram compiles to can take.
constexpr int32_t MostTrials = 300;

struct PlacedRung {
    RungTree rung;
    RungPlan plan;
    int32_t row = 0;  // within its block
};

struct PlannedBlock {
    std::vector<PlacedRung> rungs;
    int32_t rowsUsed = 0;
};

class Decompiler {
public:
    Decompiler(const CodeImage& image, DecompileResult& result) : image_(image), result_(result) {
        ResetModel(*blank_);
        *trial_ = *blank_;
    }

    bool Run() {
        DecompileFailure failure;
        if (!DecodeProgram(image_, result_.codeLength, program_, failure)) return Fail(failure);
        SplitSegments(program_, structure_);
        for (CodeSegment& segment : structure_.segments)
            if (!PlanSegment(segment)) return false;
        if (!AssignBlocks()) return false;
        return DrawAndVerify();
    }

    bool Fail(const DecompileFailure& failure) {
        result_.firstDifference = failure.address;
        result_.outcome = Result::Fail(msg::DiagramNotRecovered, failure.reason);
        return false;
    }
    bool Fail(int32_t address, const std::string& reason) { return Fail({address, AtAddress(address, reason)}); }

    // Block 0 of the trial model back to what a reset left there.
    void ClearTrialBlock() {
        for (int32_t row = BlockFirstRow(0); row < BlockFirstRow(1); ++row)
            for (int32_t column = 0; column < GridColumns; ++column)
                trial_->grid.at(row, column) = blank_->grid.at(row, column);
    }

    // Compiles the trial model's first block holding `rungs` and checks that
    // it gives the code from the first rung's start to the last one's end.
    bool TrialMatches(const std::vector<PlacedRung>& rungs) {
        if (trialsLeft_ == 0) return false;
        --trialsLeft_;
        ClearTrialBlock();
        for (const PlacedRung& placed : rungs) {
            if (!DrawRung(*trial_, BlockFirstRow(0) + placed.row, placed.plan, program_, [](int32_t) { return 0; }))
                return false;
        }
        const CodeImage* code = compiler_.Compile(*trial_);
        return code != nullptr &&
               SameRungCode(*code, image_, program_, rungs.front().rung.firstOffset, rungs.back().rung.endOffset);
    }

    // Walks the layouts of the last of `rungs` until one compiles back in
    // the company of the rungs before it in its block: the first choices,
    // then each choice changed to its next options, nearest first.
    bool SearchLayout(std::vector<PlacedRung>& rungs, int32_t mostTrials) {
        PlacedRung& last = rungs.back();
        std::deque<std::vector<int32_t>> waiting = {{}};
        std::set<std::vector<int32_t>> seen = {{}};
        int32_t trials = 0;
        for (int32_t walked = 0; walked < MostLayoutsPerRung && trials < mostTrials && !waiting.empty(); ++walked) {
            LayoutChoices choices(std::move(waiting.front()));
            waiting.pop_front();
            RungPlan plan;
            if (LayOutRung(structure_, last.rung.net, choices, plan) && last.row + plan.height <= BlockRows) {
                last.plan = std::move(plan);
                ++trials;
                if (TrialMatches(rungs)) return true;
            }
            std::vector<int32_t> picks = choices.picks();
            picks.resize(choices.options().size(), 0);
            int32_t most = 0;
            for (int32_t options : choices.options()) most = std::max(most, options);
            for (int32_t option = 1; option < most; ++option) {
                for (size_t i = 0; i < picks.size(); ++i) {
                    if (picks[i] != 0 || option >= choices.options()[i]) continue;
                    std::vector<int32_t> next = picks;
                    next[i] = option;
                    if (seen.insert(next).second) waiting.push_back(std::move(next));
                }
            }
        }
        return false;
    }

    // Parses a segment and lays out its rungs. When a rung cannot be drawn
    // so that it compiles back, other parses are tried, breadth first: each
    // changes one more of the choices taken within that rung.
    bool PlanSegment(CodeSegment& segment) {
        std::deque<std::vector<int32_t>> waiting = {{}};
        std::set<std::vector<int32_t>> seen = {{}};
        DecompileFailure failure;
        for (int32_t parse = 0; parse < MostParsesPerSegment && !waiting.empty(); ++parse) {
            ParseChoices choices(waiting.front());
            waiting.pop_front();
            size_t begin = segment.firstInstruction, end = segment.endInstruction;
            if (ParseSegment(program_, structure_, segment, choices, failure)) {
                const int32_t failed = PlanRungs(segment);
                if (failed < 0) return true;
                const RungTree& rung = segment.rungs[static_cast<size_t>(failed)];
                failure = {rung.firstOffset, AtAddress(rung.firstOffset, "rung que no se puede dibujar en la rejilla")};
                begin = InstructionAt(rung.firstOffset);
                end = InstructionAt(rung.endOffset);
            } else {
                end = InstructionAt(failure.address) + 1;
            }
            std::vector<int32_t> picks = choices.picks();
            picks.resize(choices.options().size(), 0);
            for (size_t i = 0; i < picks.size(); ++i) {
                if (choices.instructions()[i] < begin || choices.instructions()[i] >= end) continue;
                for (int32_t option = 0; option < choices.options()[i]; ++option) {
                    if (option == picks[i]) continue;
                    std::vector<int32_t> next(picks.begin(), picks.begin() + static_cast<std::ptrdiff_t>(i));
                    next.push_back(option);
                    if (seen.insert(next).second) waiting.push_back(std::move(next));
                }
            }
        }
        return Fail(failure);
    }

    size_t InstructionAt(int32_t offset) const {
        size_t i = 0;
        while (i < program_.instructions.size() && program_.instructions[i].ins.offset < offset) ++i;
        return i;
    }

    // A layout for every rung of a segment, each alone in a block; the index
    // of the first rung without one, or -1. A rung that cannot be drawn so
    // that it compiles back (too wide for the grid, or operations the
    // compiler would join with the rest before an andp) is cut in two.
    int32_t PlanRungs(CodeSegment& segment) {
        for (size_t k = 0; k < segment.rungs.size(); ++k) {
            const RungTree rung = segment.rungs[k];
            // Another parse brings back many of the same rungs.
            const std::string key = RungKey(rung);
            auto known = planned_.find(key);
            if (known == planned_.end()) known = planned_.emplace(key, PlanRung(rung)).first;
            const RungOutcome& outcome = known->second;
            if (!outcome.found) return static_cast<int32_t>(k);
            if (outcome.cut > 0) CutRung(structure_, program_, segment, k, outcome.cut);
            plans_[rung.firstOffset] = outcome.plan;
        }
        return -1;
    }

    struct RungOutcome {
        bool found = false;
        size_t cut = 0;  // the stage the rung was cut before, 0 for none
        RungPlan plan;
    };

    std::string RungKey(const RungTree& rung) const {
        std::string key = std::to_string(rung.firstOffset) + "-" + std::to_string(rung.endOffset) + ":";
        Describe(rung.net, key);
        return key;
    }
    void Describe(int32_t net, std::string& out) const {
        const Net& n = structure_.nets[static_cast<size_t>(net)];
        out += std::to_string(static_cast<int>(n.kind)) + "." + std::to_string(n.instruction) + "." +
               std::to_string(n.element) + "(";
        for (int32_t part : n.parts) Describe(part, out), out += ',';
        for (const std::vector<int32_t>& branching : n.branchings) {
            out += '|';
            for (int32_t part : branching) Describe(part, out), out += ',';
        }
        out += ')';
    }

    // The layout of a rung, or of its first part when it has to be cut. An
    // operation can head a rung from the rail: the rung may be cut before
    // any, after one that closes a rung (a coil, a set...) first.
    RungOutcome PlanRung(const RungTree& rung) {
        RungOutcome outcome;
        const std::vector<int32_t> stages = Stages(structure_, rung.net);
        std::vector<size_t> cuts = {stages.size()};
        // Each stage takes a column at least: a longer first part cannot fit.
        const size_t longest = std::min<size_t>(stages.size() - 1, GridColumns - 2);
        for (bool closing : {true, false}) {
            for (size_t cut = longest; cut >= 1; --cut) {
                const Net& stage = structure_.nets[static_cast<size_t>(stages[cut])];
                const Net& before = structure_.nets[static_cast<size_t>(stages[cut - 1])];
                if (stage.kind == NetKind::Cell && IsOperation(stage.element) &&
                    IsTerminating(before.element) == closing && CutKeepsCode(structure_, program_, rung, cut))
                    cuts.push_back(cut);
            }
        }
        for (size_t cut : cuts) {
            std::vector<PlacedRung> alone = {{rung, {}, 0}};
            if (cut < stages.size()) {
                alone[0].rung.net = SeriesOf(structure_, stages, 0, cut);
                alone[0].rung.endOffset = FirstOffset(structure_, program_, stages[cut]);
            }
            if (!SearchLayout(alone, cut == stages.size() ? MostTrialsPerRung : MostTrialsPerCut)) continue;
            outcome.found = true;
            outcome.cut = cut < stages.size() ? cut : 0;
            outcome.plan = std::move(alone.front().plan);
            break;
        }
        return outcome;
    }

    int32_t RungCount() const {
        int32_t count = 0;
        for (const CodeSegment& segment : structure_.segments) count += static_cast<int32_t>(segment.rungs.size());
        return count;
    }

    // One rung a block while they fit in the 24 blocks; otherwise the rungs
    // share blocks in code order, each segment from the start of a block.
    bool AssignBlocks() {
        const bool alone = RungCount() + (structure_.endIsTarget ? 1 : 0) <= BlockCount;
        for (const CodeSegment& segment : structure_.segments) {
            bool segmentStart = true;
            for (const RungTree& rung : segment.rungs) {
                const RungPlan& plan = plans_.at(rung.firstOffset);
                const bool fits = !blocks_.empty() && blocks_.back().rowsUsed + plan.height <= BlockRows;
                if (alone || segmentStart || !fits || !JoinLastBlock(rung, plan)) {
                    blocks_.push_back({});
                    blocks_.back().rungs.push_back({rung, plan, 0});
                    blocks_.back().rowsUsed = plan.height;
                }
                if (segmentStart) segmentBlock_[segment.startOffset] = static_cast<int32_t>(blocks_.size()) - 1;
                segmentStart = false;
            }
        }
        const int32_t needed = static_cast<int32_t>(blocks_.size()) + (structure_.endIsTarget ? 1 : 0);
        if (needed > BlockCount) return Fail(0, "el diagrama no cabe en los 24 bloques");
        return true;
    }

    // Packs a rung under the others of the last block when the block still
    // compiles to their code with it.
    bool JoinLastBlock(const RungTree& rung, const RungPlan& plan) {
        std::vector<PlacedRung> rungs = blocks_.back().rungs;
        rungs.push_back({rung, plan, blocks_.back().rowsUsed});
        if (!TrialMatches(rungs) && !SearchLayout(rungs, MostTrialsPerCut)) return false;
        blocks_.back().rungs = rungs;
        blocks_.back().rowsUsed += rungs.back().plan.height;
        return true;
    }

    int32_t LabelOf(int32_t target) const {
        if (target >= program_.codeLength) return static_cast<int32_t>(blocks_.size());
        return segmentBlock_.at(target);
    }

    bool DrawAndVerify() {
        auto model = std::make_unique<ProgramModel>(*blank_);
        for (size_t b = 0; b < blocks_.size(); ++b) {
            for (const PlacedRung& placed : blocks_[b].rungs) {
                const int32_t row = BlockFirstRow(static_cast<int32_t>(b)) + placed.row;
                if (!DrawRung(*model, row, placed.plan, program_, [this](int32_t t) { return LabelOf(t); }))
                    return Fail(placed.rung.firstOffset, "rung que el editor no deja dibujar");
            }
        }
        const CodeImage* code = compiler_.Compile(*model);
        const std::span<const uint8_t> expected(image_.bytes.data(), static_cast<size_t>(result_.codeLength));
        const int32_t difference = code == nullptr ? 0 : FirstDifference(expected, *code);
        if (difference >= 0) return Fail(difference, "el diagrama dibujado compila distinto");
        result_.model = std::move(model);
        return true;
    }

    const CodeImage& image_;
    DecompileResult& result_;
    DecodedProgram program_;
    ProgramStructure structure_;
    ImageCompiler compiler_;
    std::unique_ptr<ProgramModel> blank_ = std::make_unique<ProgramModel>();
    std::unique_ptr<ProgramModel> trial_ = std::make_unique<ProgramModel>();
    std::map<int32_t, RungPlan> plans_;           // by the rung's first offset
    std::map<std::string, RungOutcome> planned_;  // by rung and tree
    int32_t trialsLeft_ = MostTrials;
    std::vector<PlannedBlock> blocks_;
    std::map<int32_t, int32_t> segmentBlock_;  // by the segment's start offset
};

}  // namespace

DecompileResult Decompile(const CodeImage& image) {
    DecompileResult result;
    // Nothing past the code's end is read: it is no part of the program.
    result.codeLength = CodeLengthOf(image);
    result.listing = DumpCode(std::span<const uint8_t>(image.bytes.data(), static_cast<size_t>(result.codeLength)));
    Decompiler decompiler(image, result);
    decompiler.Run();
    return result;
}

}  // namespace velmorin
