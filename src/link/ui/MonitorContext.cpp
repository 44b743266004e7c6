#include "link/ui/MonitorContext.h"

#include <QLabel>

namespace velmorin {
namespace {

Indicator IndicatorOf(Light light) {
    switch (light) {
        case Light::Green:
            return IndicatorGreen;
        case Light::Red:
            return IndicatorRed;
        case Light::Dark:
            break;
    }
    return IndicatorDark;
}

}  // namespace

void ShowLights(QLabel* link, QLabel* heartbeat, const Lights& lights, const LightPictures& pictures) {
    if (link) link->setPixmap(pictures.Of(IndicatorOf(lights.link)));
    if (heartbeat) heartbeat->setPixmap(pictures.Of(IndicatorOf(lights.heartbeat)));
}

}  // namespace velmorin
