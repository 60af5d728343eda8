#include "ui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace brenmoor {

WindowPlacement PlaceWindow(QPoint wanted, QSize client, QMargins frame, QRect available) {
  const QSize room = available.marginsRemoved(frame).size();
  const QSize shown = client.boundedTo(room).expandedTo(QSize(0, 0));
  const QSize outer = shown.grownBy(frame);
  // The frame's far corner stays inside the room, then its near one does.
  const int x =
      std::max(available.left(), std::min(wanted.x(), available.right() + 1 - outer.width()));
  const int y =
      std::max(available.top(), std::min(wanted.y(), available.bottom() + 1 - outer.height()));
  return {QPoint(x, y), shown};
}

QMargins FrameOf(const QWidget& window, QMargins guess) {
  if (const QWindow* handle = window.windowHandle()) {
    const QMargins drawn = handle->frameMargins();
    if (!drawn.isNull()) return drawn;
  }
  return guess;
}

QScreen* ScreenAt(QPoint point) {
  QScreen* screen = QGuiApplication::screenAt(point);
  return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

}  // namespace brenmoor
