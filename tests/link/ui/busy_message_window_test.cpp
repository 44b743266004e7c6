// The busy window runs its job on another thread, keeps painting meanwhile,
// shows the job's last progress text and is gone when the result comes back.
#include <QApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link/ui/BusyMessageWindow.h"

namespace velmorin {
namespace {

TEST(BusyMessageWindow, RunsTheJobOffTheInterfaceThreadAndShowsItsProgress) {
    BusyMessageWindow window(nullptr, QString::fromUtf8(BusyMessageWindow::Receiving));
    EXPECT_EQ(window.windowTitle(), "Mensaje");
    EXPECT_EQ(window.text(), "Recibiendo...");
    const std::thread::id gui = std::this_thread::get_id();
    std::atomic<bool> shownWhileRunning{false};
    std::atomic<bool> release{false};
    // The job waits until the interface thread has shown the window, which it
    // can only do while it keeps processing events.
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            shownWhileRunning = window.isVisible() && window.isModal();
            release = true;
        },
        Qt::QueuedConnection);
    const int result = window.Run([&](const std::function<void(QString)>& progress) {
        EXPECT_NE(std::this_thread::get_id(), gui);
        for (int i = 0; i < 2000 && !release.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        progress(QStringLiteral("265 de 265 bytes"));
        return 42;
    });
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(shownWhileRunning.load());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.progressText(), "265 de 265 bytes");
}

}  // namespace
}  // namespace velmorin
