// The way back from an image to a diagram. Every program the editor can
// make must come back as a diagram that compiles to the same bytes and that
// the editor itself could have drawn; an image no diagram compiles to must
// never be offered as one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/compiler_messages.h"
#include "compiler/decompile_decode.h"
#include "compiler/decompiler.h"
#include "compiler/headless_compile.h"
#include "compiler/instruction_set.h"
#include "compiler/program_image.h"
#include "editor/parameter_session.h"
#include "example_programs.h"
#include "model/diagram_text.h"
#include "model/operand_areas.h"
#include "model/source_file.h"
#include "support/random_ladder.h"
#include "test_diagram.h"

namespace velmorin::testing {
namespace {

namespace fs = std::filesystem;

std::optional<CodeImage> ImageOf(const ProgramModel& model) {
    const CompileOutput output = Compile(model);
    if (!output.finalImage) return std::nullopt;
    return output.image;
}

std::vector<uint8_t> Code(const CodeImage& image) {
    return std::vector<uint8_t>(image.bytes.begin(), image.bytes.begin() + image.codeLength);
}

// What a recovered diagram must be besides compiling back: cells the editor
// could have filled in (the dialog offers the element on that kind, every
// operand is one it lets the user choose, jumps go to later blocks), and the
// shape a person reads (coils end at column 8, nothing stands where the
// editor refuses it, no half wires).
void ExpectDrawnByTheRules(const ProgramModel& model, const std::string& name) {
    for (int row = 1; row < GridRows; ++row) {
        for (int column = 1; column <= 8; ++column) {
            const LadderCell& cell = model.grid.at(row, column);
            const std::string at = name + " r" + std::to_string(row) + "c" + std::to_string(column);
            EXPECT_FALSE(cell.shape >= KindHalfDown && cell.shape <= KindHalfLeft) << at;
            if (!cell.hasElement() || cell.shape == KindBoxLowerHalf) continue;
            const std::vector<int32_t> offered = InstructionsForKind(cell.shape);
            EXPECT_NE(std::find(offered.begin(), offered.end(), cell.element), offered.end()) << at;
            const int32_t left = model.grid.at(row, column - 1).shape;
            EXPECT_TRUE(left != KindBoxOneSided && left != KindBoxLowerHalf) << at;
            if (cell.element == ElementOut && model.grid.at(row, column + 1).shape == ShapeEmpty) {
                EXPECT_EQ(column, 8) << at << ": a coil that ends its rung";
            }
            const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
            for (int p = 0; p < entry.paramCount; ++p) {
                const ParamDef& def = entry.paramDefs[static_cast<size_t>(p)];
                const ParamSlot& slot = cell.params[static_cast<size_t>(p)];
                if (def.kind == ParamKind::Variable) {
                    const IndexRange range = VariableRange(def);
                    EXPECT_TRUE(slot[0] >= range.first && slot[0] <= range.last) << at;
                    EXPECT_FALSE(FormatOperandName(VariableAreas, slot[0]).empty()) << at;
                } else if (def.kind == ParamKind::Label) {
                    EXPECT_TRUE(slot[0] < BlockCount && BlockOfRow(row) < slot[0]) << at << ": a later block";
                } else if (def.kind != ParamKind::Reserved2 && def.kind != ParamKind::Reserved5) {
                    EXPECT_TRUE(ValueTextValid(def.kind, def.low, def.high, SlotText(slot))) << at;
                }
            }
        }
    }
}

// Compiles, decompiles and compiles again; true when the model compiled at
// all. A program that comes back must compile to the same image and be
// drawn by the rules; one that does not must be refused as a whole.
bool RoundTrip(const ProgramModel& model, const std::string& name, int& recovered) {
    const std::optional<CodeImage> image = ImageOf(model);
    if (!image) return false;
    const DecompileResult back = Decompile(*image);
    if (!back) {
        ADD_FAILURE() << name << ": " << back.outcome.detail << "\n" << FormatDiagramText(model) << back.listing;
        EXPECT_EQ(back.outcome.message, msg::DiagramNotRecovered);
        return true;
    }
    const std::optional<CodeImage> again = ImageOf(*back.model);
    EXPECT_TRUE(again && Code(*again) == Code(*image)) << name;
    ExpectDrawnByTheRules(*back.model, name);
    ++recovered;
    return true;
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(DecompileRoundTrip, ExampleProgramsAndGoldenSourcesComeBack) {
    int compiled = 0, recovered = 0;
    for (const examples::Example& example : examples::ExamplePrograms())
        compiled += RoundTrip(example.program.model(), example.name, recovered);
    // The compiler's own cases, except the two the editor cannot draw: a
    // `pulso` cell and a jump to the block that holds it.
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(VELMORIN_TEST_DATA) / "golden")) {
        const std::string name = entry.path().filename().string();
        if (name == "every_instruction" || name == "self_jump") continue;
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        ASSERT_TRUE(ReadSourceFile(*model, (entry.path() / (name + ".ldr")).string())) << name;
        compiled += RoundTrip(*model, name, recovered);
    }
    EXPECT_EQ(recovered, compiled);
    EXPECT_GE(compiled, 20);
}

// Under AddressSanitizer every step is many times slower: a sample of the
// seeds checks the memory, the normal build every seed.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORIN_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORIN_SANITIZED 1
#endif
#endif
#ifdef VELMORIN_SANITIZED
constexpr uint32_t SeedStep = 10;
#else
constexpr uint32_t SeedStep = 1;
#endif

// Random programs drawn through the editor's rules, in two styles: rungs
// drawn as a person draws them (placement rules and parameter dialog), and
// clicks anywhere with any tool through the whole editing session. The share
// is reported; every one of these seeds comes back.
TEST(DecompileRoundTrip, ProgramsDrawnAtRandomInTheEditorComeBack) {
    int compiled = 0, recovered = 0;
    for (uint32_t seed = 1; seed <= 1500; seed += SeedStep) {
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        RandomLadder(*model, seed).Draw(1 + static_cast<int>(seed % 30));
        compiled += RoundTrip(*model, "drawn " + std::to_string(seed), recovered);
    }
    for (uint32_t seed = 1; seed <= 150; seed += SeedStep) {
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        ScribbleProgram(*model, seed, 50 + static_cast<int>(seed % 400));
        compiled += RoundTrip(*model, "scribbled " + std::to_string(seed), recovered);
    }
    RecordProperty("compiled", compiled);
    RecordProperty("recovered", recovered);
    EXPECT_EQ(recovered, compiled);
    EXPECT_GE(compiled, 1000 / static_cast<int>(SeedStep));
}

// Images the compiler cannot have made: each is refused with the fixed
// message, where it went wrong and the listing, and no diagram.
TEST(DecompileRefusals, ImagesNoDiagramCompilesToAreNeverOffered) {
    struct Case {
        const char* name;
        std::vector<uint8_t> code;
        int32_t address;  // where recovery stops
    };
    std::vector<uint8_t> overlong = {0x06, 0x00};
    for (int n = 0; n < 73; ++n) overlong.insert(overlong.end(), {0x00, 0x01});
    overlong.insert(overlong.end(), {0x0B, 0x08});
    std::vector<uint8_t> ones(256, 0x25);  // nota after nota, the last at 255
    const std::vector<Case> cases = {
        {"a chain longer than the compiler links", overlong, 0},
        {"a jump backwards", {0x06, 0x00, 0x0B, 0x08, 0x06, 0x01, 0x11, 0x00, 0x0F}, 6},
        {"a jump into an instruction", {0x06, 0x00, 0x11, 0x05, 0x06, 0x01, 0x0B, 0x08, 0x0F}, 2},
        {"an instruction cut short", {0x06, 0x00, 0x19, 0x00, 0x19}, 2},
        {"an unknown opcode", {0x06, 0x00, 0x30, 0x0F}, 2},
        {"an element no cell holds", {0x06, 0x00, 0x18, 0x0B, 0x08}, 2},
        {"a coil on a counter's output", {0x06, 0x00, 0x0B, 0x50}, 2},
        {"a time beyond the dialog's", {0x06, 0x00, 0x15, 0xFF, 0x01}, 2},
        {"an or with nothing to or", {0x08, 0x00, 0x0B, 0x08}, 0},
        {"an andp joining one branch", {0x06, 0x00, 0x02, 0x0B, 0x08}, 2},
        {"a cs without its cr", {0x06, 0x00, 0x04, 0x0B, 0x08, 0x0B, 0x09}, 2},
        {"a cr without its cs", {0x06, 0x00, 0x03}, 2},
        {"a branch-out of one branch", {0x06, 0x00, 0x04, 0x06, 0x01, 0x00, 0x02, 0x03}, 2},
        {"no code at all", {}, 0},
        {"an instruction past 254", ones, 255},
    };
    for (const Case& c : cases) {
        CodeImage image;
        image.codeLength = static_cast<int32_t>(c.code.size());
        std::copy(c.code.begin(), c.code.end(), image.bytes.begin());
        const DecompileResult r = Decompile(image);
        EXPECT_FALSE(r) << c.name;
        EXPECT_EQ(r.model, nullptr) << c.name;
        EXPECT_EQ(r.outcome.message, msg::DiagramNotRecovered) << c.name;
        EXPECT_EQ(r.firstDifference, c.address) << c.name << ": " << r.outcome.detail;
        EXPECT_EQ(r.listing.rfind("~VLB image, ", 0), 0u) << c.name;
    }
}

// Streams of instructions at random, with operands the dialog allows, and
// random bytes: many are refused, and whatever is offered compiles back to
// them; a refusal always says where and lists the image.
TEST(DecompileRefusals, RandomCodeIsOfferedOnlyWhenItCompilesBack) {
    std::mt19937 rng(19);
    auto random = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(rng); };
    int offered = 0;
    for (int n = 0; n < 600; ++n) {
        CodeImage image;
        image.codeLength = 0;
        if (n % 4 == 0) {
            image.codeLength = random(1, ImageSize);
            for (int32_t i = 0; i < image.codeLength; ++i) image.bytes[i] = static_cast<uint8_t>(random(0, 255));
        }
        for (int k = random(1, 14); k > 0 && n % 4 != 0 && image.codeLength < ImageSize - 4; --k) {
            const CatalogueEntry& entry = ElementCatalogue[static_cast<size_t>(random(0, CatalogueSize - 2))];
            image.bytes[image.codeLength++] = OpcodeByte(entry.id);
            for (int p = 0; p < entry.paramCount; ++p) {
                const ParamDef& def = entry.paramDefs[static_cast<size_t>(p)];
                const IndexRange range = VariableRange(def);
                int32_t value = def.kind == ParamKind::Variable
                                    ? EncodeOperand(def, random(range.first, std::min(91, range.last)))
                                : def.kind == ParamKind::Label ? random(image.codeLength, ImageSize - 1)
                                                               : random(def.low, def.high);
                for (int32_t b = 0; b < OperandBytes(def); ++b, value >>= 8)
                    image.bytes[image.codeLength++] = static_cast<uint8_t>(value);
            }
        }
        const DecompileResult r = Decompile(image);
        if (!r) {
            EXPECT_EQ(r.outcome.message, msg::DiagramNotRecovered);
            EXPECT_TRUE(r.firstDifference >= 0 && r.firstDifference <= r.codeLength) << r.outcome.detail;
            EXPECT_EQ(r.listing.rfind("~VLB image, ", 0), 0u);
            continue;
        }
        ++offered;
        const std::optional<CodeImage> again = ImageOf(*r.model);
        ASSERT_TRUE(again);
        EXPECT_EQ(Code(*again), std::vector<uint8_t>(image.bytes.begin(), image.bytes.begin() + r.codeLength));
    }
    EXPECT_GE(offered, 40);
}

