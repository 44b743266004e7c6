#include "ui/IndicatorLights.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include "ui/Resources.h"

namespace velmorin {
namespace {

constexpr const char* IndicatorPaths[3] = {":/indicators/green.svg", ":/indicators/red.svg", ":/indicators/dark.svg"};
constexpr int IndicatorSize = 9;

QPixmap LoadLight(Indicator which) {
    QPixmap pixmap(IndicatorSize, IndicatorSize);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QString::fromLatin1(IndicatorPaths[which]));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

}  // namespace

const QPixmap& LightPictures::Of(Indicator which) const {
    switch (which) {
        case IndicatorGreen:
            return green;
        case IndicatorRed:
            return red;
        case IndicatorDark:
            break;
    }
    return dark;
}

LightPictures LoadLightPictures() {
    InitAppResources();
    return {LoadLight(IndicatorGreen), LoadLight(IndicatorRed), LoadLight(IndicatorDark)};
}

}  // namespace velmorin
