#pragma once
// What the two monitor windows take from the application for one job: the
// link with the devices resolved for it, the settings they read and store,
// the pictures of their lights and the prompts through which they show
// messages and file dialogs. And what both do alike: show the lights, and
// wait for their worker to end while the interface keeps running.
#include <QPixmap>

#include <functional>

#include "link/clock.h"
#include "link/plc_link.h"
#include "link/poll_lights.h"
#include "model/prompts.h"

class QLabel;

namespace velmorin {

struct LightPictures {
    QPixmap green;
    QPixmap red;
    QPixmap dark;
    const QPixmap& For(Light light) const;
};

struct MonitorContext {
    PlcLink& link;
    Clock& clock;
    int port = 1;  // "CommPort", 0..3
    int& plcId;    // "PlcId": the identifier field starts from it and stores back into it
    Prompts& prompts;
    LightPictures lights;
};

// The link light is the left one, the heartbeat the right one.
void ShowLights(QLabel* link, QLabel* heartbeat, const Lights& lights, const LightPictures& pictures);

// Processes events (the worker's reports and painting; the user's input
// waits) until `alive` turns false, then delivers what the worker posted
// last. The worker never waits for the interface, so this ends within one
// exchange (about 300 ms).
void WaitForWorkerEnd(const std::function<bool()>& alive);

}  // namespace velmorin
