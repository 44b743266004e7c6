#include "link/ui/MonitorContext.h"

#include <QCoreApplication>
#include <QLabel>
#include <QThread>

namespace velmorin {

const QPixmap& LightPictures::For(Light light) const {
    switch (light) {
        case Light::Green:
            return green;
        case Light::Red:
            return red;
        case Light::Dark:
            break;
    }
    return dark;
}

void ShowLights(QLabel* link, QLabel* heartbeat, const Lights& lights, const LightPictures& pictures) {
    if (link) link->setPixmap(pictures.For(lights.link));
    if (heartbeat) heartbeat->setPixmap(pictures.For(lights.heartbeat));
}

void WaitForWorkerEnd(const std::function<bool()>& alive) {
    // A click now would act on a half-stopped window; it is kept for afterwards.
    constexpr auto flags = QEventLoop::ExcludeUserInputEvents;
    while (alive()) {
        QCoreApplication::processEvents(flags, 10);
        if (alive()) QThread::msleep(2);
    }
    QCoreApplication::processEvents(flags);
}

}  // namespace velmorin
