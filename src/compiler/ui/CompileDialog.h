#pragma once
// "Compilando...": the modal progress box of a compilation. The compilation
// itself runs as a background job; its reports arrive on the job's thread
// and are forwarded here as queued calls, so the job never waits for the
// GUI. Closing the box in any way asks the job to stop, and the box is not
// destroyed before the job has ended.
#include <QDialog>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "compiler/compile_outputs.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "ui/BackgroundJob.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmorin {

class CompileDialog : public QDialog {
    Q_OBJECT
public:
    // The model is only read, and must not change while the box is open.
    CompileDialog(const ProgramModel& model, QWidget* parent = nullptr);
    ~CompileDialog() override;

    // The opening steps on this thread, then the worker. Returns false when
    // there is nothing to compile or the outputs would replace the source
    // (the message has been shown through `prompts`); the box then stays hidden.
    // `imageDate` fixes the date in the image header (reproducible files);
    // without it the worker takes today's local date.
    bool Start(const std::string& sourcePath, Prompts& prompts, std::optional<ImageDate> imageDate = std::nullopt);
    // Waits, handling events meanwhile, until the worker has ended and its
    // run has been taken.
    void WaitForWorker();
    bool WorkerRunning() const;
    // Set by the button, by closing the box and by its destruction.
    bool cancelRequested() const { return cancel_.load(); }
    // What the compilation came to: what Start refused, or, once
    // WaitForWorker has returned, the worker's run.
    CompileRun& run() { return run_; }

    QLabel* progressLabel() const { return progressLabel_; }
    QLineEdit* progressField() const { return progressField_; }
    QLineEdit* errorsField() const { return errorsField_; }
    QLineEdit* warningsField() const { return warningsField_; }
    QPushButton* button() const { return button_; }

    void done(int result) override;

private:
    void ShowProgress(const QString& text);
    void ShowCounts(int errors, int warnings);
    void ShowImageWritten();
    void ShowFinished(bool hasDiagnostics);

    const ProgramModel& model_;
    std::atomic<bool> cancel_{false};
    // Declared after what the job's reports touch, so that it ends first.
    BackgroundJob job_;
    CompileRun run_;
    QLabel* progressLabel_ = nullptr;
    QLineEdit* progressField_ = nullptr;
    QLineEdit* errorsField_ = nullptr;
    QLineEdit* warningsField_ = nullptr;
    QPushButton* button_ = nullptr;
};

// The compile command's dialog: runs the box until it has closed and the
// worker has ended, then reports a listing or image that could not be
// written ("Error al abrir el archivo" naming the file) through `prompts`.
// Returns what the compilation came to.
CompileRun RunCompileDialog(QWidget* parent, const ProgramModel& model, const std::string& sourcePath, Prompts& prompts,
                            std::optional<ImageDate> imageDate = std::nullopt);

}  // namespace velmorin
