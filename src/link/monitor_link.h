#pragma once
// The port a monitor holds from opening to closing, and the poll worker that
// has it while polling. Both monitor windows and `velmorin-cli watch/write`
// run their exchanges through here: open, poll (on the worker or in place),
// write while no worker is alive, close on every way out.
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "link/clock.h"
#include "link/controller_image.h"
#include "link/exchanges.h"
#include "link/monitor_set.h"
#include "link/plc_link.h"
#include "link/poll_worker.h"
#include "model/result.h"

namespace velmorin {

// "Enviar PLC"'s rows as the write exchange takes them.
std::vector<WriteRow> WriteRowsFor(std::span<const SendRow> rows);

class MonitorLink {
public:
    MonitorLink(PlcLink& link, Clock& clock, int port);
    // Stops the worker, waits for it and closes the port.
    ~MonitorLink();
    MonitorLink(const MonitorLink&) = delete;
    MonitorLink& operator=(const MonitorLink&) = delete;

    // Fails with "Error %d - %d en comunicación" when the port cannot be opened.
    Result Open();
    // Stops and joins a worker still alive first: the port is never closed under it.
    void Close();
    bool isOpen() const { return open_; }

    // The identifier every exchange carries from now on; a running worker
    // takes it at its next exchange.
    void SetControllerId(uint8_t id) { id_.store(id); }
    uint8_t controllerId() const { return id_.load(); }

    void Purge();
    // One polling exchange for a and b into `into`; true when it was answered.
    bool Poll(int a, int b, ControllerImage& into);
    // Polling in place, on the caller's thread, into `into`.
    PairExchange Exchanger(ControllerImage& into) {
        return [this, &into](int a, int b) { return Poll(a, b, into); };
    }

    // The worker's list; published from the interface thread only.
    PollListChannel& channel() { return channel_; }
    // The worker, on the thread `launch` gives it, with an image of its own;
    // the port belongs to it until it has ended.
    Result StartPolling(const JobLauncher& launch, PollPlan plan, PollWorkerCallbacks callbacks,
                        PollWorkerOptions options = {});
    void RequestStop() { worker_.RequestStop(); }
    bool polling() const { return worker_.running(); }
    bool workerAlive() const { return worker_.alive(); }

    // The write exchange; refused (false) while a worker is alive or the
    // port is closed. True when every row was answered.
    bool Write(std::span<const WriteRow> rows);

private:
    Channel Line() { return {link_, clock_, port_}; }

    PlcLink& link_;
    Clock& clock_;
    int port_ = 0;
    bool open_ = false;
    std::atomic<uint8_t> id_{1};
    PollListChannel channel_;
    PollWorker worker_;
};

}  // namespace velmorin
