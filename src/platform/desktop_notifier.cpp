#include "platform/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
}  // namespace

CFreedesktopNotifier::CFreedesktopNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    if (!bus_.isConnected())
        return;
    bus_.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnActionInvoked(uint, QString)));
    bus_.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnClosed(uint, uint)));
}

quint64 CFreedesktopNotifier::Post(const DesktopNotice& notice,
                                   std::function<void(const QString&)> onAction) {
    const quint64 number = ++last_;
    if (!bus_.isConnected())
        return number;
    QStringList actions;
    for (const auto& [key, label] : notice.actions)
        actions << key << label;
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(notice.critical ? 2 : 1));
    if (!notice.category.isEmpty())
        hints.insert(QStringLiteral("category"), notice.category);
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.zorvel.Zorvel"));
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // The body may be read as markup: an alarm's text is shown as typed.
    call << QStringLiteral("Zorvel") << uint(0) << QStringLiteral("zorvel") << notice.summary
         << notice.body.toHtmlEscaped() << actions << hints << int(notice.critical ? 0 : -1);
    posted_[number].onAction = std::move(onAction);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, number](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                QDBusPendingReply<uint> reply = *w;
                auto it = posted_.find(number);
                if (it == posted_.end())
                    return;
                if (reply.isError() || reply.value() == 0) {
                    posted_.erase(it);  // no server: the windows are the way
                    return;
                }
                it->second.serverId = reply.value();
                if (it->second.withdrawn) {
                    Close(it->second.serverId);
                    posted_.erase(it);
                }
            });
    return number;
}

void CFreedesktopNotifier::Withdraw(quint64 notice) {
    auto it = posted_.find(notice);
    if (it == posted_.end())
        return;
    if (it->second.serverId == 0) {
        it->second.withdrawn = true;  // closed once the server has told its id
        it->second.onAction = nullptr;
        return;
    }
    Close(it->second.serverId);
    posted_.erase(it);
}

void CFreedesktopNotifier::Close(uint serverId) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"));
    call << serverId;
    bus_.asyncCall(call);
}

void CFreedesktopNotifier::OnActionInvoked(uint id, const QString& action) {
    for (auto& [number, p] : posted_) {
        if (p.serverId != id || p.withdrawn)
            continue;
        // Told once; what it does may withdraw this very notice.
        auto onAction = std::exchange(p.onAction, nullptr);
        if (onAction)
            onAction(action);
        return;
    }
}

void CFreedesktopNotifier::OnClosed(uint id, uint /*reason*/) {
    for (auto it = posted_.begin(); it != posted_.end(); ++it) {
        if (it->second.serverId == id) {
            posted_.erase(it);
            return;
        }
    }
}
