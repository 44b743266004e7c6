#pragma once
// "Mensaje": the small window shown while a transfer or a send to the
// controller runs. The job itself runs on a worker thread of its own so that
// this window keeps painting its progress; the window is application-modal,
// so the rest of the program takes no input meanwhile, and it is gone before
// the job's result is shown.
#include <QDialog>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>
#include <type_traits>

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

    // Runs `job` on a worker thread while the window is shown, and returns its
    // result once the worker has ended. `job` receives a function it may call
    // from its thread with a progress text; the text reaches the window through
    // the event queue, never directly.
    template <typename Job>
    auto Run(Job&& job) -> std::invoke_result_t<Job&, const std::function<void(QString)>&>;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}

private:
    // Shows the window and processes events until `finished` is true.
    void WaitFor(const std::atomic<bool>& finished);
    std::function<void(QString)> ProgressSink();

    QLabel* text_ = nullptr;
    QLabel* progress_ = nullptr;
    bool running_ = false;
};

template <typename Job>
auto BusyMessageWindow::Run(Job&& job) -> std::invoke_result_t<Job&, const std::function<void(QString)>&> {
    using Out = std::invoke_result_t<Job&, const std::function<void(QString)>&>;
    std::atomic<bool> finished{false};
    const std::function<void(QString)> report = ProgressSink();
    Out result{};
    std::thread worker([&] {
        result = job(report);
        finished.store(true);
    });
    WaitFor(finished);
    worker.join();
    return result;
}

}  // namespace velmorin
