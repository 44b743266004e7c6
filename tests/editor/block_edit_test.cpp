// Whole-block editing through the session: a program edited by insert,
// delete and the two moves saves and compiles as the same program drawn in
// its final place; refused edits change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/test_diagram.h"
#include "editor/editor_messages.h"
#include "editor_fixture.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using testing::Diagram;

class BlockEditing : public testing::EditorFixture {
protected:
    void Load(const ProgramModel& program) {
        model() = program;
        editor_.InitialUpdate();
    }
    ViewEffects At(int block, BlockEdit edit) {
        editor_.MouseMove(Point(BlockFirstRow(block) + 1, 4), false);
        return editor_.EditBlock(edit);
    }
    std::vector<uint8_t> Saved() { return EncodeSourceFile(model()); }
};

void NameLabel(Diagram& d, int label, const char* alias) { SetFieldText(d.model().labels[label].alias, alias); }

struct Build {
    std::string listing;
    std::vector<uint8_t> image;
};

Build CompileBuild(const ProgramModel& model) {
    const CompileOutput output = Compile(model);
    EXPECT_FALSE(output.nothingToCompile);
    EXPECT_EQ(output.errorCount, 0);
    return {output.listing, {output.image.bytes.begin(), output.image.bytes.begin() + output.image.codeLength}};
}

