// The Compile dialog and velmorin-cli share one compiler; this holds them to
// the same files: every golden case compiled through the dialog must give the
// listing and image the command-line tool was checked against.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "../support/scripted_prompts.h"
#include "compiler/ui/CompileDialog.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> GoldenCases() {
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(fs::path(VELMORIN_SOURCE_DIR) / "tests/compiler/golden")) {
        if (entry.is_directory()) cases.push_back(entry.path());
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

TEST(CompileDialogGolden, EveryCaseGivesTheFilesTheCommandLineGives) {
    const std::vector<fs::path> cases = GoldenCases();
    ASSERT_GE(cases.size(), 10u);
    const fs::path work = fs::temp_directory_path() / ("velmorin-dialog-golden-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    for (const fs::path& dir : cases) {
        const std::string name = dir.filename().string();
        SCOPED_TRACE(name);
        const fs::path source = work / (name + ".ldr");
        fs::copy_file(dir / (name + ".ldr"), source, fs::copy_options::overwrite_existing);
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        ASSERT_TRUE(ReadSourceFile(*model, source.string()).ok);

        testing::ScriptedPrompts prompts;
        CompileDialog dialog(*model);
        ASSERT_TRUE(dialog.Start(source.string(), prompts, ImageDate{6, 11, 2026}));
        QDeadlineTimer deadline(20000);
        while (dialog.WorkerRunning() && !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        ASSERT_FALSE(dialog.WorkerRunning());
        dialog.WaitForWorker();
        QApplication::processEvents();
        EXPECT_NE(dialog.button()->text(), QStringLiteral("Cancelar"));

        // The dialog writes a file exactly where the command line did, with the same bytes.
        for (const char* extension : {".prg", ".bld"}) {
            const fs::path expected = dir / (name + extension);
            const fs::path written = work / (name + extension);
            EXPECT_EQ(fs::exists(written), fs::exists(expected)) << extension;
            if (fs::exists(expected)) {
                EXPECT_EQ(Slurp(written), Slurp(expected)) << extension;
            }
        }
    }
    fs::remove_all(work);
}

}  // namespace
}  // namespace velmorin
