// The parameter dialog's rules, driven the way the dialog drives them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/editor_messages.h"
#include "editor/parameter_session.h"
#include "model/messages.h"
#include "support/scripted_prompts.h"

namespace velmorin {
namespace {

using Messages = std::vector<std::string>;

TEST(ParameterRules, ValueTextsAndNames) {
    using K = ParamKind;
    const struct {
        K kind;
        int high;
        const char* text;
        bool valid;
    } values[] = {
        {K::Time10, 250, "1.5", true},     {K::Time10, 10, "1.5", false},    {K::Time10, 250, "1.55", false},
        {K::Time10, 250, ".5", true},      {K::Time10, 250, "25.1", false},  {K::Time10, 250, "1.5.", false},
        {K::Time10, 250, "1,5", false},    {K::Time10, 250, "0", false},     {K::Time10, 250, ".", false},
        {K::Time100, 9999, "99.99", true}, {K::Time100, 9999, "100", false}, {K::Time100, 9999, "1.555", false},
        {K::Number, 255, "255", true},     {K::Number, 255, "256", false},   {K::Number, 255, "1.0", false},
        {K::Number, 255, "+1", false},     {K::Number, 255, "", false},      {K::Number, 999999999, "123456789", false},
    };
    for (const auto& v : values) {
        EXPECT_EQ(ValueTextValid(v.kind, 1, v.high, v.text), v.valid) << int(v.kind) << " " << v.high << " " << v.text;
    }
    EXPECT_EQ(StoredName("se\xC3\xB1or"), "se\xF1or");  // Windows-1252 bytes
    EXPECT_EQ(StoredName("\xE2\x82\xACuro"), "\x80uro");
    EXPECT_EQ(StoredName("\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1"), std::string(8, '\xF1'));
    for (const char* refused : {"\xE6\x97\xA5", "nueve9999", "", "\xC3"}) EXPECT_FALSE(StoredName(refused)) << refused;
    EXPECT_TRUE(SameNameIgnoringCase("SE\xD1OR", "se\xF1or"));
}

TEST(ParameterRules, InstructionsOfACellKindInAlphabeticalOrder) {
    auto mnemonics = [](int kind) {
        std::string out;
        for (int id : InstructionsForKind(kind)) out += std::string(CatalogueEntryFor(id).mnemonic) + " ";
        return out;
    };
    EXPECT_EQ(mnemonics(KindBoxOneSided), "end goto rjp ");
    EXPECT_EQ(mnemonics(KindConditional), "if0 if1 ifv1 jp0 jp1 jpv1 ");
    EXPECT_EQ(mnemonics(KindBoxTwoSided).substr(0, 21), "clrif1 gosub ldi ldiv");
    EXPECT_EQ(mnemonics(KindCrossOut), "");  // the compiler's own instructions are never offered
}

class Dialog : public ::testing::Test {
protected:
    Dialog() : model_(std::make_unique<ProgramModel>()) { ResetModel(*model_); }

    ParameterSession& Open(int row, int kind, int element = ElementNone, CellParams params = Unset()) {
        session_ = std::make_unique<ParameterSession>(*model_, ParameterRequest{{3, row}, kind, element, params});
        opened_ = session_->Open(prompts_);
        return *session_;
    }
    static CellParams Unset() {
        CellParams params{};
        for (auto& slot : params) slot[0] = Unchosen;
        return params;
    }
    std::string Mnemonic() const { return CatalogueEntryFor(session_->selectedElement()).mnemonic; }
    std::string Alias(int i) const { return FieldText(model_->aliases[i].alias); }

