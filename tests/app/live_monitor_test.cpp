// Live mode end to end: the main window, the variable monitor's "Gráfico"
// (scripted, then the real dialog), the live bar, the poll worker and
// velmorin-sim on Com2.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "editor/ui/CVelmorinView.h"
#include "link/ui/LiveMonitor.h"
#include "link/ui/VariableMonitorDialog.h"
#include "shell_test_support.h"
#include "support/gui_wait.h"
#include "support/sim_process.h"

Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text, bool autorepeat, ushort count);

namespace velmorin {
namespace {

using testing::ProcessEventsUntil;
using testing::ShellTest;

const QString Examples = QStringLiteral(VELMORIN_SOURCE_DIR "/examples/");
// Com2 names the simulator's device for the test's length.
class Com2Device {
public:
    explicit Com2Device(const std::string& device) {
        if (const char* old = std::getenv("VELMORIN_COM2")) previous_ = old;
        ::setenv("VELMORIN_COM2", device.c_str(), 1);
    }
    ~Com2Device() {
        if (previous_)
            ::setenv("VELMORIN_COM2", previous_->c_str(), 1);
        else
            ::unsetenv("VELMORIN_COM2");
    }

private:
    std::optional<std::string> previous_;
};

class LiveMonitorTest : public ShellTest {
protected:
    bool Live() {
        return !frame().liveBar()->isHidden() && frame().toolBar()->isHidden() && frame().view()->liveMode() &&
               frame().liveMonitor().active();
    }
    bool Editing() {
        return frame().liveBar()->isHidden() && !frame().toolBar()->isHidden() && !frame().view()->liveMode() &&
               !frame().liveMonitor().active();
    }
    int MenusEnabled() {
        const QList<QAction*> menus = frame().menuBar()->actions();
        return static_cast<int>(std::count_if(menus.begin(), menus.end(), [](QAction* a) { return a->isEnabled(); }));
    }
    int8_t ColourAt(int row, int column) { return frame().view()->overlay().colourAt(row, column); }
    void PressOpenKey() {
        QApplication::setActiveWindow(&frame());
        QApplication::processEvents();
        qt_handleKeyEvent(frame().windowHandle(), QEvent::KeyPress, Qt::Key_O, Qt::ControlModifier, QString(), false,
                          1);
        qt_handleKeyEvent(frame().windowHandle(), QEvent::KeyRelease, Qt::Key_O, Qt::ControlModifier, QString(), false,
                          1);
        QApplication::processEvents();
    }
    qint64 TimedClick(QPushButton* button) {
        QElapsedTimer timer;
        timer.start();
        button->click();
        return timer.elapsed();
    }
};

TEST_F(LiveMonitorTest, DiagramFollowsTheControllerAndSalirReturnsToTheVariableMonitor) {
    testing::SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    ASSERT_TRUE(Start({Examples + "counter.ldr"}));
    frame().show();

    // A Com2 that cannot be opened: the message, and the frame stays as it was.
    {
        Com2Device missing(FilePath("no-such-device"));
        dialogs.monitorResults = {MonitorClose::Graphic};
        frame().onMonitor();
        EXPECT_EQ(prompts.messages, std::vector<std::string>{"Error -1 - 0 en comunicación"});
        EXPECT_TRUE(Editing());
    }

    Com2Device com2(sim.device());
    ASSERT_TRUE(sim.Command("on E1") && sim.Command("set CNTE1 4660"));
    dialogs.monitorResults = {MonitorClose::Graphic};
    frame().onMonitor();
    ASSERT_TRUE(Live());
    EXPECT_EQ(MenusEnabled(), 0);
    EXPECT_FALSE(frame().action(57600)->isEnabled());
    // The keys are out of use as well: no file dialog may open on the watched diagram.
    PressOpenKey();
    EXPECT_TRUE(prompts.fileRequests.empty());
    const qint64 darkKey = app->indicator(IndicatorDark).cacheKey();
    EXPECT_EQ(frame().liveIndicator(0)->pixmap().cacheKey(), darkKey);

    // "Recibir": the contact of E1 (row 1, column 1) turns green, and the
    // counter's count state, listed by the live paint, is read.
    frame().liveReceiveButton()->click();
    EXPECT_EQ(frame().liveReceiveButton()->text(), "Detener");
    ASSERT_TRUE(ProcessEventsUntil([&] { return ColourAt(1, 1) == ColourGreen && app->liveImage().Word(92) == 4660; }))
        << int(ColourAt(1, 1)) << " " << app->liveImage().Word(92);
    const MonitoredOperandList& listed = frame().view()->monitoredOperands();
    EXPECT_NE(std::find(listed.begin(), listed.end(), 92), listed.end());
    EXPECT_TRUE(frame().liveMonitor().linkFigures()->text().contains("ciclos/s"));
    ASSERT_TRUE(sim.Command("off E1"));
    EXPECT_TRUE(ProcessEventsUntil([&] { return ColourAt(1, 1) == ColourRed; }));

    EXPECT_LT(TimedClick(frame().liveReceiveButton()), 400);
    EXPECT_FALSE(frame().liveMonitor().workerAlive());
    EXPECT_EQ(frame().liveReceiveButton()->text(), "Recibir");
    EXPECT_EQ(frame().liveIndicator(1)->pixmap().cacheKey(), darkKey);

    // "Salir": the frame as it was, the LiveImage with the last values, the
    // variable monitor again (the next test opens the real one on the port
    // live mode gave back).
    frame().liveExitButton()->click();
    EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"monitor", "monitor", "monitor"}));
    EXPECT_TRUE(Editing());
    EXPECT_EQ(MenusEnabled(), 5);
    EXPECT_TRUE(frame().action(57600)->isEnabled());
    EXPECT_EQ(app->liveImage().Word(92), 4660);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(LiveMonitorTest, TheRealMonitorHandsThePortToLiveModeAndTakesItBack) {
    testing::SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.err();
    Com2Device com2(sim.device());
    ASSERT_TRUE(Start({Examples + "latch.ldr"}));
    frame().show();
    frame().SetDialogs(nullptr);

    // Each showing of the variable monitor gets the next button clicked.
    std::deque<QString> clicks = {"graphic", "exit"};
    QPointer<QDialog> handled;
    int shown = 0;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        auto* monitor = qobject_cast<VariableMonitorDialog*>(QApplication::activeModalWidget());
        if (!monitor || monitor == handled || clicks.empty()) return;
        handled = monitor;
        ++shown;
        monitor->findChild<QPushButton*>(clicks.front())->click();
        clicks.pop_front();
    });
    clicker.start(20);

    frame().onMonitor();
    EXPECT_EQ(shown, 1);
    ASSERT_TRUE(Live()) << (prompts.messages.empty() ? "" : prompts.messages.front());
    frame().liveReceiveButton()->click();
    ASSERT_TRUE(sim.Command("on E1"));
    ASSERT_TRUE(ProcessEventsUntil([&] { return ColourAt(1, 1) == ColourGreen; }));  // LD marcha
    frame().liveExitButton()->click();
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(Editing());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(LiveMonitorTest, MonitorStateOutlivesTheDialogUntilANewDocument) {
    ASSERT_TRUE(Start());
    app->monitorState().set[0][0] = {15, 0, 1};
    app->monitorState().image.SetByte(14, 42);
    app->monitorState().programPath = "/tmp/prog.ldr";
    frame().onMonitor();  // scripted: closed at once
    EXPECT_EQ(app->monitorState().set[0][0].reference, 15);
    frame().onFileNew();
    EXPECT_EQ(app->monitorState().set[0][0].reference, 0);
    EXPECT_EQ(app->monitorState().image.Byte(14), 0);
    EXPECT_TRUE(app->monitorState().programPath.empty());
}

}  // namespace
}  // namespace velmorin
