#pragma once

#include <QRect>
#include <QString>
#include <functional>

class QIcon;
class QMenu;
class QWidget;

namespace zorvel {

// What the desktop clock and the desktop notes need from the desktop around them: the
// notification area (tray), window activation, moving and the free part of the screen. They
// get one passed in, so their rules run on a fake in tests.
class CDesktopShell {
public:
    virtual ~CDesktopShell() = default;

    // Whether a notification area exists right now to hold the tray icon. It can come and go
    // while the program runs (a panel restarting).
    virtual bool HasSystemTray() const = 0;

    // Puts the icon with its tooltip in the notification area. A left click calls `onLeftClick`;
    // a right click opens `menu`, which stays owned by the caller.
    virtual void ShowTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu,
                              std::function<void()> onLeftClick) = 0;
    virtual void RemoveTrayIcon() = 0;

    // Whether `window` is the window that has the keyboard focus on the desktop.
    virtual bool IsActiveWindow(const QWidget* window) const = 0;

    // Brings `window` to the foreground and gives it the focus.
    virtual void ActivateWindow(QWidget* window) = 0;

    // Lets the window system move `window` with the pressed mouse button, as a title-bar drag
    // would. False when the window system cannot; the caller then moves the window itself.
    virtual bool StartSystemMove(QWidget* window) = 0;

    // The part of the primary screen that windows may use (without the panels), in desktop
    // coordinates.
    virtual QRect AvailableArea() const = 0;
};

}  // namespace zorvel
