// A program image opened in the editor as a diagram, without widgets: what
// is offered after an extraction, what "Archivo > Abrir..." does with a
// *.bld, and that an image that does not come back opens nothing and leaves
// the diagram on screen, its file and its modified mark alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "compiler/compiler_messages.h"
#include "compiler/diagram_recovery.h"
#include "compiler/program_image.h"
#include "example_programs.h"
#include "model/document.h"
#include "model/messages.h"
#include "model/source_file.h"
#include "support/scripted_prompts.h"

namespace velmorin::testing {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> CodeOf(const ProgramModel& model) {
    const CompileOutput output = Compile(model);
    if (!output.finalImage) return {};
    return {output.image.bytes.begin(), output.image.bytes.begin() + output.image.codeLength};
}

CodeImage ImageOf(const ProgramModel& model) {
    const CompileOutput output = Compile(model);
    EXPECT_TRUE(output.finalImage);
    return output.image;
}

// A jump back to the rung's own start: no diagram compiles to it.
CodeImage JumpBackwards() {
    CodeImage image;
    const uint8_t code[] = {0x06, 0x00, 0x11, 0x00, 0x0F};
    std::copy(std::begin(code), std::end(code), image.bytes.begin());
    image.codeLength = 5;
    return image;
}

// A document holding a saved source with one more edit, so that every
// outcome that opens nothing can be told from one that resets it.
class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmorin-recovery-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        DocumentHooks hooks;
        hooks.unsavedOpened = [this] { ++unsavedOpened; };
        document.SetHooks(std::move(hooks));
        document.SetStartDirectory(dir.string());
        source = (dir / "own.ldr").string();
        ASSERT_TRUE(WriteSourceFile(examples::Timer().model(), source));
        ASSERT_TRUE(document.LoadDocument(prompts, source));
        document.SetModified(true);
        latch = ImageOf(examples::Latch().model());
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string WriteImage(const std::string& name, const CodeImage& image) {
        const std::string path = (dir / name).string();
        EXPECT_TRUE(WriteImageFile(path, image, {1, 2, 2026}));
        return path;
    }

    // Nothing was opened: the edited source is still there, as it was.
    void ExpectUntouched(const std::string& what) {
        EXPECT_EQ(document.currentPath(), source) << what;
        EXPECT_TRUE(document.modified()) << what;
        EXPECT_EQ(CodeOf(document.model()), CodeOf(examples::Timer().model())) << what;
        EXPECT_EQ(unsavedOpened, 0) << what;
    }

    // The image's diagram, as a document that has never been saved.
    void ExpectRecovered(const CodeImage& image, const std::string& what) {
        EXPECT_EQ(document.currentPath(), "") << what;
        EXPECT_EQ(document.title(), "") << what;
        EXPECT_TRUE(document.modified()) << what;
        EXPECT_EQ(unsavedOpened, 1) << what;
        EXPECT_EQ(CodeOf(document.model()),
                  std::vector<uint8_t>(image.bytes.begin(), image.bytes.begin() + image.codeLength))
            << what;
    }

    fs::path dir;
    std::string source;
    Document document;
    ScriptedPrompts prompts;
    int unsavedOpened = 0;
    CodeImage latch;
};

TEST_F(RecoveryTest, ExtractedProgramIsOfferedAndOpensOnlyWhenTheUserTakesIt) {
    // As a controller gives it: 256 bytes, the code's end found in them.
    CodeImage extracted = latch;
    extracted.codeLength = ImageSize;

    prompts.actionAnswers = {false};
    EXPECT_FALSE(OfferExtractedDiagram(prompts, document, extracted));
    ASSERT_EQ(prompts.offers.size(), 1u);
    EXPECT_EQ(prompts.offers[0].action, "Abrir como diagrama");
    EXPECT_EQ(prompts.offers[0].caption, "Extraer programa");
    EXPECT_NE(prompts.offers[0].text.find(std::to_string(latch.codeLength) + " bytes"), std::string::npos);
    ExpectUntouched("offer declined");

    prompts.actionAnswers = {true};
    prompts.yesNoAnswers = {false};
    EXPECT_FALSE(OfferExtractedDiagram(prompts, document, extracted));
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, msg::DiscardQuestion);
    ExpectUntouched("changes kept");

    prompts.actionAnswers = {true};
    prompts.yesNoAnswers = {true};
    EXPECT_TRUE(OfferExtractedDiagram(prompts, document, extracted));
    ExpectRecovered(latch, "offer taken");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

TEST_F(RecoveryTest, UnrecoverableImageSaysWhereAndListsItAndOpensNothing) {
    const CodeImage backwards = JumpBackwards();
    const DiagramRecovery verdict = RecoverDiagram(backwards);
    EXPECT_FALSE(verdict);
    EXPECT_EQ(verdict.firstDifference, 2);

    // After an extraction: no offer, the failure and the listing.
    EXPECT_FALSE(OfferExtractedDiagram(prompts, document, backwards));
    // Through the open dialog, after the changes were given up: nothing opens all the same.
    const std::string bad = WriteImage("bad.bld", backwards);
    prompts.yesNoAnswers = {true};
    prompts.fileAnswers = {bad};
    EXPECT_FALSE(OpenProgramFile(prompts, document));

    EXPECT_TRUE(prompts.offers.empty());
    ASSERT_EQ(prompts.messages.size(), 2u);
    ASSERT_EQ(prompts.listings.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(prompts.messages[i], msg::DiagramNotRecovered);
        EXPECT_EQ(prompts.details[i], "dirección 02: salto hacia atrás");
        EXPECT_NE(prompts.listings[i].find("jp1"), std::string::npos) << prompts.listings[i];
    }
    ExpectUntouched("unrecoverable image");
}

TEST_F(RecoveryTest, OpenReadsSourcesAsBeforeAndImagesAsDiagramsWithoutAFile) {
    const FileDialogRequest request = OpenProgramRequest(document);
    EXPECT_EQ(request.title, document.OpenRequest().title);
    ASSERT_EQ(request.filters.size(), 3u);
    EXPECT_EQ(request.filters[0].name, "Fuente Ladder");
    EXPECT_EQ(request.filters[0].pattern, "*.ldr");
    EXPECT_EQ(request.filters[1].pattern, "*.bld");
    EXPECT_EQ(request.filters[2].pattern, "*.*");
    EXPECT_EQ(request.presetName, "*.ldr");

    // Refusals are the image reader's own; nothing is opened.
    const std::string notImage = (dir / "source.bld").string();
    ASSERT_TRUE(WriteSourceFile(examples::Latch().model(), notImage));
    prompts.yesNoAnswers = {true, false};
    prompts.fileAnswers = {notImage};
    EXPECT_FALSE(OpenProgramFile(prompts, document));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{msg::NotImageFile});
    EXPECT_TRUE(prompts.listings.empty());
    // Changes not given up: no file dialog.
    EXPECT_FALSE(OpenProgramFile(prompts, document));
    EXPECT_EQ(prompts.fileRequests.size(), 1u);
    ExpectUntouched("refused and declined");

    // An image, whatever the case of its extension: the diagram without a file.
    const std::string image = WriteImage("LATCH.BLD", latch);
    prompts.yesNoAnswers = {true};
    prompts.fileAnswers = {image};
    EXPECT_TRUE(OpenProgramFile(prompts, document));
    ExpectRecovered(latch, "image opened");
    EXPECT_EQ(prompts.questions.size(), 3u) << "the changes were asked about once per command";
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

}  // namespace
}  // namespace velmorin::testing