// A controller gives back all 256 bytes: the code ends where only the
// compiler's filler follows, at an instruction boundary.
TEST(DecompileCodeLength, ImageFromAControllerEndsWhereTheFillerBegins) {
    struct Case {
        const char* name;
        std::vector<uint8_t> code;
        int32_t length;
    };
    const std::vector<Case> cases = {
        {"a program and its filler", {0x06, 0x00, 0x0B, 0x08, 0x0F}, 5},
        {"an operand byte like the filler", {0x14, 0xCD, 0x0B, 0xCD, 0x0F}, 5},
        {"filler bytes inside an instruction at the end", {0x06, 0x00, 0x19, 0x00, 0xCD, 0xCD}, 6},
        {"no code", {}, 0},
    };
    for (const Case& c : cases) {
        CodeImage image;  // filled with 0xCD
        image.codeLength = ImageSize;
        std::copy(c.code.begin(), c.code.end(), image.bytes.begin());
        EXPECT_EQ(CodeLengthOf(image), c.length) << c.name;
    }
    CodeImage full;
    full.codeLength = ImageSize;
    for (int32_t i = 0; i < ImageSize; i += 2) full.bytes[i] = 0x06, full.bytes[i + 1] = 0x00;
    EXPECT_EQ(CodeLengthOf(full), ImageSize);
    full.bytes[100] = 0xCD;  // damage: what follows is no filler
    EXPECT_EQ(CodeLengthOf(full), ImageSize);

    // An example extracted from a controller comes back whole.
    const std::optional<CodeImage> compiled = ImageOf(examples::Counter().model());
    ASSERT_TRUE(compiled);
    CodeImage extracted = *compiled;
    extracted.codeLength = ImageSize;
    const DecompileResult r = Decompile(extracted);
    ASSERT_TRUE(r) << r.outcome.detail;
    EXPECT_EQ(r.codeLength, compiled->codeLength);
    EXPECT_EQ(Code(*ImageOf(*r.model)), Code(*compiled));
}

