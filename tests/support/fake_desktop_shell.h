#pragma once

#include "platform/desktop_shell.h"

namespace zorvel::test {

// A desktop for tests: the tray's presence and the active window are whatever the test says,
// and the tray icon can be clicked by calling ClickTrayIcon.
class CFakeDesktopShell final : public CDesktopShell {
public:
    bool HasSystemTray() const override { return hasTray; }
    void ShowTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu,
                      std::function<void()> onLeftClick) override;
    void RemoveTrayIcon() override;
    bool IsActiveWindow(const QWidget* window) const override;
    void ActivateWindow(QWidget* window) override;
    bool StartSystemMove(QWidget* window) override;
    QRect AvailableArea() const override { return availableArea; }

    // Left click on the tray icon, as the desktop would report it.
    void ClickTrayIcon();

    bool hasTray = true;
    bool systemMoveWorks = true;
    bool trayShown = false;
    QString trayToolTip;
    QMenu* trayMenu = nullptr;
    const QWidget* activeWindow = nullptr;
    int activations = 0;
    int systemMoves = 0;
    QRect availableArea{0, 0, 1280, 800};

private:
    std::function<void()> onLeftClick_;
};

}  // namespace zorvel::test
