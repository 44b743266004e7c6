// The parameter dialog's rules, driven the way the dialog drives them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/editor_messages.h"
#include "editor/parameter_session.h"
#include "support/scripted_prompts.h"

namespace velmorin {
namespace {

using testing::ScriptedPrompts;

TEST(ParameterRules, ValueTexts) {
    struct Case {
        ParamKind kind;
        int low, high;
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {ParamKind::Time10, 1, 250, "1.5", true},
        {ParamKind::Time10, 1, 10, "1.5", false},
        {ParamKind::Time10, 1, 250, "1.55", false},
        {ParamKind::Time10, 1, 250, "25", true},
        {ParamKind::Time10, 1, 250, "25.1", false},
        {ParamKind::Time10, 1, 250, ".5", true},
        {ParamKind::Time10, 1, 250, "1..5", false},
        {ParamKind::Time10, 1, 250, "1.5.", false},
        {ParamKind::Time10, 1, 250, "1,5", false},
        {ParamKind::Time10, 1, 250, "0", false},  // below the range
        {ParamKind::Time10, 1, 250, ".", false},
        {ParamKind::Time100, 1, 9999, "1.55", true},
        {ParamKind::Time100, 1, 9999, "99.99", true},
        {ParamKind::Time100, 1, 9999, "100", false},
        {ParamKind::Time100, 1, 9999, "1.555", false},
        {ParamKind::Number, 0, 255, "255", true},
        {ParamKind::Number, 0, 255, "256", false},
        {ParamKind::Number, 0, 255, "1.0", false},
        {ParamKind::Number, 0, 255, "+1", false},
        {ParamKind::Number, 0, 255, "", false},
        {ParamKind::Number, 0, 99999999, "99999999", true},
        {ParamKind::Number, 0, 999999999, "123456789", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueTextValid(c.kind, c.low, c.high, c.text), c.valid)
            << static_cast<int>(c.kind) << " " << c.low << ".." << c.high << " '" << c.text << "'";
    }
}

TEST(ParameterRules, NamesAreStoredAsWindows1252OfAtMostEightCharacters) {
    EXPECT_EQ(StoredName("motor"), "motor");
    EXPECT_EQ(StoredName("se\xC3\xB1"
                         "al"),
              "se\xF1"
              "al");
    EXPECT_EQ(StoredName("\xE2\x82\xAC"
                         "uro"),
              "\x80"
              "uro");
    EXPECT_EQ(StoredName("\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1\xC3\xB1"), std::string(8, '\xF1'));
    EXPECT_FALSE(StoredName("\xE6\x97\xA5"));  // no such character in the code page
    EXPECT_FALSE(StoredName("nueve9999"));
    EXPECT_FALSE(StoredName(""));
    EXPECT_FALSE(StoredName("\xC3"));  // not UTF-8
    EXPECT_TRUE(
        SameNameIgnoringCase("Se\xD1"
                             "AL",
                             "se\xF1"
                             "al"));
    EXPECT_FALSE(SameNameIgnoringCase("\xD7", "\xF7"));  // signs, not letters
}

TEST(ParameterRules, InstructionsOfACellKindInAlphabeticalOrder) {
    auto mnemonics = [](int kind) {
        std::string out;
        for (int id : InstructionsForKind(kind)) out += std::string(CatalogueEntryFor(id).mnemonic) + " ";
        return out;
    };
    EXPECT_EQ(mnemonics(KindBoxOneSided), "end goto rjp ");
    EXPECT_EQ(mnemonics(KindConditional), "if0 if1 ifv1 jp0 jp1 jpv1 ");
    EXPECT_EQ(mnemonics(KindBoxUpperHalf), "ctv ");
    EXPECT_EQ(mnemonics(KindBoxTwoSided).substr(0, 20), "clrif1 gosub ldi ldi");
    // Kinds no placed element has: the compiler's own instructions are never offered.
    EXPECT_EQ(mnemonics(KindCrossOut), "");
    EXPECT_EQ(mnemonics(KindBoxLowerHalf), "");
}

class Dialog : public ::testing::Test {
protected:
    Dialog() : model_(std::make_unique<ProgramModel>()) { ResetModel(*model_); }