// How the rungs are laid out: one a block while there are at most 24, each
// jump target starting a block of its own, and past 24 the blocks filled in
// code order; the drawings are those a person would make.
TEST(DecompileLayout, RungsTakeABlockEachUpTo24AndShareBlocksInCodeOrderBeyond) {
    Diagram few;
    few.Block(0, {"ld:e1 ─ ─ ─ ─ ─ ─ out:s1", "ld:e2 ─ ─ ─ ─ ─ ─ jp1:@2", "ld:e3 ─ ─ ─ ─ ─ ─ out:s2"});
    few.Block(2, {"ld:e4 ─ ─ ─ ─ ─ ─ out:s3", "end"});
    const DecompileResult back = Decompile(*ImageOf(few.model()));
    ASSERT_TRUE(back) << back.outcome.detail;
    const std::string text = FormatDiagramText(*back.model);
    // Five rungs, five blocks; the jump goes to the block of the rung it skipped to.
    for (const char* expected : {"A  r1c1  LD e1", "A  r5c1  LD e2", "B  r5c8  JP1 ->etq04", "A  r9c1  LD e3",
                                 "A  r13c1  LD e4", "A  r17c8  END"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

    Diagram many;
    for (int n = 0; n < 30; ++n) many.Row(1 + n, "ld:e" + std::to_string(1 + n % 8) + " ─ ─ ─ ─ ─ ─ out:s1");
    many.Block(23, {"end"});
    const DecompileResult packed = Decompile(*ImageOf(many.model()));
    ASSERT_TRUE(packed) << packed.outcome.detail;
    for (int n = 0; n < 30; ++n) {
        const LadderCell& contact = packed.model->grid.at(1 + n, 1);
        EXPECT_EQ(contact.element, ElementLd) << n;
        EXPECT_EQ(contact.params[0][0], n % 8) << n;
        EXPECT_EQ(packed.model->grid.at(1 + n, 8).element, ElementOut) << n;
    }
    EXPECT_EQ(packed.model->grid.at(31, 8).element, ElementEnd);
}

TEST(DecompileLayout, LatchAndBranchOutAreDrawnAsAPersonDrawsThem) {
    Diagram branchOut;
    branchOut.Block(0, {"ld:e1 ┬ ─ ─ ─ ─ ─ out:s1", ". ├ ld:e2 ─ ─ ─ ─ out:s2", ". └ ─ ─ ─ ─ tp:tp1:2.5 out:s3"});
    branchOut.Block(1, {"end"});
    const DecompileResult latch = Decompile(*ImageOf(examples::Latch().model()));
    const DecompileResult fan = Decompile(*ImageOf(branchOut.model()));
    ASSERT_TRUE(latch && fan);
    const std::string latchText = FormatDiagramText(*latch.model);
    EXPECT_EQ(latchText.substr(0, latchText.find("\n\n")),
              "block 0  etq01\n"
              "     0123456789\n"
              "   1 ┌A┬B────C┐\n"
              "   2 ├D┘      ┤\n"
              "   3 ├        ┤\n"
              "   4 └        ┘\n"
              "     A  r1c1  LD e1\n"
              "     B  r1c3  LDN e2\n"
              "     C  r1c8  OUT s1\n"
              "     D  r2c1  LD s1");
    const std::string fanText = FormatDiagramText(*fan.model);
    EXPECT_EQ(fanText.substr(0, fanText.find("\n\n")),
              "block 0  etq01\n"
              "     0123456789\n"
              "   1 ┌A┬─────B┐\n"
              "   2 ├ ├C────D┤\n"
              "   3 ├ └────EF┤\n"
              "   4 └        ┘\n"
              "     A  r1c1  LD e1\n"
              "     B  r1c8  OUT s1\n"
              "     C  r2c3  LD e2\n"
              "     D  r2c8  OUT s2\n"
              "     E  r3c7  TP Tp1 2.5s\n"
              "     F  r3c8  OUT s3");
}

// velmorin-cli decompile: the source file is written only for a diagram
// that compiles back, never over the image, and an old file stays otherwise.
TEST(DecompileFile, WritesTheSourceOnlyWhenTheDiagramComesBack) {
    std::string pattern = (fs::temp_directory_path() / "velmorin-decompile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    const std::optional<CodeImage> image = ImageOf(examples::Jump().model());
    ASSERT_TRUE(image);
    ASSERT_TRUE(WriteImageFile((dir / "jump.bld").string(), *image, ImageDate{6, 11, 2026}));
    CodeImage backwards;
    const uint8_t jumpBack[] = {0x06, 0x00, 0x11, 0x00, 0x0F};
    backwards.codeLength = 5;
    std::copy(std::begin(jumpBack), std::end(jumpBack), backwards.bytes.begin());
    ASSERT_TRUE(WriteImageFile((dir / "bad.bld").string(), backwards, ImageDate{6, 11, 2026}));
    {
        std::ofstream old(dir / "old.ldr");
        old << "kept";
    }

    const HeadlessOutcome ok = DecompileFile((dir / "jump.bld").string(), (dir / "jump.ldr").string());
    EXPECT_EQ(ok.status, 0) << ok.error << " " << ok.detail;
    auto reread = std::make_unique<ProgramModel>();
    ResetModel(*reread);
    ASSERT_TRUE(ReadSourceFile(*reread, (dir / "jump.ldr").string()));
    EXPECT_EQ(Code(*ImageOf(*reread)), Code(*image));

    const HeadlessOutcome bad = DecompileFile((dir / "bad.bld").string(), (dir / "old.ldr").string());
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.error, msg::DiagramNotRecovered);
    EXPECT_EQ(bad.detail, "dirección 02: salto hacia atrás");
    EXPECT_NE(bad.report.find("jp1"), std::string::npos);
    const HeadlessOutcome notImage = DecompileFile((dir / "old.ldr").string(), (dir / "new.ldr").string());
    EXPECT_EQ(notImage.status, 1);
    EXPECT_EQ(notImage.error, "No es un archivo binario Ladder Vadri");
    const HeadlessOutcome over = DecompileFile((dir / "jump.bld").string(), (dir / "jump.bld").string());
    EXPECT_EQ(over.status, 1);
    EXPECT_EQ(ReadBytes(dir / "old.ldr"), (std::vector<uint8_t>{'k', 'e', 'p', 't'}));
    EXPECT_FALSE(fs::exists(dir / "new.ldr"));
    EXPECT_EQ(ReadBytes(dir / "jump.bld"), EncodeImageFile(*image, ImageDate{6, 11, 2026}));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace velmorin::testing
