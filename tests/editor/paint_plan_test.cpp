#include "editor/paint_plan.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../support/model_builders.h"
#include "editor/print_layout.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using testing::PutElement;

// Regular fonts 10 units a character, the narrow one 6: the measure decides
// the font and the place, so a simple rule shows both.
int32_t FakeMeasure(std::string_view text, int32_t font) {
    return static_cast<int32_t>(text.size()) * (font == 2 ? 6 : 10);
}

class PaintPlanTest : public ::testing::Test {
protected:
    PaintPlanTest() : model(std::make_unique<ProgramModel>()) { ResetModel(*model); }

    const PaintPlan& Plan(PaintInputs inputs) {
        PlanPaint(*model, inputs, metrics, FakeMeasure, plan);
        return plan;
    }
    const PaintPlan& PlanRows(int32_t first, int32_t last) {
        PaintInputs inputs;
        inputs.rows = {first, last};
        return Plan(inputs);
    }
    const PlannedCell* Find(int32_t row, int32_t column) const {
        for (const PlannedCell& cell : plan.cells) {
            if (cell.row == row && cell.column == column) return &cell;
        }
        return nullptr;
    }
    std::vector<PlannedText> Texts(int32_t row, int32_t column) const {
        const PlannedCell* cell = Find(row, column);
        if (cell == nullptr) return {};
        return {plan.texts.begin() + cell->firstText, plan.texts.begin() + cell->firstText + cell->textCount};
    }

    std::unique_ptr<ProgramModel> model;
    CellMetrics metrics{160, 128};  // 2.5 units a pixel across, 2 down
    PaintPlan plan;
};

TEST_F(PaintPlanTest, RowsToPaintCoverTheVisibleBandAndOneRowEachSide) {
    struct Case {
        int32_t top, bottom, first, last;
    } cases[] = {
        {0, 960, 0, 15},                           // the top: nothing above row 0
        {640, 1600, 8, 25},                        // lower edges from top - 64 to bottom + 64
        {650, 1610, 9, 25}, {6000, 6960, 92, 96},  // cut at the grid's last row
        {-64, 100, 0, 1},
    };
    for (const Case& c : cases) {
        const RowRange rows = RowsToPaint(c.top, c.bottom);
        EXPECT_EQ(rows.first, c.first) << c.top;
        EXPECT_EQ(rows.last, c.last) << c.top;
    }
}

TEST_F(PaintPlanTest, HighlightsInvertTheirCellsAndShowEmptyOnesAsBlank) {
    PutElement(*model, 6, 2, ElementLd, testing::E1);
    struct Case {
        const char* what;
        PaintInputs inputs;
        CellPos cell;
        int32_t kind;  // -1: nothing drawn
        RasterOp op;
    };
    // Each case paints over an overlay of its own.
    std::vector<std::unique_ptr<ViewOverlay>> overlays;
    const auto overlayOf = [&overlays](PaintInputs& in) -> ViewOverlay& {
        ViewOverlay& overlay = *overlays.emplace_back(std::make_unique<ViewOverlay>());
        in.overlay = &overlay;
        return overlay;
    };
    PaintInputs hoverEmpty, hoverElement, hoverWhileMarked, marked, selection, live, printing;
    for (PaintInputs* in : {&hoverEmpty, &hoverElement, &hoverWhileMarked, &marked, &selection, &live, &printing})
        in->rows = {5, 8};
    overlayOf(hoverEmpty).hover = {4, 5};
    overlayOf(hoverElement).hover = {2, 6};
    ViewOverlay& both = overlayOf(hoverWhileMarked);
    both.hover = {4, 5};
    both.marked = {7, 8};
    overlayOf(marked).marked = {7, 8};
    overlayOf(selection).selection = {1, {1, 5}, {3, 7}};
    live.live = true;
    ViewOverlay& liveOverlay = overlayOf(live);
    liveOverlay.hover = {4, 5};
    liveOverlay.marked = {7, 8};
    printing.printing = true;
    overlayOf(printing).hover = {2, 6};
    const Case cases[] = {
        {"hover on an empty cell", hoverEmpty, {4, 5}, KindBlank, RasterOp::Xor},
        {"hover on an element", hoverElement, {2, 6}, KindContactOpen, RasterOp::Xor},
        {"no hover while a cell is marked", hoverWhileMarked, {4, 5}, -1, RasterOp::And},
        {"the marked cell", hoverWhileMarked, {7, 8}, KindBlank, RasterOp::Xor},
        {"marked alone", marked, {7, 8}, KindBlank, RasterOp::Xor},
        {"selection corner", selection, {1, 5}, KindBlank, RasterOp::Xor},
        {"selection element", selection, {2, 6}, KindContactOpen, RasterOp::Xor},
        {"selection far corner", selection, {3, 7}, KindBlank, RasterOp::Xor},
        {"outside the selection", selection, {4, 7}, -1, RasterOp::And},
        {"selection never covers a rail it was not given", selection, {0, 6}, KindTeeUpDownRight, RasterOp::And},
        {"no hover while live", live, {4, 5}, -1, RasterOp::And},
        {"no marked cell while live", live, {7, 8}, -1, RasterOp::And},
        {"no hover on paper", printing, {2, 6}, KindContactOpen, RasterOp::And},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Plan(c.inputs);
        const PlannedCell* cell = Find(c.cell.row, c.cell.column);
        if (c.kind < 0) {
            EXPECT_EQ(cell, nullptr);
            continue;
        }
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->kind, c.kind);
        EXPECT_EQ(cell->op, c.op);
        EXPECT_EQ(cell->opaqueText, c.op == RasterOp::Xor);
    }
}

