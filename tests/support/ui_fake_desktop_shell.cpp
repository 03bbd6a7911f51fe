#include "support/fake_desktop_shell.h"

namespace zorvel::test {

void CFakeDesktopShell::ShowTrayIcon(const QIcon&, const QString& toolTip, QMenu* menu,
                                     std::function<void()> onLeftClick) {
    trayShown = true;
    trayToolTip = toolTip;
    trayMenu = menu;
    onLeftClick_ = std::move(onLeftClick);
}

void CFakeDesktopShell::RemoveTrayIcon() {
    trayShown = false;
    trayMenu = nullptr;
    onLeftClick_ = nullptr;
}

bool CFakeDesktopShell::IsActiveWindow(const QWidget* window) const {
    return window && window == activeWindow;
}

void CFakeDesktopShell::ActivateWindow(QWidget* window) {
    activeWindow = window;
    ++activations;
}

bool CFakeDesktopShell::StartSystemMove(QWidget*) {
    ++systemMoves;
    return systemMoveWorks;
}

void CFakeDesktopShell::ClickTrayIcon() {
    if (trayShown && onLeftClick_)
        onLeftClick_();
}

}  // namespace zorvel::test