TEST_F(BlockEditing, InsertDeleteAndMovesSaveAndCompileAsTheProgramDrawnInItsFinalPlace) {
    Diagram start;
    start.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"});
    start.Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s1"});
    start.Block(2, {"ld:e3 ─ ─ ─ ─ ─ ─ jp1:@4"});
    start.Block(3, {"ld:s1 ─ ─ ─ ─ ─ ─ out:s2"});
    start.Block(4, {"ld:e5 ─ ─ ─ ─ ─ ─ tp:tp1:2.5", "end"});
    start.Alias("e1", "marcha");
    NameLabel(start, 0, "inicio");
    NameLabel(start, 2, "medio");
    NameLabel(start, 4, "fin");
    Load(start.model());
    const std::vector<uint8_t> before = Saved();

    // An empty block before block 1, the jump target moved down past its
    // neighbour, the empty block deleted again, and two rungs swapped.
    EXPECT_TRUE(At(1, BlockEdit::Insert).message.empty());
    EXPECT_TRUE(At(3, BlockEdit::MoveDown).message.empty());
    EXPECT_EQ(editor_.hoverCell().row, BlockFirstRow(4) + 1);  // the cursor went with the block
    EXPECT_TRUE(At(1, BlockEdit::Delete).message.empty());
    const ViewEffects moved = At(2, BlockEdit::MoveUp);
    EXPECT_TRUE(moved.message.empty());
    EXPECT_EQ(moved.modified, std::optional<bool>(true));
    EXPECT_EQ(editor_.history().stepCount(), 4u);

    Diagram final;
    final.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@3"});
    final.Block(1, {"ld:s1 ─ ─ ─ ─ ─ ─ out:s2"});
    final.Block(2, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s1"});
    final.Block(3, {"ld:e3 ─ ─ ─ ─ ─ ─ jp1:@4"});
    final.Block(4, {"ld:e5 ─ ─ ─ ─ ─ ─ tp:tp1:2.5", "end"});
    final.Alias("e1", "marcha");
    NameLabel(final, 0, "inicio");
    NameLabel(final, 3, "medio");
    NameLabel(final, 4, "fin");
    EXPECT_EQ(Saved(), EncodeSourceFile(final.model()));
    const Build edited = CompileBuild(model());
    const Build drawn = CompileBuild(final.model());
    EXPECT_EQ(edited.listing, drawn.listing);
    EXPECT_EQ(edited.image, drawn.image);
    // The names of the labels no jump reaches moved with their blocks too:
    // none is lost and none doubled.
    auto names = [](const ProgramModel& m) {
        std::vector<std::string> all;
        for (int k = 0; k < BlockCount; ++k) all.push_back(FieldText(m.labels[k].alias));
        std::sort(all.begin(), all.end());
        return all;
    };
    EXPECT_EQ(names(model()), names(start.model()));
    EXPECT_EQ(FieldText(model().labels[1].alias), "etq04");

    for (int i = 0; i < 4; ++i) editor_.Undo();
    EXPECT_EQ(Saved(), before);
    for (int i = 0; i < 4; ++i) editor_.Redo();
    EXPECT_EQ(Saved(), EncodeSourceFile(final.model()));
}

TEST_F(BlockEditing, DeletingAJumpTargetSendsTheJumpWhereTheCodeWentOn) {
    Diagram start;
    start.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@1"});
    start.Block(1, {"ld:e2 ─ ─ ─ ─ ─ ─ out:s1"});
    start.Block(2, {"ld:e3 ─ ─ ─ ─ ─ ─ out:s2", "end"});
    NameLabel(start, 2, "resto");
    Load(start.model());
    At(1, BlockEdit::Delete);

    Diagram final;
    final.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ jp1:@1"});
    final.Block(1, {"ld:e3 ─ ─ ─ ─ ─ ─ out:s2", "end"});
    NameLabel(final, 1, "resto");
    EXPECT_EQ(Saved(), EncodeSourceFile(final.model()));
}

TEST_F(BlockEditing, RefusedEditsChangeNothing) {
    const struct {
        const char* what;
        std::vector<std::pair<int, std::string>> rows;  // grid row, cells
        int block;
        BlockEdit edit;
        const char* message;
    } cases[] = {
        {"insert with a rung in the last block",
         {{93, "ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}},
         0,
         BlockEdit::Insert,
         msg::BlockInsertLastInUse},
        {"insert with a lone wire in the last block", {{96, ". . ─"}}, 5, BlockEdit::Insert, msg::BlockInsertLastInUse},
        {"insert while a jump reaches the empty last block",
         {{1, "ld:e1 ─ ─ ─ ─ ─ ─ jp1:@23"}},
         3,
         BlockEdit::Insert,
         msg::BlockInsertLastInUse},
        {"a jump's target moved up onto it",
         {{5, "ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"}, {9, "end"}},
         2,
         BlockEdit::MoveUp,
         msg::BlockMoveJumpBackwards},
        {"a jump moved down onto its target",
         {{5, "ld:e1 ─ ─ ─ ─ ─ ─ jp1:@2"}, {9, "end"}},
         1,
         BlockEdit::MoveDown,
         msg::BlockMoveJumpBackwards},
        {"a call moved down past its target",
         {{1, "gosub:@1"}, {5, "rjp"}},
         0,
         BlockEdit::MoveDown,
         msg::BlockMoveJumpBackwards},
        {"the first block up", {{1, "ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}}, 0, BlockEdit::MoveUp, msg::BlockAlreadyFirst},
        {"the last block down", {{93, "ld:e1 ─ ─ ─ ─ ─ ─ out:s1"}}, 23, BlockEdit::MoveDown, msg::BlockAlreadyLast},
    };
    for (const auto& c : cases) {
        Diagram d;
        for (const auto& [row, cells] : c.rows) d.Row(row, cells);
        Load(d.model());
        const std::vector<uint8_t> before = Saved();
        const ProgramModel copy = model();
        const ViewEffects fx = At(c.block, c.edit);
        EXPECT_EQ(fx.message, c.message) << c.what;
        EXPECT_EQ(Saved(), before) << c.what;
        EXPECT_EQ(copy.labels[23].alias, model().labels[23].alias) << c.what;
        EXPECT_FALSE(fx.modified) << c.what;
        EXPECT_FALSE(editor_.CanUndo()) << c.what;
    }
}

using AliasImport = testing::EditorFixture;

TEST_F(AliasImport, AnImportIsOneUndoStepAndARefusedOneNone) {
    const ViewEffects refused = editor_.ImportAliases("memoria;alias\nS1;bomba\nQ7;x\n");
    EXPECT_EQ(refused.message, "No se importaron los alias; el diagrama no cambió");
    EXPECT_EQ(refused.detail, "Línea 3: memoria desconocida \"Q7\"");
    EXPECT_EQ(FieldText(model().aliases[8].alias), "s1");
    EXPECT_FALSE(editor_.CanUndo());

    const ViewEffects imported = editor_.ImportAliases("memoria;alias\nS1;bomba\nE1;nivel\n");
    EXPECT_TRUE(imported.message.empty());
    EXPECT_EQ(imported.modified, std::optional<bool>(true));
    EXPECT_EQ(FieldText(model().aliases[8].alias), "bomba");
    EXPECT_EQ(editor_.history().stepCount(), 1u);
    editor_.Undo();
    EXPECT_EQ(FieldText(model().aliases[8].alias), "s1");
    EXPECT_EQ(FieldText(model().aliases[0].alias), "e1");
}

}  // namespace
}  // namespace velmorin
