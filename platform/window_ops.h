#pragma once
// Window services the program asks of the system: the quit request, topmost on
// and off, and the system's move of a window (the drag by its surface).
#include <QPoint>

class QWidget;

namespace vela {

// Posts a quit request (exit code 0) to the application's event loop: the loop
// ends once it gets there, as with a posted quit message. Any thread; nothing
// happens without an application object.
void RequestQuit();

// Keeps the top-level `window` above normal windows (on) or not (off), without
// moving, resizing, hiding or re-creating it. UI thread.
void SetTopmost(QWidget *window, bool on);
bool IsTopmost(const QWidget *window);

// Starts moving the top-level `window` with the pointer, as if its caption had
// been grabbed, after a left-button press at `globalPress` (screen pixels).
// Returns true when the window system took over the move; otherwise (for
// example on the offscreen platform) the window follows the pointer's moves
// itself until the button is released, and false is returned. UI thread.
bool BeginWindowDrag(QWidget *window, QPoint globalPress);

// Where the fallback drag puts the window: its position at the press moved by
// the pointer's travel. Plain function.
QPoint DraggedWindowPosition(QPoint windowAtPress, QPoint globalPress, QPoint globalNow);

} // namespace vela