TEST_F(PaintPlanTest, TextsTakeTheirAnchorsFontsAndPlaces) {
    // tp: mnemonic, variable alias, time; ld: the alias at the mnemonic's anchor.
    PutElement(*model, 1, 8, ElementTp, 86);
    SetSlotText(model->grid.at(1, 8).params[1], "2.5");
    PutElement(*model, 1, 1, ElementLd, testing::E1);
    SetFieldText(model->aliases[0].alias, "marcha");
    PutElement(*model, 2, 1, ElementLdn, testing::E1);
    model->grid.at(2, 1).params[0][0] = Unchosen;
    SetFieldText(model->labels[0].alias, "arranque");
    PlanRows(1, 2);

    const auto tp = Texts(1, 8);
    ASSERT_EQ(tp.size(), 3u);
    EXPECT_EQ(tp[0].text, "TP");
    EXPECT_EQ(tp[0].font, 0);
    EXPECT_EQ(tp[0].top, 124);  // 62 pixels
    EXPECT_EQ(tp[1].text, "Tp1");
    EXPECT_EQ(tp[1].font, 1);
    EXPECT_EQ(tp[1].top, 84);  // 42 pixels
    EXPECT_EQ(tp[2].text, "2.5");
    EXPECT_EQ(tp[2].top, 44);
    EXPECT_EQ(tp[2].x, (160 - 30 - 16) / 2);

    const auto ld = Texts(1, 1);
    ASSERT_EQ(ld.size(), 1u);
    EXPECT_EQ(ld[0].text, "marcha");
    EXPECT_EQ(ld[0].top, 124);
    EXPECT_EQ(ld[0].x, (160 - 60 - 16) / 2);

    EXPECT_TRUE(Texts(2, 1).empty());  // the unset operand is skipped

    const auto label = Texts(1, 0);
    ASSERT_TRUE(Find(1, 0)->labelFrame);
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].text, "arranque");
    EXPECT_EQ(label[0].font, 0);
    EXPECT_EQ(label[0].top, 120);  // the first anchor of catalogue entry 0: 60 pixels
    EXPECT_FALSE(Find(2, 0)->labelFrame);
}

// Texts stay inside what they are drawn in: the narrow font first, then cut
// with an ellipsis, in a box's outline and narrower at the conditional's point.
TEST_F(PaintPlanTest, ATextTooWideForItsCellTakesTheNarrowFontAndIsCutToFit) {
    // A narrow font that is still wide: 16 units a character against 20.
    const TextMeasure wide = [](std::string_view text, int32_t font) {
        return static_cast<int32_t>(text.size()) * (font == 2 ? 16 : 20);
    };
    const auto put = [&](int row, int element, int label, int variable) {
        PutElement(*model, row, 1, element, variable >= 0 ? variable : label);
        if (variable >= 0 && label >= 0) model->grid.at(row, 1).params[1] = {static_cast<uint8_t>(label), 0};
    };
    SetFieldText(model->labels[1].alias, "MMMMMMMM");
    SetFieldText(model->labels[2].alias, "abcde");
    SetFieldText(model->aliases[14].alias, "VARIABLE");
    SetFieldText(model->aliases[0].alias, "MMMMMMMM");
    put(1, ElementIf1, 1, -1);
    put(2, ElementIfv1, 1, 14);  // the label's line reaches into the point
    put(3, ElementLd, -1, 0);
    put(4, ElementIf1, 2, -1);
    PaintInputs inputs;
    inputs.rows = {1, 4};
    PlanPaint(*model, inputs, metrics, wide, plan);

    const struct {
        int row;
        size_t text;
        const char* shown;
        int32_t font;
    } cases[] = {
        {1, 1, "MMMMM\x85", 2},                         // 128 in the narrow font, 110 inside the box
        {2, 1, "VARIA\x85", 2}, {2, 2, "MMMM\x85", 2},  // 90 at the point
        {3, 0, "MMMMMMMM", 2},                          // a contact has the cell: 144
        {4, 1, "abcde", 1},                             // 100: as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        const auto texts = Texts(c.row, 1);
        ASSERT_GT(texts.size(), c.text);
        const PlannedText& t = texts[c.text];
        EXPECT_EQ(t.text, c.shown);
        EXPECT_EQ(t.font, c.font);
        EXPECT_EQ(t.width, wide(t.text, t.font));
        EXPECT_EQ(t.x, (metrics.w - t.width - 16) / 2);
    }
}

