#pragma once
// The live diagram monitor: the main window turned into a live view of the
// running controller. The diagram stays; the toolbar and every command give
// way to the live bar ("Recibir"/"Detener", the two lights, the link
// figures, "Salir"); a poll worker reads the operands the last live paint
// listed into the application's LiveImage, and the view recolours after
// each cycle. The frame routes the bar's buttons here.
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

#include "editor/live_values.h"
#include "link/controller_image.h"
#include "link/poll_cycle.h"
#include "link/ui/MonitorContext.h"
#include "ui/BackgroundJob.h"
#include "ui/DiagramSurface.h"

class QLabel;
class QPushButton;
class QToolBar;

namespace velmorin {

class MonitorLink;

class LiveMonitor : public QObject {
    Q_OBJECT
public:
    // The pieces of the main window live mode changes.
    struct FrameParts {
        // The frame's look in live mode: the live bar instead of the toolbar,
        // and its menus and commands (keys included) out of use until it ends.
        std::function<void(bool live)> showLive;
        QToolBar* liveBar = nullptr;
        QPushButton* receive = nullptr;
        QLabel* linkLight = nullptr;       // the left one
        QLabel* heartbeatLight = nullptr;  // the right one
        DiagramSurface* diagram = nullptr;
    };

    LiveMonitor(const FrameParts& parts, LiveImage& image, QObject* parent = nullptr);
    ~LiveMonitor() override;

    // "Gráfico": opens the port (or shows its error and returns false, the
    // frame untouched), then puts the frame into live mode with the lights
    // dark. Polling does not start yet.
    bool Enter(const MonitorContext& context);
    // "Recibir" / "Detener".
    void ToggleReceive();
    // "Salir": polling stopped, port closed, frame restored. The caller
    // opens the variable monitor again.
    void Leave();

    bool active() const { return active_; }
    bool polling() const { return polling_; }
    // From "Recibir" until the worker's end has reached the window.
    bool workerAlive() const { return pollJob_.running(); }
    QLabel* linkFigures() const { return figures_; }

private:
    void SetFrameLive(bool live);
    void StartPolling();
    void StopPolling();
    void OnCycleEnded(const CycleEnd& end, const ReceivedBytes& received);
    void onOperandsPublished();

    FrameParts parts_;
    LiveImage& image_;
    std::optional<MonitorContext> context_;
    std::unique_ptr<MonitorLink> link_;
    // Runs the poll worker; it ends before the link goes.
    BackgroundJob pollJob_;
    QLabel* figures_ = nullptr;
    bool active_ = false;
    bool polling_ = false;
};

}  // namespace velmorin
