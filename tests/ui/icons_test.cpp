#include <gtest/gtest.h>
#include <QIcon>
#include <QImage>
#include <QString>

#include "ui/Resources.h"

namespace velmorin {
namespace {

// Pixels that are not fully transparent: a drawn icon has plenty, a broken
// or empty one none.
int InkedPixels(const QImage& image) {
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return inked;
}

TEST(Icons, EveryToolbarIconRendersAtSixteenPixels) {
    InitAppResources();
    const char* names[] = {"new",  "open",    "save", "print",   "help",     "delete",  "horiz",
                           "vert", "ld",      "ldn",  "out",     "if",       "caja1",   "caja2",
                           "cntv", "compile", "send", "monitor", "commands", "velmorin"};
    for (const char* name : names) {
        const QString path = QStringLiteral(":/icons/%1.svg").arg(QLatin1StringView(name));
        const QIcon icon(path);
        ASSERT_FALSE(icon.isNull()) << name;
        const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(16, 16)) << name;
        EXPECT_GT(InkedPixels(image), 12) << name;
    }
}

TEST(Icons, ContactSymbolsDifferOnlyByTheSlash) {
    InitAppResources();
    const QImage open = QIcon(":/icons/ld.svg").pixmap(16, 16).toImage();
    const QImage closed = QIcon(":/icons/ldn.svg").pixmap(16, 16).toImage();
    EXPECT_NE(open, closed);
    EXPECT_GT(InkedPixels(closed), InkedPixels(open));
}

}  // namespace
}  // namespace velmorin
