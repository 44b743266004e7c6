#pragma once
// The compile driver: one Compiler exists (the application owns it) and its
// results survive until the next compilation. Prepare runs on the caller's
// thread; Run is the worker's body and may run on any thread. The GUI starts
// Run through CompileWorker; the command-line tool calls it directly.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "model/ladder_model.h"

namespace velmorin {

struct ImageDate {
    int day;     // 1..31
    int month0;  // 0..11, January is 0
    int year;
};

// What the worker reports while it runs. Callbacks are invoked on the
// worker's thread; a GUI forwards them to its own thread. A cancelled
// compilation ends without `finished` (the button caption stays).
struct CompileCallbacks {
    std::function<void(const std::string& text)> progress;       // progress field
    std::function<void(int errors, int warnings)> counts;        // the two counters
    std::function<void()> imageWritten;                          // "Progreso" becomes "memoria"
    std::function<void(bool hasDiagnostics)> finished;           // "Ver Errores" / "Aceptar"
};

enum class PrepareOutcome { Started, NothingToCompile };

struct CompilerImpl;

class Compiler {
public:
    Compiler();
    ~Compiler();
    Compiler(const Compiler&) = delete;
    Compiler& operator=(const Compiler&) = delete;

    // Opening steps of the compile dialog: node table, empty-diagram check,
    // counters, listing path, label marks, image fill, empty listing file.
    // An empty source path compiles in memory only: no file is touched.
    PrepareOutcome Prepare(ProgramModel& model, const std::string& sourcePath);
    // One compilation over the 24 blocks, the program checks and the files.
    // `date` fixes the image header date; without it, today's local date.
    void Run(ProgramModel& model, const CompileCallbacks& callbacks,
             std::optional<ImageDate> date = std::nullopt);

    // Set by the dialog's button (and by the code-size limit); polled by Run.
    std::atomic<bool>& cancelFlag();
    // True when the last Run ended early because cancel was requested
    // (the code-size limit does not count: that compilation finishes).
    bool cancelled() const;

    // Results of the last compilation, read after the worker has ended.
    int errorCount() const;
    int warningCount() const;
    int diagnosticCount() const;
    struct Diagnostic { int32_t key, column, row; };
    Diagnostic diagnostic(int index) const;
    // True only after a compilation without errors that was not cancelled:
    // the image in memory is then in its final state and may be sent.
    bool hasFinalImage() const;
    // A new or reloaded document has no diagnostics to list.
    void ForgetDiagnostics();
    int codeLength() const;
    const uint8_t* imageBytes() const;  // 256 bytes
    const std::string& listingPath() const;
    const std::string& imagePath() const;
    // The listing text as written so far (also kept for an in-memory run).
    const std::string& listingText() const;

    CompilerImpl& impl() { return *impl_; }

private:
    std::unique_ptr<CompilerImpl> impl_;
};

// Runs Compiler::Run on its own thread.
class CompileWorker {
public:
    ~CompileWorker();
    void Start(Compiler& compiler, ProgramModel& model, CompileCallbacks callbacks,
               std::optional<ImageDate> date = std::nullopt);
    bool Running() const { return running_.load(); }
    void Join();

private:
    std::thread thread_;
    std::atomic<bool> running_{false};
};

}  // namespace velmorin
