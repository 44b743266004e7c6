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
#include "model/result.h"

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
    std::function<void(const std::string& text)> progress;  // progress field
    std::function<void(int errors, int warnings)> counts;   // the two counters
    std::function<void()> imageWritten;                     // "Progreso" becomes "memoria"
    std::function<void(bool hasDiagnostics)> finished;      // "Ver Errores" / "Aceptar"
};

enum class PrepareOutcome {
    Started,
    NothingToCompile,  // no compilable element: nothing is written
    OverwritesSource,  // the listing or the image would replace the source file: nothing is written
};

// What a compilation came to, as the compile command sees it.
enum class CompileResult {
    NothingToCompile,  // "No hay elementos para compilar"
    Refused,           // an output would have replaced the source file
    Cancelled,
    Errors,
    Warnings,    // compiled, listing and image written, warnings to look at
    Clean,       // compiled, listing and image written
    NotWritten,  // compiled without errors, but the listing or the image could not be written
};

// What opens after the compile dialog: the error list when there is
// something to list, and the send dialog only for a program whose files
// reached the disk.
struct CompileFollowUp {
    bool errorList = false;
    bool send = false;
    bool operator==(const CompileFollowUp&) const = default;
};
CompileFollowUp FollowUpAfter(CompileResult result);

struct CompilerImpl;

class Compiler {
public:
    Compiler();
    ~Compiler();
    Compiler(const Compiler&) = delete;
    Compiler& operator=(const Compiler&) = delete;

    // Opening steps of the compile dialog: node table, empty-diagram check,
    // output paths, counters, label marks, image fill. An empty source path
    // compiles in memory only: no file is touched.
    PrepareOutcome Prepare(ProgramModel& model, const std::string& sourcePath);
    // One compilation over the 24 blocks, the program checks and the files.
    // The listing is written whole at the end (what was made so far after a
    // cancel), or removed after errors; the image after a clean run. Both go
    // through a temporary file, so an older file survives a failed write.
    // `date` fixes the image header date; without it, today's local date.
    void Run(ProgramModel& model, const CompileCallbacks& callbacks, std::optional<ImageDate> date = std::nullopt);

    // Set by the dialog's button (and by the code-size limit); polled by Run.
    std::atomic<bool>& cancelFlag();
    // True when the last Run ended early because cancel was requested
    // (the code-size limit does not count: that compilation finishes).
    bool cancelled() const;

    // Results of the last compilation, read after the worker has ended.
    CompileResult result() const;
    // Ok when every file of the last Prepare and Run reached the disk; else
    // "Error al abrir el archivo" naming the file that did not.
    const Result& fileResult() const;
    int errorCount() const;
    int warningCount() const;
    int diagnosticCount() const;
    struct Diagnostic {
        int32_t key, column, row;
    };
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
