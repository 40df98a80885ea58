#include "qt/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace ledgerlift {
namespace {

// A window manager's frame, until the real one is known.
const QMargins kAssumedFrame(4, 30, 4, 4);

QMargins FrameOf(const QWidget& window) {
    if (!window.isVisible()) {
        return kAssumedFrame;
    }
    QRect outer = window.frameGeometry();
    QRect inner = window.geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void Fit(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect fitted = FittedRect(window.geometry(), screen->availableGeometry(), FrameOf(window));
    if (fitted != window.geometry()) {
        window.setGeometry(fitted);
    }
}

}  // namespace

QRect FittedRect(const QRect& wanted, const QRect& available, const QMargins& frame) {
    QRect room = available.marginsRemoved(frame);
    QSize size = wanted.size().boundedTo(room.size()).expandedTo(QSize(1, 1));
    int x =
        std::clamp(wanted.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width()));
    int y =
        std::clamp(wanted.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

void PlaceWindow(QWidget& window, const QByteArray& remembered) {
    if (remembered.isEmpty() || !window.restoreGeometry(remembered)) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect room = screen->availableGeometry().marginsRemoved(kAssumedFrame);
            window.move(room.topLeft());
        }
    }
    Fit(window);
    // Once shown, with the frame the window manager gave it (which may come
    // a little after the window itself).
    for (int ms : {0, 300}) {
        QTimer::singleShot(ms, &window, [&window] { Fit(window); });
    }
}

}  // namespace ledgerlift
