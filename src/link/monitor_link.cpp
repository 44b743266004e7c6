#include "link/monitor_link.h"

#include <utility>

namespace velmorin {

std::vector<WriteRow> WriteRowsFor(std::span<const SendRow> rows) {
    std::vector<WriteRow> out;
    out.reserve(rows.size());
    for (const SendRow& row : rows) out.push_back({static_cast<uint8_t>(row.address), row.word, row.value});
    return out;
}

MonitorLink::MonitorLink(PlcLink& link, Clock& clock, int port, ControllerImage& image)
    : link_(link), clock_(clock), port_(port), image_(image) {}

MonitorLink::~MonitorLink() { Close(); }

Result MonitorLink::Open() {
    if (open_) return Result::Ok();
    if (link_.OpenPort(port_) != 1) return LinkFailure(link_.LastError());
    open_ = true;
    return Result::Ok();
}

void MonitorLink::Close() {
    worker_.RequestStop();
    worker_.Join();
    if (!open_) return;
    link_.ClosePort(port_);
    open_ = false;
}

void MonitorLink::Purge() {
    if (open_) link_.PurgePort(port_);
}

bool MonitorLink::Poll(int a, int b) {
    if (!ControllerImage::Holds(a) || !ControllerImage::Holds(b)) return false;
    return PollExchange(Line(), id_.load(), static_cast<uint8_t>(a), static_cast<uint8_t>(b), image_).replied;
}

Result MonitorLink::StartPolling(PollPlan plan, PollWorkerCallbacks callbacks, PollWorkerOptions options) {
    return worker_.Start(channel_, Exchanger(), std::move(plan), std::move(callbacks), std::move(options));
}

bool MonitorLink::Write(std::span<const WriteRow> rows) {
    if (!open_ || worker_.alive()) return false;
    return WriteRows(Line(), id_.load(), rows);
}

}  // namespace velmorin
