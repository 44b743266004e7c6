#include "compiler/ui/CompileDialog.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "model/messages.h"

namespace velmorin {

namespace {

QLineEdit* MakeField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1StringView(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

}  // namespace

CompileDialog::CompileDialog(const ProgramModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QStringLiteral("Compilando..."));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    progressLabel_ = new QLabel(QStringLiteral("Progreso"), this);
    progressLabel_->setObjectName(QStringLiteral("progressLabel"));
    progressField_ = MakeField(this, "progressField");
    auto* errorsLabel = new QLabel(QStringLiteral("Errores"), this);
    errorsField_ = MakeField(this, "errorsField");
    auto* warningsLabel = new QLabel(QStringLiteral("Warnings"), this);
    warningsField_ = MakeField(this, "warningsField");
    button_ = new QPushButton(QStringLiteral("Cancelar"), this);
    button_->setObjectName(QStringLiteral("compileButton"));
    button_->setDefault(true);
    // Whatever it says, the one button ends the box; done() asks the worker to stop.
    connect(button_, &QPushButton::clicked, this, &QDialog::reject);

    errorsField_->setText(QStringLiteral("0"));
    warningsField_->setText(QStringLiteral("0"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(progressLabel_, 0, 0);
    grid->addWidget(progressField_, 0, 1);
    grid->addWidget(errorsLabel, 1, 0);
    grid->addWidget(errorsField_, 1, 1);
    grid->addWidget(warningsLabel, 2, 0);
    grid->addWidget(warningsField_, 2, 1);
    grid->addWidget(button_, 3, 0, 1, 2, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(220, 0)));
}

CompileDialog::~CompileDialog() {
    // The job posts to this object; it must be gone before we are.
    cancel_.store(true);
    WaitForWorker();
}

bool CompileDialog::Start(const std::string& sourcePath, Prompts& prompts, std::optional<ImageDate> imageDate) {
    progressField_->setText(QStringLiteral("0"));
    cancel_.store(false);
    const CompilePreparation preparation = PrepareCompile(model_, sourcePath);
    run_ = RefusedRun(preparation);
    switch (preparation.outcome) {
        case PrepareOutcome::NothingToCompile:
            prompts.ShowMessage(msg::NothingToCompile);
            return false;
        case PrepareOutcome::OverwritesSource:
            prompts.ShowFailure(preparation.refusal);
            return false;
        case PrepareOutcome::Started:
            break;
    }

    // Every report is copied and handed to the GUI thread; the job goes on
    // at once and never touches a widget.
    CompileCallbacks callbacks;
    callbacks.progress = [this](const std::string& text) {
        job_.Post([this, copy = QString::fromStdString(text)] { ShowProgress(copy); });
    };
    callbacks.counts = [this](int errors, int warnings) {
        job_.Post([this, errors, warnings] { ShowCounts(errors, warnings); });
    };
    callbacks.imageWritten = [this] { job_.Post([this] { ShowImageWritten(); }); };
    callbacks.finished = [this](bool hasDiagnostics) {
        job_.Post([this, hasDiagnostics] { ShowFinished(hasDiagnostics); });
    };
    // The model is read by the job only; the box is modal, so no edit reaches it meanwhile.
    const bool started =
        job_.Start([&model = model_, targets = preparation.targets, callbacks, cancel = &cancel_,
                    imageDate] { return CompileAndWrite(model, targets, callbacks, cancel, imageDate); },
                   [this](CompileRun run) { run_ = std::move(run); });
    // Without a thread to spare, the compilation runs here: the box then
    // opens on its end, with the same files written.
    if (!started) run_ = CompileAndWrite(model_, preparation.targets, callbacks, &cancel_, imageDate);
    return true;
}

bool CompileDialog::WorkerRunning() const { return job_.running(); }

void CompileDialog::WaitForWorker() { job_.Wait(); }

void CompileDialog::done(int result) {
    cancel_.store(true);
    QDialog::done(result);
}

void CompileDialog::ShowProgress(const QString& text) { progressField_->setText(text); }

void CompileDialog::ShowCounts(int errors, int warnings) {
    errorsField_->setText(QString::number(errors));
    warningsField_->setText(QString::number(warnings));
}

void CompileDialog::ShowImageWritten() { progressLabel_->setText(QStringLiteral("memoria")); }

void CompileDialog::ShowFinished(bool hasDiagnostics) {
    button_->setText(hasDiagnostics ? QStringLiteral("Ver Errores") : QStringLiteral("Aceptar"));
}

CompileRun RunCompileDialog(QWidget* parent, const ProgramModel& model, const std::string& sourcePath, Prompts& prompts,
                            std::optional<ImageDate> imageDate) {
    CompileDialog dialog(model, parent);
    if (!dialog.Start(sourcePath, prompts, imageDate)) return std::move(dialog.run());
    dialog.exec();
    dialog.WaitForWorker();
    if (!dialog.run().files) prompts.ShowFailure(dialog.run().files);
    return std::move(dialog.run());
}

}  // namespace velmorin
