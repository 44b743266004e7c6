#include <gtest/gtest.h>

#include <string>

#include "model/diagram_text.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

class DiagramText : public ::testing::Test {
protected:
    void SetUp() override { ResetModel(model); }
    LadderCell& Put(int row, int column, int shape, int element = ElementNone) {
        LadderCell& cell = model.grid.at(row, column);
        cell.shape = shape;
        cell.element = element;
        return cell;
    }
    bool Has(const std::string& needle) const { return text().find(needle) != std::string::npos; }
    std::string text() const { return FormatDiagramText(model); }
    ProgramModel model;
};

TEST_F(DiagramText, OnlyBlocksWithContentAppearWithTheirLabel) {
    EXPECT_FALSE(Has("block"));
    EXPECT_TRUE(Has("(no elements)"));
    Put(9, 1, KindContactOpen, ElementLd).params[0][0] = 0;
    Put(9, 2, KindHorizontal);
    Put(9, 3, KindCoil, ElementOut).params[0][0] = 8;
    SetFieldText(model.aliases[0].alias, "marcha");
    SetFieldText(model.labels[2].alias, "inicio");
    const std::string out = text();
    EXPECT_EQ(out.find("block 0"), std::string::npos);
    EXPECT_EQ(out.find("block 3"), std::string::npos);
    EXPECT_NE(out.find("block 2  inicio\n"), std::string::npos);
    EXPECT_NE(out.find("   9 ┌A─B     ┐\n"), std::string::npos);
    EXPECT_NE(out.find("  12 └        ┘\n"), std::string::npos);
    EXPECT_NE(out.find("A  r9c1  LD marcha\n"), std::string::npos);
    EXPECT_NE(out.find("B  r9c3  OUT s1\n"), std::string::npos);
    EXPECT_NE(out.find("    0  E1      marcha\n"), std::string::npos);
    EXPECT_NE(out.find("    8  S1      s1\n"), std::string::npos);
}

TEST_F(DiagramText, OperandKinds) {
    LadderCell& tp = Put(1, 7, KindBoxTwoSided, ElementTp);
    tp.params[0][0] = 86;
    SetSlotText(tp.params[1], "2.5");
    LadderCell& jump = Put(2, 4, KindConditional, ElementJpv1);
    jump.params[0][0] = 200;  // no name: shown by number
    jump.params[1][0] = 5;
    Put(3, 2, KindBoxTwoSided, ElementRst);  // nothing chosen yet
    SetSlotText(Put(4, 2, KindBoxTwoSided, ElementLdi).params[0], "12");
    EXPECT_TRUE(Has("r1c7  TP Tp1 2.5s\n"));
    EXPECT_TRUE(Has("r2c4  JPV1 #200 ->etq06\n"));
    EXPECT_TRUE(Has("r3c2  RST ? ?\n"));
    EXPECT_TRUE(Has("r4c2  LDI 12\n"));
}

TEST_F(DiagramText, AliasBytesAreConvertedAndControlsSpelledOut) {
    Put(1, 1, KindContactOpen, ElementLd).params[0][0] = 14;
    SetFieldText(model.aliases[14].alias, "se\xF1" "al\x1B" "x\x80");
    EXPECT_TRUE(Has("LD señal\\x1Bx€\n"));
    SetFieldText(model.labels[0].alias, "a\x9D");
    EXPECT_TRUE(Has("block 0  a\\x9D\n"));
}

TEST_F(DiagramText, OddCellsAreShownNotHidden) {
    Put(0, 4, KindHorizontal);                           // row 0 belongs to no block
    Put(6, 0, KindLabelFrame);                           // a changed rail
    Put(13, 5, KindBoxLowerHalf);                        // lower box half
    Put(17, 3, KindHorizontal, ElementEnd);              // element on a wire cell
    Put(21, 2, KindCoil, ElementNone);                   // element cell without element
    EXPECT_TRUE(Has("row 0 (outside the blocks)\n"));
    EXPECT_TRUE(Has("   0     ─     \n"));
    EXPECT_TRUE(Has("   6 ▯        ┤\n"));
    EXPECT_TRUE(Has("r13c5  (lower half)\n"));
    EXPECT_TRUE(Has("r17c3  END  [kind 13]\n"));
    EXPECT_TRUE(Has("r21c2  (no element)\n"));
}

TEST(TextEncoding, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
    EXPECT_EQ(Windows1252ToUtf8("\x80\x9F\xE1\xF1"), "€Ÿáñ");
    EXPECT_EQ(Utf8ToWindows1252("año €"), std::string("a\xF1o \x80"));
}

TEST(TextEncoding, RefusesWhatTheCodePageCannotSpell) {
    EXPECT_EQ(Utf8ToWindows1252("Ω"), std::nullopt);
    EXPECT_EQ(Utf8ToWindows1252("😀"), std::nullopt);
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), std::nullopt);          // cut sequence
    EXPECT_EQ(Utf8ToWindows1252("\xC1\xA1"), std::nullopt);      // overlong
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), std::nullopt);  // surrogate
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82"), std::nullopt);
}

}  // namespace
}  // namespace velmorin
