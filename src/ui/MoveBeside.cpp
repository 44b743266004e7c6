#include "ui/MoveBeside.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "editor/geometry.h"

namespace velmorin {

void MoveBeside(QWidget& window, const QRect& target) {
    if (!target.isValid()) return;
    // A window not shown yet has no frame; its parent's tells how much the
    // window manager will add around it.
    QMargins frame;
    if (const QWidget* parent = window.parentWidget() ? window.parentWidget()->window() : nullptr) {
        const QRect inner = parent->geometry(), outer = parent->frameGeometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    }
    const QSize size = window.frameGeometry().size().grownBy(window.isVisible() ? QMargins() : frame);
    QScreen* screen = QGuiApplication::screenAt(target.center());
    if (screen == nullptr) screen = window.screen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    const PixelPoint at = PlaceBeside({target.x(), target.y(), target.width(), target.height()},
                                      {size.width(), size.height()}, {room.x(), room.y(), room.width(), room.height()});
    window.move(at.x, at.y);
}

}  // namespace velmorin