TEST_F(PaintPlanTest, LiveValuesReplaceThePresetOnTheirLineOrAreAdded) {
    PutElement(*model, 1, 8, ElementTp, 86);  // Tp1: count state at 112
    SetSlotText(model->grid.at(1, 8).params[1], "2.5");
    PutElement(*model, 2, 8, ElementCtv, 76);  // Cnt1 (upper half): count state at 92
    model->grid.at(3, 8).shape = KindBoxLowerHalf;
    model->grid.at(3, 8).element = ElementCtv;
    model->grid.at(3, 8).params = model->grid.at(2, 8).params;
    const auto overlay = std::make_unique<ViewOverlay>();
    overlay->colourAt(2, 8) = ColourGreen;
    overlay->colourAt(1, 8) = 7;          // not a colour
    overlay->colourAt(1, 0) = ColourRed;  // the rail has no colours
    LiveImageSnapshot image{};
    image[112] = 250;
    image[92] = 0xFE;  // -2
    image[93] = 0xFF;
    PaintInputs inputs;
    inputs.rows = {1, 4};
    inputs.overlay = overlay.get();
    inputs.live = true;
    inputs.liveImage = &image;
    Plan(inputs);

    const auto tp = Texts(1, 8);
    ASSERT_EQ(tp.size(), 3u);
    EXPECT_EQ(tp[2].text, " 25.0");
    EXPECT_EQ(tp[2].slot, 1);
    EXPECT_EQ(tp[2].top, 44);
    const auto ctv = Texts(2, 8);
    ASSERT_EQ(ctv.size(), 3u);  // CTV, Cnt1 and the count
    EXPECT_EQ(ctv[2].text, "   -2");
    EXPECT_EQ(ctv[2].top, 60);
    EXPECT_EQ(ctv[2].slot, 1);
    // The lower half shows the alias only.
    const auto lower = Texts(3, 8);
    ASSERT_EQ(lower.size(), 1u);
    EXPECT_EQ(lower[0].text, "Cnt1");
    for (const auto& at : {CellPos{8, 1}, CellPos{8, 2}, CellPos{8, 3}})
        EXPECT_TRUE(Find(at.row, at.column)->elementRect);
    EXPECT_FALSE(Find(1, 0)->elementRect);
    // Colours only where the kind has them, inside the rails, for a real state.
    EXPECT_EQ(Find(2, 8)->variant, PictureVariant::Green);
    EXPECT_EQ(Find(1, 8)->variant, PictureVariant::Black);
    EXPECT_EQ(Find(1, 0)->variant, PictureVariant::Black);
}

TEST_F(PaintPlanTest, LivePaintCollectsEachPolledAddressOnce) {
    PutElement(*model, 1, 1, ElementLd, testing::E1);
    PutElement(*model, 1, 2, ElementLdn, testing::E1);  // a repeat
    PutElement(*model, 1, 8, ElementOut, testing::S1);
    PutElement(*model, 2, 8, ElementTp, 87);  // Tp2 and its count state 114
    PutElement(*model, 3, 1, ElementLd, testing::E1);
    model->grid.at(3, 1).params[0][0] = Unchosen;  // not chosen: nothing to poll
    PutElement(*model, 4, 3, ElementCtv, 77);
    model->grid.at(4, 3).shape = KindBoxLowerHalf;  // a lower half polls nothing
    PutElement(*model, 9, 1, ElementLd, 5);         // not painted
    PaintInputs inputs;
    inputs.rows = {1, 4};
    inputs.live = true;
    EXPECT_EQ(Plan(inputs).monitoredOperands, (MonitoredOperandList{0, 8, 87, 114, -1}));

    inputs.live = false;
    EXPECT_TRUE(Plan(inputs).monitoredOperands.empty());
}

