#include "platform/session_sleep.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "platform/log_categories.h"

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
}  // namespace

CLogindSleep::CLogindSleep(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    if (bus_.isConnected())
        bus_.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                     SLOT(OnPrepareForSleep(bool)));
}

void CLogindSleep::SetSleepHandler(std::function<void(bool)> handler) {
    handler_ = std::move(handler);
}

void CLogindSleep::OnPrepareForSleep(bool start) {
    if (handler_)
        handler_(start);
}

void CLogindSleep::HoldSleepDelay(bool hold) {
    sleep_.wanted = hold;
    Update(sleep_);
}

void CLogindSleep::HoldIdleBlock(bool hold) {
    idle_.wanted = hold;
    Update(idle_);
}

void CLogindSleep::Update(Lock& lock) {
    if (!lock.wanted) {
        lock.fd = QDBusUnixFileDescriptor();  // closing it releases the lock
        return;
    }
    if (lock.fd.isValid() || lock.asking || !bus_.isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
    call << QString::fromLatin1(lock.what) << QStringLiteral("Zorvel")
         << QString::fromUtf8(lock.why) << QString::fromLatin1(lock.mode);
    lock.asking = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, &lock](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                lock.asking = false;
                QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                if (reply.isError()) {
                    qCWarning(lcPlatform, "no %s lock from logind: %s", lock.what,
                              qPrintable(reply.error().message()));
                    return;
                }
                // Released meanwhile: the lock goes with the reply.
                if (lock.wanted)
                    lock.fd = reply.value();
            });
}
