#include "platform/linux_desktop_shell.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindow>

namespace zorvel {

CLinuxDesktopShell::CLinuxDesktopShell() = default;
CLinuxDesktopShell::~CLinuxDesktopShell() = default;

bool CLinuxDesktopShell::HasSystemTray() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CLinuxDesktopShell::ShowTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu,
                                      std::function<void()> onLeftClick) {
    tray_ = std::make_unique<QSystemTrayIcon>(icon);
    tray_->setObjectName(QStringLiteral("trayIcon"));
    tray_->setToolTip(toolTip);
    tray_->setContextMenu(menu);
    // Every left press counts, as the clock expects: the second press of a quick pair arrives
    // as DoubleClick instead of Trigger.
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated,
                     [onLeftClick = std::move(onLeftClick)](QSystemTrayIcon::ActivationReason r) {
                         const bool leftPress =
                             r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick;
                         if (leftPress && onLeftClick)
                             onLeftClick();
                     });
    // Shown even when no tray exists yet: Qt embeds the icon once a tray appears.
    tray_->show();
}

void CLinuxDesktopShell::RemoveTrayIcon() {
    tray_.reset();
}

bool CLinuxDesktopShell::IsActiveWindow(const QWidget* window) const {
    return window && window->isActiveWindow();
}

void CLinuxDesktopShell::ActivateWindow(QWidget* window) {
    window->raise();
    window->activateWindow();
}

bool CLinuxDesktopShell::StartSystemMove(QWidget* window) {
    QWindow* handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

QRect CLinuxDesktopShell::AvailableArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace zorvel
