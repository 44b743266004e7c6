#include "link/ui/LiveMonitor.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>

#include "editor/ui/CVelmorinView.h"
#include "link/monitor_link.h"

namespace velmorin {
namespace {

constexpr const char* ReceiveCaption = "Recibir";
constexpr const char* StopCaption = "Detener";
// The file, elements, tools, view and help menus.
constexpr int LiveGreyedMenus = 5;

}  // namespace

LiveMonitor::LiveMonitor(const FrameParts& parts, LiveImage& image, QObject* parent)
    : QObject(parent), parts_(parts), image_(image) {
    // The figures sit between the lights and "Salir".
    figures_ = new QLabel(parts_.liveBar);
    figures_->setObjectName("liveFigures");
    figures_->setContentsMargins(6, 0, 6, 0);
    QAction* beforeExit = nullptr;
    const QList<QAction*> items = parts_.liveBar->actions();
    for (qsizetype i = 0; i < items.size(); ++i)
        if (parts_.liveBar->widgetForAction(items[i]) == parts_.heartbeatLight && i + 1 < items.size())
            beforeExit = items[i + 1];
    if (beforeExit)
        parts_.liveBar->insertWidget(beforeExit, figures_);
    else
        parts_.liveBar->addWidget(figures_);
    connect(parts_.view, &CVelmorinView::liveOperandsPublished, this, &LiveMonitor::onOperandsPublished);
}

LiveMonitor::~LiveMonitor() = default;

bool LiveMonitor::workerAlive() const { return link_ && link_->workerAlive(); }

bool LiveMonitor::Enter(const MonitorContext& context) {
    if (active_) return true;
    context_.emplace(context);
    link_ = std::make_unique<MonitorLink>(context.link, context.clock, context.port, image_);
    if (const Result opened = link_->Open(); !opened) {
        context.prompts.ShowFailure(opened);
        link_.reset();
        context_.reset();
        return false;
    }
    active_ = true;
    SetFrameLive(true);
    ShowLights(parts_.linkLight, parts_.heartbeatLight, {}, context_->lights);
    figures_->clear();
    return true;
}

void LiveMonitor::ToggleReceive() {
    if (!active_) return;
    if (polling_)
        StopPolling();
    else
        StartPolling();
}

void LiveMonitor::Leave() {
    if (!active_) return;
    if (polling_) StopPolling();
    WaitForWorkerEnd([this] { return link_->workerAlive(); });
    link_->Close();
    link_.reset();
    parts_.receive->setText(QString::fromUtf8(ReceiveCaption));
    SetFrameLive(false);
    active_ = false;
    context_.reset();
}

void LiveMonitor::SetFrameLive(bool live) {
    QMenuBar* menus = parts_.window->menuBar();
    const QList<QAction*> menuActions = menus->actions();
    for (int i = 0; i < LiveGreyedMenus && i < menuActions.size(); ++i) menuActions[i]->setEnabled(!live);
    // Greyed menus alone would leave the keys working (a disabled command
    // ignores its keys): no command may change or replace the diagram while
    // it is being watched.
    if (live) {
        disabledActions_.clear();
        for (QAction* action : parts_.window->actions()) {
            if (!action->isEnabled()) continue;
            action->setEnabled(false);
            disabledActions_.append(action);
        }
    } else {
        for (const QPointer<QAction>& action : disabledActions_)
            if (action) action->setEnabled(true);
        disabledActions_.clear();
    }
    parts_.toolBar->setVisible(!live);
    parts_.liveBar->setVisible(live);
    // The next paint is a live paint, which lists the operands to poll.
    parts_.view->SetLiveMode(live);
}

void LiveMonitor::StartPolling() {
    parts_.receive->setText(QString::fromUtf8(StopCaption));
    figures_->clear();  // they count from this "Recibir"
    link_->Purge();
    // Until the next live paint lists the diagram's operands.
    const int32_t bootstrap[] = {0};
    link_->channel().Publish(bootstrap);
    parts_.view->ClearLiveColours();
    parts_.view->RefreshLive(image_.Snapshot());
    link_->SetControllerId(static_cast<uint8_t>(context_->plcId));

    PollWorkerCallbacks callbacks;
    callbacks.started = [this](const Lights& lights) {
        QMetaObject::invokeMethod(
            this, [this, lights] { ShowLights(parts_.linkLight, parts_.heartbeatLight, lights, context_->lights); },
            Qt::QueuedConnection);
    };
    // The bytes travel with the report, taken whole on the worker's thread
    // at the cycle's end.
    callbacks.cycleEnded = [this](const CycleEnd& end) {
        const LiveImageSnapshot snapshot = image_.Snapshot();
        QMetaObject::invokeMethod(
            this, [this, end, snapshot] { OnCycleEnded(end, snapshot); }, Qt::QueuedConnection);
    };
    PollPlan plan;
    plan.policy = ListPolicy::FollowEveryPair;
    if (const Result started = link_->StartPolling(plan, callbacks); !started) {
        context_->prompts.ShowMessage(started.message);
        parts_.receive->setText(QString::fromUtf8(ReceiveCaption));
        return;
    }
    polling_ = true;
}

void LiveMonitor::StopPolling() {
    polling_ = false;
    parts_.receive->setText(QString::fromUtf8(ReceiveCaption));
    link_->RequestStop();
    WaitForWorkerEnd([this] { return link_->workerAlive(); });
    link_->JoinWorker();
    ShowLights(parts_.linkLight, parts_.heartbeatLight, {}, context_->lights);
}

void LiveMonitor::OnCycleEnded(const CycleEnd& end, const LiveImageSnapshot& snapshot) {
    if (!active_) return;
    ShowLights(parts_.linkLight, parts_.heartbeatLight, end.lights, context_->lights);
    figures_->setText(QString::fromStdString(FormatLinkFigures(end.figures)));
    parts_.view->RefreshLive(snapshot);
}

void LiveMonitor::onOperandsPublished() {
    if (!active_ || !link_) return;
    const std::shared_ptr<const MonitoredOperandList> list = parts_.view->monitoredOperands().Current();
    link_->channel().Publish(*list);
}

}  // namespace velmorin