    // Opens the dialog on a cell as the editor would hand it over.
    ParameterSession& Open(int row, int kind, int element = ElementNone, CellParams params = Unset()) {
        ParameterRequest request{{3, row}, kind, element, params};
        session_ = std::make_unique<ParameterSession>(*model_, request);
        opened_ = session_->Open(prompts_);
        return *session_;
    }
    static CellParams Unset() {
        CellParams params{};
        for (auto& slot : params) slot[0] = Unchosen;
        return params;
    }
    int Select(const char* mnemonic) {
        const auto& ids = session_->instructions();
        for (size_t i = 0; i < ids.size(); ++i) {
            if (std::string(CatalogueEntryFor(ids[i]).mnemonic) == mnemonic) {
                session_->SelectInstruction(static_cast<int>(i), prompts_);
                return static_cast<int>(i);
            }
        }
        ADD_FAILURE() << mnemonic << " not offered";
        return -1;
    }
    std::string Alias(int index) { return FieldText(model_->aliases[index].alias); }
    std::string LabelAlias(int index) { return FieldText(model_->labels[index].alias); }

    std::unique_ptr<ProgramModel> model_;
    ScriptedPrompts prompts_;
    std::unique_ptr<ParameterSession> session_;
    bool opened_ = false;
    std::vector<int> focused_;
    ParameterSession::FocusEdit focus_ = [this](int p) { focused_.push_back(p); };
};

TEST_F(Dialog, OperandListIsTheRangeUpToTheLastNamedOperand) {
    // ld's range runs to 94, past the named operands.
    ParameterSession& s = Open(2, KindContactOpen);
    ASSERT_TRUE(opened_);
    ASSERT_EQ(s.listRows().size(), 92u);
    EXPECT_EQ(s.listRows().back().name, "TPF2");
    EXPECT_EQ(s.listRows()[0].alias, "e1");
    EXPECT_EQ(s.listHeadings()[0], std::string("Memoria"));
    EXPECT_EQ(s.text(0), "e1");  // a fresh cell gets the first operand
    s.ChooseRow(14);
    EXPECT_EQ(s.text(0), "v01");
    EXPECT_EQ(s.areaLine(), "Variables");
    s.ChooseRow(80);
    EXPECT_EQ(s.areaLine(), "Salida de temporizadores variables");
    ASSERT_TRUE(s.Accept(prompts_, focus_));
    EXPECT_EQ(s.result().element, ElementLd);
    EXPECT_EQ(s.result().params[0][0], 80);
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(Dialog, ADamagedCellNeverOffersOrStoresWhatItsInstructionCannotHold) {
    CellParams params = Unset();
    params[0][0] = 88;  // tp1: outside the counter's range
    ParameterSession& ctv = Open(2, KindBoxUpperHalf, 99, params);
    EXPECT_EQ(ctv.selectedElement(), ElementCtv);
    EXPECT_EQ(ctv.listRows().size(), 4u);
    ASSERT_TRUE(ctv.Accept(prompts_, focus_));
    EXPECT_EQ(ctv.result().params[0][0], 76);

    // A time text that fills its whole slot without its zero.
    params[0].fill('9');
    ParameterSession& osc = Open(2, KindBoxTwoSided, ElementOsc, params);
    EXPECT_EQ(osc.text(0), "99999999");
    osc.SetText(1, "2");
    EXPECT_FALSE(osc.Accept(prompts_, focus_));
    EXPECT_EQ(prompts_.messages.back(), msg::InvalidData);
    EXPECT_EQ(focused_.back(), 0);
}

TEST_F(Dialog, JumpsOnlyToLaterBlocks) {
    ParameterSession& s = Open(6, KindConditional, ElementJp1);
    ASSERT_TRUE(opened_);
    EXPECT_EQ(s.listHeadings()[0], std::string("Etiqueta"));
    ASSERT_EQ(s.listRows().size(), 22u);  // labels 2..23
    EXPECT_EQ(s.listRows()[0].name, "ETQ03");
    EXPECT_EQ(s.text(0), "etq03");

    // The last block's conditional box: no instruction has a target.
    Open(93, KindConditional);
    EXPECT_FALSE(opened_);
    EXPECT_EQ(session_->state(), ParameterSession::State::Cancelled);
    EXPECT_EQ(prompts_.messages, std::vector<std::string>{msg::NoJumpTargets});
    EXPECT_FALSE(session_->result().accepted);

    // A one-sided box there skips from goto to the next instruction.
    ParameterSession& box = Open(93, KindBoxOneSided);
    ASSERT_TRUE(opened_);
    Select("goto");
    EXPECT_EQ(std::string(CatalogueEntryFor(box.selectedElement()).mnemonic), "rjp");
    EXPECT_EQ(prompts_.messages.size(), 1u);
}

TEST_F(Dialog, RenamesAreLiveRefusedWhenTakenAndUndoneByCancel) {
    ParameterSession& s = Open(2, KindCoil);  // out: parameter 1 is the operand
    s.ChooseRow(8);
    s.SetText(0, " mo tor ");
    ASSERT_TRUE(s.Accept(prompts_, focus_));
    EXPECT_EQ(Alias(8), "motor");

    ParameterSession& dup = Open(2, KindCoil);
    dup.ChooseRow(9);
    dup.SetText(0, "MOTOR");
    EXPECT_FALSE(dup.Accept(prompts_, focus_));
    EXPECT_EQ(prompts_.messages.back(), msg::DuplicateVariable);
    EXPECT_EQ(Alias(9), "s2");
    dup.SetText(0, "demasiado_largo");
    EXPECT_FALSE(dup.Accept(prompts_, focus_));
    EXPECT_EQ(prompts_.messages.back(), msg::InvalidData);
    dup.SetText(0, "");
    EXPECT_FALSE(dup.Accept(prompts_, focus_));
    EXPECT_EQ(prompts_.messages.back(), msg::EmptyParameter);

    // A label renamed while the dialog is open comes back on cancel.
    ParameterSession& jump = Open(2, KindConditional, ElementIfv1);  // variable, then label
    jump.SetText(1, "fin");
    jump.FocusEntered(1, prompts_, focus_);  // parameter 1 checked: the operand is fine
    EXPECT_EQ(jump.activeParameter(), 1);
    jump.FocusEntered(0, prompts_, focus_);  // parameter 2 checked: the label renamed
    EXPECT_EQ(LabelAlias(1), "fin");
    jump.Cancel();
    EXPECT_EQ(LabelAlias(1), "etq02");
    EXPECT_EQ(Alias(8), "motor");
}

TEST_F(Dialog, FocusChangesCausedByACheckAreIgnored) {
    ParameterSession& s = Open(2, KindBoxTwoSided, ElementOsc);
    s.SetText(0, "1.55");
    s.SetText(1, "2");
    // The dialog moves the focus back while the check is running; that focus
    // change must not start a second check.
    ParameterSession::FocusEdit refocus = [&](int p) {
        focused_.push_back(p);
        s.FocusEntered(p, prompts_, refocus);
    };
    s.FocusEntered(1, prompts_, refocus);
    EXPECT_EQ(prompts_.messages, std::vector<std::string>{msg::InvalidData});
    EXPECT_EQ(focused_, std::vector<int>{0});
    EXPECT_EQ(s.activeParameter(), 0);
    // The guard is armed again afterwards.
    s.SetText(0, "1.5");
    s.FocusEntered(1, prompts_, refocus);
    EXPECT_EQ(s.activeParameter(), 1);
    ASSERT_TRUE(s.Accept(prompts_, refocus));
    EXPECT_EQ(SlotText(s.result().params[0]), "1.5");
    EXPECT_EQ(SlotText(s.result().params[1]), "2");
}

}  // namespace
}  // namespace velmorin
