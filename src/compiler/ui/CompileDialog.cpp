#include "compiler/ui/CompileDialog.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QTimer>

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
    // The worker posts to this object; it must be gone before we are.
    if (worker_ && worker_->Running()) {
        cancel_.store(true);
    }
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

    // Every report is copied and handed to the GUI thread; the worker goes on
    // at once and never touches a widget.
    CompileCallbacks callbacks;
    callbacks.progress = [this](const std::string& text) {
        const QString copy = QString::fromStdString(text);
        QMetaObject::invokeMethod(
            this, [this, copy] { ShowProgress(copy); }, Qt::QueuedConnection);
    };
    callbacks.counts = [this](int errors, int warnings) {
        QMetaObject::invokeMethod(
            this, [this, errors, warnings] { ShowCounts(errors, warnings); }, Qt::QueuedConnection);
    };
    callbacks.imageWritten = [this] {
        QMetaObject::invokeMethod(
            this, [this] { ShowImageWritten(); }, Qt::QueuedConnection);
    };
    callbacks.finished = [this](bool hasDiagnostics) {
        QMetaObject::invokeMethod(
            this, [this, hasDiagnostics] { ShowFinished(hasDiagnostics); }, Qt::QueuedConnection);
    };
    worker_ = std::make_unique<CompileWorker>();
    worker_->Start(model_, preparation.targets, std::move(callbacks), &cancel_, imageDate);
    return true;
}

bool CompileDialog::WorkerRunning() const { return worker_ && worker_->Running(); }

void CompileDialog::WaitForWorker() {
    if (!worker_) {
        return;
    }
    if (worker_->Running()) {
        // Keep the GUI alive while the worker reaches its next cancel check.
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(2);
        connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
            if (!worker_->Running()) {
                loop.quit();
            }
        });
        poll.start();
        if (worker_->Running()) {
            loop.exec();
        }
    }
    worker_->Join();
    run_ = std::move(worker_->run());
    worker_.reset();
}

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
