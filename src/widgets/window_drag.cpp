#include "widgets/window_drag.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/desktop_shell.h"

namespace zorvel {

bool CWindowDrag::Press(const QMouseEvent& event) {
    if (event.button() != Qt::LeftButton)
        return false;
    pressed_ = true;
    movingOurselves_ = false;
    pressPos_ = event.position().toPoint();
    return true;
}

bool CWindowDrag::Move(QWidget& window, CDesktopShell* shell, const QMouseEvent& event) {
    if (!pressed_ || !(event.buttons() & Qt::LeftButton))
        return false;
    if (!movingOurselves_) {
        if ((event.position().toPoint() - pressPos_).manhattanLength() <
            QApplication::startDragDistance())
            return true;
        if (shell && shell->StartSystemMove(&window)) {
            pressed_ = false;  // the window system has the pointer until the button goes up
            return true;
        }
        movingOurselves_ = true;
    }
    window.move(event.globalPosition().toPoint() - pressPos_);
    return true;
}

void CWindowDrag::Release(const QMouseEvent& event) {
    if (event.button() == Qt::LeftButton) {
        pressed_ = false;
        movingOurselves_ = false;
    }
}

QPoint ContextMenuAt(const QWidget& window, const QContextMenuEvent& event, QPoint keyboardOffset) {
    return event.reason() == QContextMenuEvent::Keyboard ? window.mapToGlobal(keyboardOffset)
                                                         : event.globalPos();
}

}  // namespace zorvel
