#include "platform/clock_setter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDebug>
#include <QTimer>

#include "platform/log_categories.h"

void CTimedatedClockSetter::SetTime(std::int64_t utcMicroseconds,
                                    std::function<void(const ClockSetResult&)> done) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qCWarning(lcPlatform) << "no system bus to set the time";
        QTimer::singleShot(0, [done] { done({false, false, "没有系统 D-Bus 总线"}); });
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                                       "org.freedesktop.timedate1", "SetTime");
    // Absolute time; interactive, so the policy agent may ask for a password.
    call << qlonglong(utcMicroseconds) << false << true;
    // Long enough for the user to type a password into the policy agent's prompt.
    constexpr int kTimeoutMs = 120000;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kTimeoutMs));
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, watcher, [done](QDBusPendingCallWatcher* w) {
            ClockSetResult result;
            result.ok = !w->isError();
            if (!result.ok) {
                const QDBusError error = w->error();
                qCWarning(lcPlatform)
                    << "setting the time failed:" << error.name() << error.message();
                result.denied =
                    error.type() == QDBusError::AccessDenied ||
                    error.name() == "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired";
                result.message = error.message().toStdString();
            }
            done(result);
            w->deleteLater();
        });
}
