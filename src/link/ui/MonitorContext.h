#pragma once
// What the two monitor windows take from the application for one job: the
// link with the devices resolved for it, the settings they read and store,
// the pictures of their lights and the prompts through which they show
// messages and file dialogs. And what both do alike: show the lights.
#include "link/clock.h"
#include "link/plc_link.h"
#include "link/poll_lights.h"
#include "model/prompts.h"
#include "ui/IndicatorLights.h"

class QLabel;

namespace velmorin {

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

}  // namespace velmorin