TEST_F(PaintPlanTest, DamagedCellsAreDrawnAsFarAsKnown) {
    LadderCell& unknown = model->grid.at(1, 1);
    unknown.shape = KindContactOpen;
    unknown.element = 77;
    LadderCell& onWire = model->grid.at(1, 2);
    onWire.shape = KindHorizontal;
    onWire.element = ElementLd;
    onWire.params[0][0] = 0;
    LadderCell& noNul = model->grid.at(1, 3);
    noNul.shape = KindBoxTwoSided;
    noNul.element = ElementLdi;
    noNul.params[0].fill('7');
    LadderCell& badLabel = model->grid.at(1, 4);
    badLabel.shape = KindConditional;
    badLabel.element = ElementIf1;
    badLabel.params[0][0] = 60;
    LadderCell& badVariable = model->grid.at(1, 5);
    badVariable.shape = KindCoil;
    badVariable.element = ElementOut;
    badVariable.params[0][0] = 0x90;
    model->grid.at(1, 6).shape = 57;
    model->grid.at(1, 7).shape = -3;
    LadderCell& lowerAtTop = model->grid.at(0, 4);
    lowerAtTop.shape = KindBoxLowerHalf;
    lowerAtTop.element = ElementCtv;
    lowerAtTop.params[0][0] = 0x85;

    const auto overlay = std::make_unique<ViewOverlay>();
    overlay->hover = {6, 1};
    for (const bool live : {false, true}) {
        PaintInputs inputs;
        inputs.rows = {0, 1};
        inputs.overlay = overlay.get();
        inputs.live = live;
        Plan(inputs);
        EXPECT_EQ(Find(1, 1)->kind, KindContactOpen);
        EXPECT_TRUE(Texts(1, 1).empty());
        EXPECT_EQ(Find(1, 2)->kind, KindHorizontal);
        EXPECT_TRUE(Texts(1, 2).empty());
        const auto ldi = Texts(1, 3);
        ASSERT_EQ(ldi.size(), 2u);
        EXPECT_EQ(ldi[1].text, "7777777777");  // the slot's 10 bytes, no more
        EXPECT_EQ(Texts(1, 4).size(), 1u);     // the mnemonic; no label 60
        EXPECT_TRUE(Texts(1, 5).empty());
        EXPECT_EQ(Find(1, 7), nullptr);
        EXPECT_EQ(Find(0, 4)->kind, KindBoxLowerHalf);
        if (live) {
            EXPECT_EQ(plan.monitoredOperands, (MonitoredOperandList{-1}));
        } else {
            EXPECT_EQ(Find(1, 6)->kind, KindBlank);  // a damaged kind under the mouse shows as empty
        }
    }
    const std::vector<uint8_t> before = EncodeSourceFile(*model);
    FinishPaint(plan, *overlay);
    EXPECT_EQ(model->grid.at(1, 6).shape, 57);  // painting repairs nothing behind the user's back
    EXPECT_EQ(EncodeSourceFile(*model), before);
}

// An erased cell shows blank (kind 23) on the next paint that reaches it,
// and is forgotten after that paint; one filled again before the paint
// (an undo) shows what it holds. Paper never shows the erasure.
TEST_F(PaintPlanTest, ErasedCellsShowBlankOnceWhateverTheHighlights) {
    PutElement(*model, 2, 3, ElementLd, testing::E1);
    ViewOverlay overlay;
    overlay.pendingErase = {{2, 1}, {3, 2}, {4, 1}, {2, 30}};  // (row 30 is not painted)
    overlay.hover = {4, 1};
    PaintInputs inputs;
    inputs.rows = {1, 4};
    inputs.overlay = &overlay;

    PlanPaint(*model, PrintPageInputs(1), metrics, FakeMeasure, plan);
    EXPECT_EQ(Find(1, 2), nullptr);
    EXPECT_TRUE(plan.erased.empty());

    Plan(inputs);
    ASSERT_NE(Find(1, 2), nullptr);
    EXPECT_EQ(Find(1, 2)->kind, KindBlank);
    EXPECT_EQ(Find(1, 2)->op, RasterOp::And);
    EXPECT_EQ(Find(1, 4)->op, RasterOp::Xor);  // under the cursor: inverted as any empty cursor cell
    EXPECT_EQ(Find(2, 3)->kind, KindContactOpen);
    EXPECT_EQ(Texts(2, 3).size(), 1u);
    FinishPaint(plan, overlay);
    EXPECT_EQ(overlay.pendingErase, (std::vector<CellPos>{{2, 30}}));

    Plan(inputs);
    EXPECT_EQ(Find(1, 2), nullptr);
}

}  // namespace
}  // namespace velmorin
