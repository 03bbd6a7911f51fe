#pragma once

#include <memory>

#include "platform/desktop_shell.h"

class QSystemTrayIcon;

namespace zorvel {

// The desktop shell on X11 (and Wayland through XWayland): QSystemTrayIcon speaks both the
// StatusNotifierItem protocol and the XEmbed tray.
class CLinuxDesktopShell final : public CDesktopShell {
public:
    CLinuxDesktopShell();
    ~CLinuxDesktopShell() override;

    bool HasSystemTray() const override;
    void ShowTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu,
                      std::function<void()> onLeftClick) override;
    void RemoveTrayIcon() override;
    bool IsActiveWindow(const QWidget* window) const override;
    void ActivateWindow(QWidget* window) override;
    bool StartSystemMove(QWidget* window) override;
    QRect AvailableArea() const override;

private:
    std::unique_ptr<QSystemTrayIcon> tray_;
};

}  // namespace zorvel
