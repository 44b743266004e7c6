#pragma once
// "Mensaje": the small window shown while a transfer or a send to the
// controller runs. The job itself runs as a BackgroundJob so that this
// window keeps painting its progress; the window is application-modal, so
// the rest of the program takes no input meanwhile, and it is gone before
// the job's result is shown.
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "link/link_dialog_rules.h"
#include "link/transfer.h"
#include "ui/BackgroundJob.h"

class QLabel;

namespace velmorin {

class BusyMessageWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* Sending = "Enviando...";
    static constexpr const char* Receiving = "Recibiendo...";

    explicit BusyMessageWindow(QWidget* parent = nullptr, const QString& text = QString::fromUtf8(Sending));

    QString text() const;
    void SetText(const QString& text);
    // The second line: how far the job has come ("128 de 265 bytes", "1.2 s de 5 s").
    QString progressText() const;
    void SetProgress(const QString& text);

    // Runs `job` off the interface thread while the window is shown, and
    // returns its result once it has ended. `job` receives a function it may
    // call from its thread with a progress text; the text reaches the window
    // through the event queue, never directly.
    template <typename Job>
    auto Run(Job&& job) -> std::invoke_result_t<Job&, const std::function<void(QString)>&>;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}

private:
    // Shows the window until `job` has ended.
    void ShowWhile(BackgroundJob& job);

    QLabel* text_ = nullptr;
    QLabel* progress_ = nullptr;
    bool running_ = false;
};

template <typename Job>
auto BusyMessageWindow::Run(Job&& job) -> std::invoke_result_t<Job&, const std::function<void(QString)>&> {
    using Out = std::invoke_result_t<Job&, const std::function<void(QString)>&>;
    BackgroundJob runner;
    const std::function<void(QString)> report = [this, &runner](QString text) {
        runner.Post([this, text = std::move(text)] { SetProgress(text); });
    };
    std::optional<Out> result;
    if (!runner.Start([&job, &report] { return job(report); }, [&result](Out out) { result = std::move(out); })) {
        // No thread to be had: the job runs here, the window unpainted meanwhile.
        return job([this](QString text) { SetProgress(text); });
    }
    ShowWhile(runner);
    return std::move(*result);
}

// A transfer of the send and extract dialogs behind the busy window:
// `transfer` gets the callbacks its exchange reports through, and its
// progress shows as the window's second line whenever the text changes.
template <typename Transfer>
auto RunTransfer(QWidget* parent, const QString& text, Transfer&& transfer)
    -> std::invoke_result_t<Transfer&, const TransferCallbacks&> {
    BusyMessageWindow busy(parent, text);
    return busy.Run([&](const std::function<void(QString)>& report) {
        std::string shown;
        TransferCallbacks callbacks;
        callbacks.progress = [&](const TransferProgress& progress) {
            std::string next = TransferProgressText(progress);
            if (next == shown) return;
            shown = std::move(next);
            report(QString::fromStdString(shown));
        };
        return transfer(callbacks);
    });
}

}  // namespace velmorin
