#pragma once
// The three pictures a communication light shows (green, red, dark), as the
// live-monitor bar and the variable monitor draw them.
#include <QPixmap>

namespace velmorin {

enum Indicator { IndicatorGreen = 0, IndicatorRed = 1, IndicatorDark = 2 };

struct LightPictures {
    QPixmap green;
    QPixmap red;
    QPixmap dark;
    const QPixmap& Of(Indicator which) const;
};

// The 9 x 9 pictures from the program's resources.
LightPictures LoadLightPictures();

}  // namespace velmorin
