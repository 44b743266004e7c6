#include "editor/live_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "../support/model_builders.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using testing::PutElement;

TEST(LiveValues, ValueTextsFollowTheSlotFlags) {
    struct Case {
        int32_t value;
        int32_t flags;
        const char* text;
    } cases[] = {
        {250, 0x15, " 25.0"},  {7, 0x05, "    7"},  {-2, 0x05, "   -2"},
        {1234, 0x25, "12.34"}, {-5, 0x25, "-0.05"}, {32767, 0x05, "32767"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatLiveValue(c.value, c.flags), c.text) << c.value;
}

TEST(LiveValues, WordsAreSignedLittleEndianAtTheCountStateAndInsideTheImage) {
    LiveImageSnapshot image{};
    image[112] = 0x34;
    image[113] = 0x12;
    image[254] = 0xFF;
    image[255] = 0xFF;
    EXPECT_EQ(LiveWord(image, 112), 0x1234);
    EXPECT_EQ(LiveWord(image, 254), -1);
    EXPECT_FALSE(LiveWord(image, 255).has_value());
    EXPECT_FALSE(LiveWord(image, -1).has_value());
    EXPECT_EQ(LiveValueAddress(9), 9);
    EXPECT_EQ(LiveValueAddress(76), 92);   // Cnt1
    EXPECT_EQ(LiveValueAddress(91), 122);  // Tpf2
}

class RefreshLiveTest : public ::testing::Test {
protected:
    RefreshLiveTest() : model(std::make_unique<ProgramModel>()), overlay(std::make_unique<ViewOverlay>()) {
        ResetModel(*model);
    }

    // A painted element: its rectangles as the painter stores them.
    CellPos Painted(int row, int column, int element, int variable) {
        PutElement(*model, row, column, element, variable);
        overlay->elementRectAt(row, column) = {column * 64, row * 64, column * 64 + 64, row * 64 + 64};
        for (int s = 0; s < 3; ++s)
            overlay->operandRectsAt(row, column)[s] = {column * 64, row * 64 + 10 * s, column * 64 + 40,
                                                       row * 64 + 10 * s + 8};
        return {column, row};
    }
    LadderCell& Cell(CellPos at) { return model->grid.at(at.row, at.column); }
    int8_t Colour(CellPos at) const { return overlay->colourAt(at.row, at.column); }
    Rect ElementRect(CellPos at) const { return overlay->elementRectAt(at.row, at.column); }
    Rect OperandRect(CellPos at, int slot) const { return overlay->operandRectsAt(at.row, at.column)[slot]; }
    static bool Has(const LiveRefresh& refresh, const Rect& rect) {
        return std::find(refresh.invalidated.begin(), refresh.invalidated.end(), rect) != refresh.invalidated.end();
    }

    std::unique_ptr<ProgramModel> model;
    std::unique_ptr<ViewOverlay> overlay;
    LiveImageSnapshot image{};
};

TEST_F(RefreshLiveTest, ValueTextsAreRedrawnEveryCycleAndLowerHalvesFollowTheUpper) {
    const CellPos upper = Painted(5, 4, ElementCtv, 76);
    const CellPos lower = Painted(6, 4, ElementCtv, 76);
    Cell(lower).shape = KindBoxLowerHalf;
    image[76] = 1;
    const std::vector<uint8_t> before = EncodeSourceFile(*model);
    LiveRefresh refresh = RefreshLive(model->grid, image, *overlay);
    EXPECT_EQ(Colour(upper), ColourGreen);
    EXPECT_EQ(Colour(lower), ColourGreen);
    EXPECT_TRUE(Has(refresh, ElementRect(upper)));
    EXPECT_TRUE(Has(refresh, ElementRect(lower)));
    EXPECT_TRUE(Has(refresh, OperandRect(upper, 1)));  // the count
    EXPECT_FALSE(Has(refresh, OperandRect(upper, 0)));

    refresh = RefreshLive(model->grid, image, *overlay);
    EXPECT_EQ(refresh.invalidated, (std::vector<Rect>{OperandRect(upper, 1), OperandRect(lower, 1)}));
    // The program is only read.
    EXPECT_EQ(EncodeSourceFile(*model), before);
}

TEST_F(RefreshLiveTest, UnknownAndMisplacedElementsAreReportedAndSkipped) {
    const CellPos contact = Painted(1, 1, ElementLd, 0);
    const CellPos unknown = Painted(1, 2, ElementLd, 0);
    Cell(unknown).element = 99;
    overlay->colourAt(unknown.row, unknown.column) = ColourGreen;
    const CellPos onWire = Painted(1, 3, ElementLd, 0);
    Cell(onWire).shape = KindHorizontal;
    const CellPos unset = Painted(1, 4, ElementLd, 0);
    Cell(unset).params[0][0] = Unchosen;
    const CellPos lowerAtTop = Painted(0, 5, ElementCtv, 0x85);
    Cell(lowerAtTop).shape = KindBoxLowerHalf;
    const CellPos wideIndex = Painted(1, 6, ElementOut, 0x7F);  // the highest index a signed byte holds
    image[0] = 1;
    image[127] = 1;

    const LiveRefresh refresh = RefreshLive(model->grid, image, *overlay);
    EXPECT_FALSE(refresh.allKnown);
    EXPECT_EQ(Colour(contact), ColourGreen);  // cells after the unknown one are still refreshed
    EXPECT_EQ(Colour(unknown), ColourBlack);
    EXPECT_EQ(Colour(onWire), ColourBlack);
    EXPECT_EQ(Colour(unset), ColourBlack);
    EXPECT_EQ(Colour(lowerAtTop), ColourBlack);
    EXPECT_EQ(Colour(wideIndex), ColourGreen);
}

}  // namespace
}  // namespace velmorin
