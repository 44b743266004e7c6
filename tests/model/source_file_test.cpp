#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string Header = "~VLM| 100r02 |97 9\n";

Bytes Concat(const std::string& header, const Bytes& body) {
    Bytes out(header.begin(), header.end());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

ProgramModel Fresh() {
    ProgramModel model;
    ResetModel(model);
    return model;
}

LadderCell& Place(ProgramModel& model, int row, int column, int shape, int element) {
    LadderCell& cell = model.grid.at(row, column);
    cell.shape = shape;
    cell.element = element;
    return cell;
}

Result Load(ProgramModel& model, const Bytes& bytes) { return ReadSourceBytes(model, bytes); }

// The bytes of the cell section of `file`, after the header and before its end mark.
Bytes CellSection(const Bytes& file) {
    return Bytes(file.begin() + static_cast<long>(Header.size()), file.end());
}

TEST(SourceWrite, FreshModelIsHeaderLeftRailAndThreeEndMarks) {
    const Bytes file = EncodeSourceFile(Fresh());
    ASSERT_EQ(file.size(), 406u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 19), Header);
    const uint8_t shapes[4] = {4, 18, 18, 5};
    for (int row = 1; row <= 96; ++row) {
        const size_t at = 19 + 4 * static_cast<size_t>(row - 1);
        SCOPED_TRACE(row);
        EXPECT_EQ(file[at], row);
        EXPECT_EQ(file[at + 1], 0);
        EXPECT_EQ(file[at + 2], shapes[(row - 1) % 4]);
        EXPECT_EQ(file[at + 3], 0xFF);
    }
    EXPECT_EQ(Bytes(file.begin() + 403, file.end()), (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST(SourceWrite, RecordLayoutsOfLdiAndTimer) {
    ProgramModel model = Fresh();
    SetSlotText(Place(model, 0, 2, KindBoxTwoSided, ElementLdi).params[0], "12");
    LadderCell& tp = Place(model, 0, 5, KindBoxTwoSided, ElementTp);
    tp.params[0][0] = 86;
    SetSlotText(tp.params[1], "2.5");
    SetFieldText(model.aliases[86].alias, "horno");

    const Bytes cells = CellSection(EncodeSourceFile(model));
    const Bytes expectedStart = {0, 2, 1, 21, 2, '1', '2', 0, 5, 1, 26, 86, 3, '2', '.', '5', 1, 0, 4, 0xFF};
    ASSERT_GE(cells.size(), expectedStart.size());
    EXPECT_EQ(Bytes(cells.begin(), cells.begin() + static_cast<long>(expectedStart.size())), expectedStart);

    // The alias record of 86 follows the cell section's end mark, raw fields included.
    const size_t end = 7 + 9 + 96 * 4;
    ASSERT_EQ(cells.size(), end + 1 + 21 + 1 + 1);
    EXPECT_EQ(cells[end], 0xFF);
    EXPECT_EQ(cells[end + 1], 86);
    EXPECT_EQ(std::string(cells.begin() + end + 2, cells.begin() + end + 12), std::string("TP1\0\0\0\0\0\0\0", 10));
    EXPECT_EQ(std::string(cells.begin() + end + 12, cells.begin() + end + 22), std::string("horno\0\0\0\0\0", 10));
    EXPECT_EQ(cells[end + 22], 0xFF);
    EXPECT_EQ(cells[end + 23], 0xFF);
}

TEST(SourceWrite, ReferencedAliasesAndLabelsOnlyInAscendingOrder) {
    ProgramModel model = Fresh();
    LadderCell& jump = Place(model, 2, 3, KindConditional, ElementJpv1);
    jump.params[0][0] = 40;
    jump.params[1][0] = 24;
    Place(model, 1, 1, KindContactOpen, ElementLd).params[0][0] = 200;  // unnamed but still stored
    Place(model, 3, 1, KindContactOpen, ElementLd);                       // unchosen: no record
    Place(model, 3, 4, KindConditional, ElementIf1).params[0][0] = 2;
    Place(model, 4, 4, KindConditional, ElementJp0).params[0][0] = 2;   // same label once

    const Bytes file = EncodeSourceFile(model);
    size_t pos = file.size() - 1;
    ASSERT_EQ(file[pos], 0xFF);
    pos -= 2 * 21;
    EXPECT_EQ(file[pos], 2);
    EXPECT_EQ(file[pos + 21], 24);
    EXPECT_EQ(file[pos - 1], 0xFF);
    pos -= 1 + 2 * 21;
    EXPECT_EQ(file[pos], 40);
    EXPECT_EQ(file[pos + 21], 200);
    EXPECT_EQ(file[pos - 1], 0xFF);
}

// A program that uses every element, every parameter kind, chosen and
// unchosen indices, empty and full texts, and odd alias bytes.
ProgramModel EveryElementProgram() {
    ProgramModel model = Fresh();
    int slot = 0;
    for (int id = 0; id <= ElementNone; ++id, ++slot) {
        const CatalogueEntry* entry = id < CatalogueSize ? &CatalogueEntryFor(id) : nullptr;
        const int shape = entry && entry->cellKind < ShapeEmpty ? entry->cellKind : KindHorizontal;
        LadderCell& cell = Place(model, 1 + slot / 8, 1 + slot % 8, shape, id);
        if (!entry) continue;
        for (int p = 0; p < entry->paramCount; ++p) {
            const ParamDef& def = entry->paramDefs[static_cast<size_t>(p)];
            ParamSlot& s = cell.params[static_cast<size_t>(p)];
            switch (def.kind) {
                case ParamKind::Variable:
                    s[0] = static_cast<uint8_t>(id % 5 == 0 ? Unchosen : VariableRange(def).last);
                    s[1] = 0;
                    break;
                case ParamKind::Label:
                    s[0] = static_cast<uint8_t>(id % 7 == 0 ? Unchosen : id % LabelCount);
                    s[1] = 0;
                    break;
                case ParamKind::Number: SetSlotText(s, id % 2 ? "255" : ""); break;
                case ParamKind::Time10: SetSlotText(s, "999.9"); break;
                case ParamKind::Time100: SetSlotText(s, "123456.78"); break;
                default: break;
            }
        }
    }
    Place(model, 96, 8, KindBoxLowerHalf, ElementNone);
    Place(model, 0, 0, KindLabelFrame, ElementNone);
    for (int i = 0; i < AliasCount; ++i) {
        NameField& alias = model.aliases[static_cast<size_t>(i)].alias;
        alias = {'\xF1', 'a', '\xE9', '\0', 'x', 'y', '\x80', '\0', '\xFF', static_cast<char>(i)};
    }
    for (int i = 0; i < LabelCount; ++i)
        model.labels[static_cast<size_t>(i)].alias = {'f', 'i', 'n', '\0', static_cast<char>(i), 1, 2, 3, 4, 5};
    return model;
}

TEST(SourceRoundTrip, EveryElementAndParameterKindIsByteIdentical) {
    const ProgramModel original = EveryElementProgram();
    const Bytes file = EncodeSourceFile(original);
    ProgramModel loaded = Fresh();
    ASSERT_TRUE(Load(loaded, file).ok);
    EXPECT_EQ(EncodeSourceFile(loaded), file);

    // The model itself must match, not only its bytes: a reader and writer
    // that misplace a parameter the same way would still agree on the file.
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < 9; ++column) {
            const LadderCell& a = original.grid.at(row, column);
            const LadderCell& b = loaded.grid.at(row, column);
            SCOPED_TRACE(testing::Message() << row << "," << column);
            ASSERT_EQ(std::pair(a.shape, a.element), std::pair(b.shape, b.element));
            for (int p = 0; a.hasElement() && p < CatalogueEntryFor(a.element).paramCount; ++p) {
                const ParamKind kind = CatalogueEntryFor(a.element).paramDefs[static_cast<size_t>(p)].kind;
                const ParamSlot& x = a.params[static_cast<size_t>(p)];
                const ParamSlot& y = b.params[static_cast<size_t>(p)];
                if (kind == ParamKind::Variable || kind == ParamKind::Label) EXPECT_EQ(x[0], y[0]);
                else EXPECT_EQ(SlotText(x), SlotText(y));
            }
        }
    }
    // Only referenced entries travel; their raw ten bytes arrive unchanged.
    EXPECT_EQ(loaded.aliases[91].alias, original.aliases[91].alias);
    EXPECT_EQ(FieldText(loaded.aliases[3].alias), "e4");
    EXPECT_EQ(loaded.labels[5].alias, original.labels[5].alias);
    EXPECT_EQ(FieldText(loaded.labels[0].alias), "etq01");
}

TEST(SourceRead, HeaderAcceptance) {
    const Bytes empty = {0xFF, 0xFF, 0xFF};
    struct Case {
        std::string header;
        const char* message;  // nullptr: accepted
    };
    for (const Case& c : {Case{"~VLM| 100r02 |97 9\n", nullptr}, Case{"~VLM| 050r01 |97 9\n", nullptr},
                          Case{"~VLM| 099r01 |97 9\n", nullptr}, Case{"~VLM|100r2\n", nullptr},
                          Case{"~VLM| 101r00 |97 9\n", msg::IncompatibleVersion},
                          Case{"~VLM| 100r03 |97 9\n", msg::IncompatibleVersion},
                          Case{"~VLM| 0100r02 |97 9\n", nullptr},
                          Case{"~VLM 100r02 97 9\n", msg::IncompatibleVersion},
                          // At most ten non-digits are skipped after the bar.
                          Case{"~VLM|         3r0\n", nullptr},
                          Case{"~VLM|          3r0\n", msg::IncompatibleVersion},
                          Case{"~VLB| 100r02 |97 9\n", msg::NotSourceFile},
                          Case{" ~VLM| 100r02 |97 9\n", msg::NotSourceFile},
                          Case{"~VL", msg::NotSourceFile}}) {
        SCOPED_TRACE(c.header);
        ProgramModel model = Fresh();
        const Result r = Load(model, Concat(c.header, empty));
        EXPECT_EQ(r.ok, c.message == nullptr);
        if (c.message) {
            EXPECT_EQ(r.message, c.message);
        }
    }
}

TEST(SourceRead, ElementCodesPerRevision) {
    // Revision 1 used 32 for no element and 31 for the placeholder.
    ProgramModel model = Fresh();
    ASSERT_TRUE(Load(model, Concat("~VLM| 100r01 |97 9\n", {1, 1, 13, 32, 1, 2, 13, 31, 1, 3, 1, 33, 9, 3,
                                                           0xFF, 0xFF, 0xFF})).ok);
    EXPECT_EQ(model.grid.at(1, 1).element, ElementNone);
    EXPECT_EQ(model.grid.at(1, 2).element, ElementDummy);
    EXPECT_EQ(model.grid.at(1, 3).element, ElementJpv1);
    EXPECT_EQ(model.grid.at(1, 3).params[0][0], 9);
    EXPECT_EQ(model.grid.at(1, 3).params[1][0], 3);

    model = Fresh();
    ASSERT_TRUE(Load(model, Concat(Header, {1, 1, 13, 0xFF, 1, 2, 13, 0xFE, 1, 3, 21, 32, 9, 3, 1, 4, 1, 31,
                                            1, '5', 20, 0xFF, 0xFF, 0xFF})).ok);
    EXPECT_EQ(model.grid.at(1, 1).element, ElementNone);
    EXPECT_EQ(model.grid.at(1, 2).element, ElementDummy);
    EXPECT_EQ(model.grid.at(1, 3).element, ElementIfv1);
    EXPECT_EQ(model.grid.at(1, 4).element, ElementLdiv);
    EXPECT_EQ(SlotText(model.grid.at(1, 4).params[0]), "5");

    // Other versions with revision 1 use the current codes.
    model = Fresh();
    ASSERT_TRUE(Load(model, Concat("~VLM| 050r01 |97 9\n", {1, 1, 13, 0xFF, 1, 2, 13, 0xFE, 0xFF})).ok);
    EXPECT_EQ(model.grid.at(1, 1).element, ElementNone);
    EXPECT_EQ(model.grid.at(1, 2).element, ElementDummy);

    model = Fresh();
    EXPECT_EQ(Load(model, Concat("~VLM| 100r01 |97 9\n", {1, 1, 13, 0xFF, 0xFF})).message, msg::FileCorrupt);
}

TEST(SourceRead, ShorterTextOverLongerShowsOnlyTheShorter) {
    ProgramModel model = Fresh();
    SetSlotText(model.grid.at(2, 2).params[0], "12345678");
    ASSERT_TRUE(Load(model, Concat(Header, {2, 2, 1, ElementLdi, 2, '4', '2', 0xFF})).ok);
    EXPECT_EQ(SlotText(model.grid.at(2, 2).params[0]), "42");
}

TEST(SourceRead, EndOfFileAtARecordBoundaryEndsTheSections) {
    const Bytes record = {3, 4, 1, ElementSet, 9};
    for (const Bytes& tail : {Bytes{}, Bytes{0xFF}, Bytes{0xFF, 9}, Bytes{0xFF, 9, 'a'}}) {
        Bytes body = record;
        body.insert(body.end(), tail.begin(), tail.end());
        ProgramModel model = Fresh();
        const Result r = Load(model, Concat(Header, body));
        EXPECT_EQ(model.grid.at(3, 4).element, ElementSet);
        if (tail.size() <= 1) {
            EXPECT_TRUE(r.ok) << tail.size();
        } else {
            EXPECT_EQ(r.message, msg::FileCorrupt) << tail.size();  // cut inside an alias record
        }
    }
    ProgramModel model = Fresh();
    EXPECT_TRUE(Load(model, Concat(Header, {})).ok);
    EXPECT_EQ(model.grid.at(1, 0).shape, KindCornerDownRight);
}

TEST(SourceRead, RefusesBytesOutsideTheFormat) {
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"row 97", {97, 1, 13, 0xFF}},
        {"column 10", {1, 10, 13, 0xFF}},
        {"shape 30", {1, 1, 30, 0xFF}},
        {"element 41", {1, 1, 13, 41}},
        {"element 0xFD", {1, 1, 13, 0xFD}},
        {"label 25 in a cell", {1, 1, 21, ElementIf1, 25}},
        {"text length 10", {1, 1, 1, ElementLdi, 10, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0'}},
        {"cut after the row", {1}},
        {"cut in the parameters", {1, 1, 1, ElementTp, 86}},
        {"cut in a text", {1, 1, 1, ElementLdi, 3, '1'}},
        {"cut in an alias", {0xFF, 14, 'V', '0', '1'}},
        {"label 25 in the label section", {0xFF, 0xFF, 25, 'E', 'T', 'Q', 0, 0, 0, 0, 0, 0, 0, 'e', 't', 'q', 0, 0, 0, 0, 0, 0, 0}},
        {"cut in a label", {0xFF, 0xFF, 3, 'E'}},
    };
    for (const auto& [name, body] : cases) {
        ProgramModel model = Fresh();
        EXPECT_EQ(Load(model, Concat(Header, body)).message, msg::FileCorrupt) << name;
    }
    // Column 9 is inside the grid even though saves never store it; an unchosen label is fine.
    ProgramModel model = Fresh();
    EXPECT_TRUE(Load(model, Concat(Header, {1, 9, 13, 0xFF, 1, 1, 21, ElementIf1, 0xFF, 0xFF})).ok);
    EXPECT_EQ(model.grid.at(1, 9).shape, KindHorizontal);
}

TEST(SourceRead, SectionsHoldAtMostTheirRecordCount) {
    // Every stored position once fills the cell section.
    Bytes cells;
    for (int row = 0; row < GridRows; ++row)
        for (int column = 0; column < 9; ++column) cells.insert(cells.end(), {uint8_t(row), uint8_t(column), 13, 0xFF});
    ProgramModel full = Fresh();
    Bytes extra = cells;
    extra.push_back(5);  // a 874th record, though it would also pass for an alias record
    extra.insert(extra.end(), 20, 'x');
    extra.insert(extra.end(), {0xFF, 0xFF});
    EXPECT_EQ(Load(full, Concat(Header, extra)).message, msg::FileCorrupt);
    cells.insert(cells.end(), {0xFF, 14});
    cells.insert(cells.end(), 20, 'v');
    full = Fresh();
    ASSERT_TRUE(Load(full, Concat(Header, cells)).ok);
    EXPECT_EQ(full.grid.at(96, 8).shape, KindHorizontal);
    EXPECT_EQ(full.aliases[14].alias[0], 'v');

    // 25 label records fill the label section; a 26th is not a label record.
    Bytes body = {0xFF, 0xFF};
    for (int i = 0; i < 26; ++i) {
        body.push_back(static_cast<uint8_t>(i % LabelCount));
        body.insert(body.end(), 20, 'a');
    }
    ProgramModel model = Fresh();
    EXPECT_EQ(Load(model, Concat(Header, body)).message, msg::FileCorrupt);
    body.resize(body.size() - 21);
    model = Fresh();
    EXPECT_TRUE(Load(model, Concat(Header, body)).ok);
    EXPECT_EQ(model.labels[24].alias[0], 'a');
}

TEST(SourceRead, ABlankedRailIsNotSavedAndComesBack) {
    ProgramModel model = Fresh();
    ASSERT_TRUE(Load(model, Concat(Header, {1, 0, ShapeEmpty, 0xFF, 0xFF})).ok);
    EXPECT_EQ(model.grid.at(1, 0).shape, ShapeEmpty);
    const Bytes saved = EncodeSourceFile(model);
    EXPECT_EQ(saved.size(), 402u);
    ProgramModel again = Fresh();
    ASSERT_TRUE(Load(again, saved).ok);
    EXPECT_EQ(again.grid.at(1, 0).shape, KindCornerDownRight);
}

TEST(SourceRead, FailedLoadKeepsTheRecordsReadSoFar) {
    ProgramModel model = Fresh();
    EXPECT_FALSE(Load(model, Concat(Header, {2, 2, 22, ElementOut, 8, 2, 3, 30, 0xFF})).ok);
    EXPECT_EQ(model.grid.at(2, 2).element, ElementOut);
    EXPECT_EQ(model.grid.at(2, 3).shape, ShapeEmpty);
}

}  // namespace
}  // namespace velmorin
