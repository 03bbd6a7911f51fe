#pragma once

#include <QPoint>

class QContextMenuEvent;
class QMouseEvent;
class QWidget;

namespace zorvel {

class CDesktopShell;

// Moves a frameless window dragged with the left button: the window system's move once the
// pointer has travelled far enough (so clicks and double-clicks stay clicks), or our own move
// where the window system cannot (or there is no shell).
class CWindowDrag {
public:
    // Each returns whether it used the event.
    bool Press(const QMouseEvent& event);
    bool Move(QWidget& window, CDesktopShell* shell, const QMouseEvent& event);
    void Release(const QMouseEvent& event);

private:
    bool pressed_ = false;
    bool movingOurselves_ = false;
    QPoint pressPos_;
};

// Where a frameless window's context menu opens: at the pointer, or for the menu key at
// `keyboardOffset` inside the window.
QPoint ContextMenuAt(const QWidget& window, const QContextMenuEvent& event, QPoint keyboardOffset);

}  // namespace zorvel
