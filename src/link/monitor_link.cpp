#include "link/monitor_link.h"

#include <utility>

namespace velmorin {

std::vector<WriteRow> WriteRowsFor(std::span<const SendRow> rows) {
    std::vector<WriteRow> out;
    out.reserve(rows.size());
    for (const SendRow& row : rows) out.push_back({static_cast<uint8_t>(row.address), row.word, row.value});
    return out;
}

MonitorLink::MonitorLink(PlcLink& link, Clock& clock, int port) : link_(link), clock_(clock), port_(port) {}

MonitorLink::~MonitorLink() { Close(); }

Result MonitorLink::Open() {
    if (open_) return Result::Ok();
    if (link_.OpenPort(port_) != 1) return LinkFailure(link_.LastError());
    open_ = true;
    return Result::Ok();
}

void MonitorLink::Close() {
    worker_.RequestStop();
    worker_.WaitForEnd();
    if (!open_) return;
    link_.ClosePort(port_);
    open_ = false;
}

void MonitorLink::Purge() {
    if (open_) link_.PurgePort(port_);
}

bool MonitorLink::Poll(int a, int b, ControllerImage& into) {
    if (!ControllerImage::Holds(a) || !ControllerImage::Holds(b)) return false;
    return PollExchange(Line(), id_.load(), static_cast<uint8_t>(a), static_cast<uint8_t>(b), into).replied;
}

Result MonitorLink::StartPolling(const JobLauncher& launch, PollPlan plan, PollWorkerCallbacks callbacks,
                                 PollWorkerOptions options) {
    return worker_.Start(
        launch, channel_, [this](int a, int b, ControllerImage& into) { return Poll(a, b, into); }, std::move(plan),
        std::move(callbacks), std::move(options));
}

bool MonitorLink::Write(std::span<const WriteRow> rows) {
    if (!open_ || worker_.alive()) return false;
    return WriteRows(Line(), id_.load(), rows);
}

}  // namespace velmorin
