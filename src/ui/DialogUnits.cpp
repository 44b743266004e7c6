#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>

#include <algorithm>

namespace velmorin {

QSize DialogUnitsToPixels(const QFont& font, int x, int y) {
    // The average width is taken over the alphabet, as dialog templates do,
    // rounded to whole pixels; each size is rounded, not each unit.
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = std::max(1, qRound(metrics.horizontalAdvance(alphabet) / alphabet.size()));
    const int baseY = std::max(1, QFontMetrics(font).height());
    return {(x * baseX + 2) / 4, (y * baseY + 4) / 8};
}

}  // namespace velmorin
