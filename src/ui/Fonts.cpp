#include "ui/Fonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace velmorin {

const std::array<FontDef, FontCount> FontTable = {{
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 40, 12, 700, false},
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 40, 12, 400, false},
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 40, 10, 700, false},
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 36, 8, 400, false},
    // The about box's version line: a dialog control measures in pixels.
    {"MS Sans Serif", "Liberation Sans,DejaVu Sans", 20, 8, 800, true},
}};

QFont MakeFont(const FontDef& def, int dpiX, int dpiY) {
    QStringList families{QString::fromLatin1(def.face)};
    families += QString::fromLatin1(def.fallbacks).split(u',', Qt::SkipEmptyParts);
    QFont font;
    font.setFamilies(families);
    font.setWeight(static_cast<QFont::Weight>(def.weight));
    // The height is the whole character cell, ascent plus descent; the width
    // the average character width. Qt sizes by em and stretch, so measure
    // once and correct both.
    const double cellPixels = def.dialogPixels ? def.height : def.height * dpiY / 254.0;
    const double widthPixels = def.dialogPixels ? def.width : def.width * dpiX / 254.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellPixels))));
    const QFontMetricsF first(font);
    if (first.height() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellPixels * cellPixels / first.height()))));
    }
    const QFontMetricsF sized(font);
    double average = sized.averageCharWidth();
    if (average <= 0) average = sized.horizontalAdvance(u'x');
    if (average > 0) {
        font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * widthPixels / average)), 1, 4000));
    }
    return font;
}

QFont MakeScreenFont(int index) {
    int dpiX = 96, dpiY = 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        dpiX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
        dpiY = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    }
    return MakeFont(FontTable[static_cast<size_t>(std::clamp(index, 0, FontCount - 1))], dpiX, dpiY);
}

}  // namespace velmorin
