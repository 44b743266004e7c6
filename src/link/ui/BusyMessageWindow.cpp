#include "link/ui/BusyMessageWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

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

void BusyMessageWindow::ShowWhile(BackgroundJob& job) {
    running_ = true;
    show();
    raise();
    job.Wait();
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