    std::unique_ptr<ProgramModel> model_;
    testing::ScriptedPrompts prompts_;
    std::unique_ptr<ParameterSession> session_;
    bool opened_ = false;
    std::vector<int> focused_;
    ParameterSession::FocusEdit focus_ = [this](int p) { focused_.push_back(p); };
};

TEST_F(Dialog, OperandListIsTheRangeUpToTheLastNamedOperand) {
    ParameterSession& s = Open(2, KindContactOpen);  // ld's range runs to 94
    ASSERT_EQ(s.listRows().size(), 92u);
    EXPECT_EQ(s.listRows().back().name, "TPF2");
    EXPECT_EQ(s.text(0), "e1");  // a fresh cell gets the first operand
    s.ChooseRow(80);
    EXPECT_EQ(s.text(0), "Tpv1");
    EXPECT_EQ(s.areaLine(), "Salida de temporizadores variables");
    ASSERT_TRUE(s.Accept(prompts_, focus_));
    EXPECT_EQ(s.result().element, ElementLd);
    EXPECT_EQ(s.result().params[0][0], 80);
}

TEST_F(Dialog, ADamagedCellNeverOffersOrStoresWhatItsInstructionCannotHold) {
    CellParams params = Unset();
    params[0][0] = 88;  // tp1: outside the counter's range; element 99 is unknown
    ParameterSession& ctv = Open(2, KindBoxUpperHalf, 99, params);
    EXPECT_EQ(ctv.listRows().size(), 4u);
    ASSERT_TRUE(ctv.Accept(prompts_, focus_));
    EXPECT_EQ(ctv.result().element, ElementCtv);
    EXPECT_EQ(ctv.result().params[0][0], 76);

    params[0].fill('9');  // a time text filling its slot without its zero
    ParameterSession& osc = Open(2, KindBoxTwoSided, ElementOsc, params);
    EXPECT_EQ(osc.text(0), "99999999");
    osc.SetText(1, "2");
    EXPECT_FALSE(osc.Accept(prompts_, focus_));
    EXPECT_EQ(prompts_.messages, Messages{msg::InvalidData});
    EXPECT_EQ(focused_, std::vector<int>{0});
}

TEST_F(Dialog, JumpsOnlyToLaterBlocks) {
    ParameterSession& s = Open(6, KindConditional, ElementJp1);
    ASSERT_EQ(s.listRows().size(), 22u);  // labels 2..23
    EXPECT_EQ(s.text(0), "etq03");

    Open(93, KindConditional);  // the last block's conditional box: no instruction has a target
    EXPECT_FALSE(opened_);
    EXPECT_FALSE(session_->result().accepted);
    EXPECT_EQ(prompts_.messages, Messages{msg::NoJumpTargets});

    ParameterSession& box = Open(93, KindBoxOneSided);  // a one-sided box skips goto
    ASSERT_TRUE(opened_);
    box.SelectInstruction(1, prompts_);
    EXPECT_EQ(Mnemonic(), "rjp");
    EXPECT_EQ(prompts_.messages.size(), 1u);
}

TEST_F(Dialog, RenamesAreLiveRefusedWhenTakenAndUndoneByCancel) {
    ParameterSession& s = Open(2, KindCoil);
    s.ChooseRow(8);
    s.SetText(0, " mo tor ");
    ASSERT_TRUE(s.Accept(prompts_, focus_));
    EXPECT_EQ(Alias(8), "motor");

    ParameterSession& dup = Open(2, KindCoil);
    dup.ChooseRow(9);
    for (const char* text : {"MOTOR", "demasiado", ""}) {
        dup.SetText(0, text);
        EXPECT_FALSE(dup.Accept(prompts_, focus_)) << text;
    }
    EXPECT_EQ(prompts_.messages, (Messages{msg::DuplicateVariable, msg::InvalidData, msg::EmptyParameter}));
    EXPECT_EQ(Alias(9), "s2");

    ParameterSession& jump = Open(2, KindConditional, ElementIfv1);  // an operand, then a label
    jump.SetText(1, "fin");
    jump.FocusEntered(1, prompts_, focus_);  // leaving parameter 1: it is checked
    EXPECT_EQ(jump.activeParameter(), 1);
    jump.FocusEntered(0, prompts_, focus_);  // leaving parameter 2: the label is renamed
    EXPECT_EQ(FieldText(model_->labels[1].alias), "fin");
    jump.Cancel();
    EXPECT_EQ(FieldText(model_->labels[1].alias), "etq02");
}

TEST_F(Dialog, FocusChangesCausedByACheckAreIgnored) {
    ParameterSession& s = Open(2, KindBoxTwoSided, ElementOsc);
    s.SetText(0, "1.55");
    s.SetText(1, "2");
    // The focus goes back while the check runs, which must not start another check.
    ParameterSession::FocusEdit refocus = [&](int p) {
        focused_.push_back(p);
        s.FocusEntered(p, prompts_, refocus);
    };
    s.FocusEntered(1, prompts_, refocus);
    EXPECT_EQ(prompts_.messages, Messages{msg::InvalidData});
    EXPECT_EQ(focused_, std::vector<int>{0});
    s.SetText(0, "1.5");
    s.FocusEntered(1, prompts_, refocus);  // armed again
    EXPECT_EQ(s.activeParameter(), 1);
    ASSERT_TRUE(s.Accept(prompts_, refocus));
    EXPECT_EQ(SlotText(s.result().params[0]), "1.5");
}

}  // namespace
}  // namespace velmorin
