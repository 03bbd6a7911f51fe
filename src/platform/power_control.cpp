#include "platform/power_control.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDebug>

#include "platform/log_categories.h"

bool CLogindPowerControl::Call(const char* method) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qCWarning(lcPlatform) << "no system bus for" << method;
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", method);
    // Interactive: let the desktop's policy agent ask for a password when one is needed.
    call << true;
    // Sent without waiting, so the interface never stalls on the answer.
    return bus.send(call);
}

bool CLogindPowerControl::Reboot() {
    return Call("Reboot");
}

bool CLogindPowerControl::PowerOff() {
    return Call("PowerOff");
}
