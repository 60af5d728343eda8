#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace brenmoor {

// Where a window goes: its frame's top-left corner and its client size.
struct WindowPlacement {
  QPoint position;
  QSize client;
  bool operator==(const WindowPlacement&) const = default;
};

// Places a window that wants its frame at `wanted` and a client area of
// `client`, framed by `frame`, inside `available` (a screen's room for
// windows, task bar excluded; all in logical pixels). Where it fits whole it
// stays as wanted; else it moves only as far as needed to fit; where it is
// larger than the room, its client area shrinks to the room (and the window
// scrolls) and it takes the room's corner.
// Example: a 1024 × 690 client with a 4, 23, 4, 4 frame wanted at (246, 158)
// in (0, 0, 1366, 728) goes to (246, 11), whole.
WindowPlacement PlaceWindow(QPoint wanted, QSize client, QMargins frame, QRect available);

// The frame the window system draws around window, or `guess` while it does
// not say (X11 tells only once a window is shown).
QMargins FrameOf(const QWidget& window, QMargins guess);

// The screen whose area holds point, else the primary one.
QScreen* ScreenAt(QPoint point);

}  // namespace brenmoor
