#include "link/ui/BusyMessageWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>

namespace velmorin {

BusyMessageWindow::BusyMessageWindow(QWidget* parent, const QString& text) : QDialog(parent) {
    setObjectName("busyMessageWindow");
    setWindowTitle(QString::fromUtf8("Mensaje"));
    // No buttons of its own and no close box: the job decides when it goes.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(text, this);
    text_->setObjectName("busyText");
    text_->setAlignment(Qt::AlignCenter);
    progress_ = new QLabel(this);
    progress_->setObjectName("busyProgress");
    progress_->setAlignment(Qt::AlignCenter);
    layout->addWidget(text_);
    layout->addWidget(progress_);
    setMinimumWidth(220);
}

QString BusyMessageWindow::text() const { return text_->text(); }
void BusyMessageWindow::SetText(const QString& text) { text_->setText(text); }
QString BusyMessageWindow::progressText() const { return progress_->text(); }
void BusyMessageWindow::SetProgress(const QString& text) { progress_->setText(text); }

std::function<void(QString)> BusyMessageWindow::ProgressSink() {
    QPointer<BusyMessageWindow> self(this);
    return [self](QString text) {
        QMetaObject::invokeMethod(
            qApp,
            [self, text] {
                if (self) self->SetProgress(text);
            },
            Qt::QueuedConnection);
    };
}

void BusyMessageWindow::WaitFor(const std::atomic<bool>& finished) {
    running_ = true;
    show();
    raise();
    while (!finished.load()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!finished.load()) QThread::msleep(5);
    }
    // What the worker queued last is shown before the window goes.
    QApplication::processEvents();
    running_ = false;
    hide();
}

void BusyMessageWindow::keyPressEvent(QKeyEvent* event) { event->ignore(); }

void BusyMessageWindow::closeEvent(QCloseEvent* event) {
    if (running_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

}  // namespace velmorin
