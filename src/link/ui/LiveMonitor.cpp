#include "link/ui/LiveMonitor.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>

#include "link/monitor_link.h"

namespace velmorin {
namespace {

constexpr const char* ReceiveCaption = "Recibir";
constexpr const char* StopCaption = "Detener";

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
    parts_.diagram->OnOperandsListed([this] { onOperandsPublished(); });
}

LiveMonitor::~LiveMonitor() {
    parts_.diagram->OnOperandsListed({});
    // Never left through "Salir": the worker must not outlive the window it reports to.
    if (link_) link_->RequestStop();
}

bool LiveMonitor::Enter(const MonitorContext& context) {
    if (active_) return true;
    context_.emplace(context);
    link_ = std::make_unique<MonitorLink>(context.link, context.clock, context.port);
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
    link_->Close();
    link_.reset();
    parts_.receive->setText(QString::fromUtf8(ReceiveCaption));
    SetFrameLive(false);
    active_ = false;
    context_.reset();
}

void LiveMonitor::SetFrameLive(bool live) {
    // No command may change or replace the diagram while it is being watched.
    if (parts_.showLive) parts_.showLive(live);
    // The next paint is a live paint, which lists the operands to poll.
    parts_.diagram->SetLiveMode(live);
}

void LiveMonitor::StartPolling() {
    parts_.receive->setText(QString::fromUtf8(StopCaption));
    figures_->clear();  // they count from this "Recibir"
    link_->Purge();
    // Until the next live paint lists the diagram's operands.
    const int32_t bootstrap[] = {0};
    link_->channel().Publish(bootstrap);
    parts_.diagram->ClearLiveColours();
    parts_.diagram->RefreshLive(image_.Snapshot());
    link_->SetControllerId(static_cast<uint8_t>(context_->plcId));

    PollWorkerCallbacks callbacks;
    callbacks.started = [this](const Lights& lights) {
        pollJob_.Post(
            [this, lights] { ShowLights(parts_.linkLight, parts_.heartbeatLight, lights, context_->lights); });
    };
    // The bytes travel with the report, taken whole from the worker's own
    // image at the cycle's end.
    callbacks.cycleEnded = [this](const CycleEnd& end, const ReceivedBytes& received) {
        pollJob_.Post([this, end, received] { OnCycleEnded(end, received); });
    };
    PollPlan plan;
    plan.policy = ListPolicy::FollowEveryPair;
    const JobLauncher launch = [this](std::function<void()> job) { return pollJob_.Start(std::move(job)); };
    if (const Result started = link_->StartPolling(launch, plan, callbacks); !started) {
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
    // A click now would act on a half-stopped window; it waits until the worker's end.
    pollJob_.Wait(QEventLoop::ExcludeUserInputEvents);
    ShowLights(parts_.linkLight, parts_.heartbeatLight, {}, context_->lights);
}

void LiveMonitor::OnCycleEnded(const CycleEnd& end, const ReceivedBytes& received) {
    image_.Take(received);
    if (!active_) return;
    ShowLights(parts_.linkLight, parts_.heartbeatLight, end.lights, context_->lights);
    figures_->setText(QString::fromStdString(FormatLinkFigures(end.figures)));
    parts_.diagram->RefreshLive(image_.Snapshot());
}

void LiveMonitor::onOperandsPublished() {
    if (!active_ || !link_) return;
    link_->channel().Publish(parts_.diagram->monitoredOperands());
}

}  // namespace velmorin
